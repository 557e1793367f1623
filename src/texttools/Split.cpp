#include "texttools/Split.h"

#include "texttools/OutputFile.h"
#include "texttools/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace mirel::texttools {

QString pieceFileName(const QString& sourcePath, std::int64_t lastLine) {
    const qsizetype slash = sourcePath.lastIndexOf(QLatin1Char('/'));
    return sourcePath.left(slash + 1) + QString::number(lastLine) + sourcePath.mid(slash + 1);
}

bool pieceWouldReplace(const QString& namingFile, std::int64_t start, std::int64_t end, std::int64_t lineCount,
                       const QString& file) {
    const qsizetype slash = namingFile.lastIndexOf(QLatin1Char('/'));
    const QString folder = namingFile.left(slash + 1);
    const QString name = namingFile.mid(slash + 1);
    const QFileInfo target(file);
    if (QDir(folder.isEmpty() ? QStringLiteral(".") : folder).absolutePath() != target.absolutePath())
        return false;
    const QString targetName = target.fileName();
    if (!targetName.endsWith(name) || targetName.size() == name.size())
        return false;
    const QString digits = targetName.left(targetName.size() - name.size());
    bool ok = false;
    const std::int64_t last = digits.toLongLong(&ok);
    if (!ok || QString::number(last) != digits || start < 1 || end < start)
        return false;
    const std::int64_t length = end - start + 1;
    return last >= end && (last - end) % length == 0 && last - length + 1 <= lineCount;
}

void checkPiece(std::int64_t start, std::int64_t end, std::int64_t lineCount, const QString& sourcePath) {
    if (start < 1)
        throw TextToolError(QStringLiteral("start line %1 is not 1 or more").arg(start).toStdString());
    if (end < start)
        throw TextToolError(QStringLiteral("end line %1 is before start line %2").arg(end).arg(start).toStdString());
    // Room for the next piece's numbers, however long the pieces are.
    if (end > std::numeric_limits<std::int64_t>::max() / 2)
        throw TextToolError(QStringLiteral("end line %1 is too large").arg(end).toStdString());
    if (start > lineCount)
        throw TextToolError(QStringLiteral("start line %1 is past the last line of %2 (%3 lines)")
                                .arg(start).arg(sourcePath).arg(lineCount).toStdString());
}

namespace {

// Copies `count` lines from `reader` to `out`; once the source runs dry the
// remaining lines are empty. Returns false once the source is exhausted.
bool copyLines(LineReader& reader, bool more, std::int64_t count, OutputFile& out) {
    std::string_view line;
    for (std::int64_t i = 0; i < count; ++i) {
        if (more && reader.next(line)) {
            out.writeLine(line);
        } else {
            more = false;
            out.write("\r\n");
        }
    }
    return more;
}

} // namespace

void writePiece(const QString& source, std::int64_t start, std::int64_t end, const QString& target) {
    const InputFile input(source);
    const std::int64_t first[] = {start - 1};
    const TextFileScan scan = scanTextFile(input, first);
    checkPiece(start, end, scan.lineCount, source);
    LineReader reader(input, scan.lineOffsets[0], scan.encoding);
    OutputFile out(target);
    copyLines(reader, true, end - start + 1, out);
    out.commit();
}

void splitAutomatically(const QString& source, std::int64_t start, std::int64_t end,
                        const std::function<void(const QString&)>& written) {
    const InputFile input(source);
    const std::int64_t first[] = {start - 1};
    const TextFileScan scan = scanTextFile(input, first);
    checkPiece(start, end, scan.lineCount, source);
    const std::int64_t length = end - start + 1;
    LineReader reader(input, scan.lineOffsets[0], scan.encoding);
    bool more = true;
    for (std::int64_t pieceStart = start; pieceStart <= scan.lineCount; pieceStart += length) {
        const QString name = pieceFileName(source, pieceStart + length - 1);
        // Short pieces get a buffer their size: one write each, no megabyte apiece.
        OutputFile out(name, static_cast<std::size_t>(std::min<std::int64_t>(length, kWriteBufferSize / 32)) * 32);
        more = copyLines(reader, more, length, out);
        out.commit();
        if (written)
            written(name);
    }
}

} // namespace mirel::texttools
