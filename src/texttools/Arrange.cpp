#include "texttools/Arrange.h"

#include "core/Text.h"
#include "texttools/OutputFile.h"
#include "texttools/TextFile.h"

#include <algorithm>

namespace mirel::texttools {
namespace {

// Read buffers shared by the label positions' readers, and the least each gets.
constexpr std::size_t kColumnBudget = std::size_t{16} << 20;
constexpr std::size_t kSmallestColumnBuffer = 4096;

} // namespace

std::string_view arrangedSerial(const LineStore& serials, std::int64_t pages, std::int64_t label, std::int64_t page) {
    return core::trimBlanks(serials.line(serialNumberFor(pages, label, page) - 1));
}

void checkArrangement(std::int64_t pages, std::int64_t labels) {
    if (pages < 1)
        throw TextToolError(QStringLiteral("pages must be a whole number above 0, not %1").arg(pages).toStdString());
    if (labels < 1)
        throw TextToolError(QStringLiteral("labels must be a whole number above 0, not %1").arg(labels).toStdString());
    std::int64_t cells;
    if (__builtin_mul_overflow(pages, labels, &cells))
        throw TextToolError(QStringLiteral("%1 pages of %2 labels are too many").arg(pages).arg(labels).toStdString());
}

void writeArrangement(const LineStore& serials, std::int64_t pages, std::int64_t labels, const QString& target) {
    OutputFile out(target);
    for (std::int64_t page = 1; page <= pages; ++page)
        for (std::int64_t label = 1; label <= labels; ++label)
            out.writeLine(arrangedSerial(serials, pages, label, page));
    out.commit();
}

std::int64_t arrangeFile(const QString& source, std::int64_t pages, std::int64_t labels, const QString& target) {
    checkArrangement(pages, labels);
    const InputFile input(source);
    // Every line takes at least one byte, so a label position whose block starts
    // past size + 1 lines is empty and needs no reader.
    const auto maxLines = static_cast<std::int64_t>(input.size()) + 1;
    const std::int64_t live = std::min(labels, (maxLines - 1) / pages + 1);
    std::vector<std::int64_t> blockStarts(static_cast<std::size_t>(live));
    for (std::int64_t c = 0; c < live; ++c)
        blockStarts[static_cast<std::size_t>(c)] = c * pages;
    const TextFileScan scan = scanTextFile(input, blockStarts);

    const std::size_t bufferSize =
        std::clamp(kColumnBudget / static_cast<std::size_t>(live), kSmallestColumnBuffer, kReadBufferSize);
    std::vector<LineReader> readers;
    readers.reserve(static_cast<std::size_t>(live));
    for (std::int64_t c = 0; c < live; ++c)
        readers.emplace_back(input, scan.lineOffsets[static_cast<std::size_t>(c)], scan.encoding, bufferSize);

    OutputFile out(target);
    std::string_view line;
    for (std::int64_t page = 0; page < pages; ++page) {
        for (std::int64_t label = 0; label < labels; ++label) {
            if (label < live && readers[static_cast<std::size_t>(label)].next(line))
                out.writeLine(core::trimBlanks(line));
            else
                out.write("\r\n");
        }
    }
    out.commit();
    return scan.lineCount;
}

} // namespace mirel::texttools
