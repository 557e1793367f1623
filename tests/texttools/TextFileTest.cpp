// Reading serial files in buffers: line breaks, chunk edges and encodings.

#include "texttools/LineStore.h"
#include "texttools/TextFile.h"

#include "core/Files.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

using namespace mirel::texttools;
using mirel::test::hexBytes;
using mirel::test::writeFile;

namespace {

struct TempFile {
    QTemporaryDir dir;
    QString path;
    explicit TempFile(std::string_view bytes) : path(dir.filePath(QStringLiteral("serials.txt"))) { writeFile(path, bytes); }
};

std::vector<std::string> readAll(const QString& path, std::size_t bufferSize) {
    const InputFile file(path);
    const TextFileScan scan = scanTextFile(file);
    LineReader reader(file, scan.textStart, scan.encoding, bufferSize);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line))
        lines.emplace_back(line);
    return lines;
}

using Lines = std::vector<std::string>;

// Line breaks as the system has always read them: CR LF, LF and CR; a final
// break does not start another line.
struct BreakCase {
    const char* text;
    Lines lines;
};
const BreakCase kBreakCases[] = {
    {"", {}},
    {"a", {"a"}},
    {"a\r\nb\r\n", {"a", "b"}},
    {"a\nb", {"a", "b"}},
    {"a\rb\r", {"a", "b"}},
    {"\r\n", {""}},
    {"a\r\r\nb", {"a", "", "b"}},
    {"a\n\rb", {"a", "", "b"}},
    {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
    // Breaks right at and around the edge of a 16-byte buffer, and a line longer than it.
    {"aaaaaaaaaaaaaaa\r\nb", {"aaaaaaaaaaaaaaa", "b"}},
    {"aaaaaaaaaaaaaaa\rb", {"aaaaaaaaaaaaaaa", "b"}},
    {"aaaaaaaaaaaaaa\r\n\r\n", {"aaaaaaaaaaaaaa", ""}},
    {"0123456789012345678901234567890123456789\nz", {"0123456789012345678901234567890123456789", "z"}},
};

} // namespace

TEST(TextFile, LineBreaksInEveryBufferSize) {
    for (const BreakCase& c : kBreakCases) {
        TempFile file(c.text);
        const InputFile input(file.path);
        EXPECT_EQ(scanTextFile(input).lineCount, static_cast<std::int64_t>(c.lines.size())) << c.text;
        for (std::size_t buffer : {16u, 17u, 64u, 1u << 20})
            EXPECT_EQ(readAll(file.path, buffer), c.lines) << "buffer " << buffer << ": " << c.text;
        const LineStore store(c.text);
        Lines stored;
        for (std::int64_t i = 0; i < store.size(); ++i)
            stored.emplace_back(store.line(i));
        EXPECT_EQ(stored, c.lines) << c.text;
    }
}

TEST(TextFile, ScanFindsWhereLinesStart) {
    // "a\r\n" 0..2, "bb\n" 3..5, "cc\r" 6..8, "d" 9; a line past the end starts at the end.
    TempFile file("a\r\nbb\ncc\rd");
    const InputFile input(file.path);
    const std::int64_t wanted[] = {0, 1, 2, 3, 5};
    const TextFileScan scan = scanTextFile(input, wanted);
    EXPECT_EQ(scan.lineCount, 4);
    EXPECT_EQ(scan.lineOffsets, (std::vector<std::uint64_t>{0, 3, 6, 9, 10}));
}

TEST(TextFile, BreaksAcrossTheScanBuffer) {
    // A CR LF whose LF is the first byte of the second megabyte counts once, and
    // the next line starts after it; a lone CR at the edge is a break of its own.
    const std::string head(kReadBufferSize - 1, 'x');
    {
        TempFile file(head + "\r\ny");
        const InputFile input(file.path);
        const std::int64_t wanted[] = {1};
        const TextFileScan scan = scanTextFile(input, wanted);
        EXPECT_EQ(scan.lineCount, 2);
        EXPECT_EQ(scan.lineOffsets[0], kReadBufferSize + 1);
    }
    {
        TempFile file(head + "\ry\r");
        const InputFile input(file.path);
        const std::int64_t wanted[] = {1, 2};
        const TextFileScan scan = scanTextFile(input, wanted);
        EXPECT_EQ(scan.lineCount, 2);
        EXPECT_EQ(scan.lineOffsets, (std::vector<std::uint64_t>{kReadBufferSize, kReadBufferSize + 2}));
    }
}

TEST(TextFile, EncodingsComeOutAsCodePageText) {
    // 中文 in GB2312 is D6D0 CEC4, in UTF-8 E4B8AD E69687; 序号 is D0F2 BAC5 / E5BA8F E58FB7.
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        Lines lines;
    };
    const Case cases[] = {
        {hexBytes("D6D0 CEC4 0D0A 41"), TextEncoding::CodePage, {hexBytes("D6D0CEC4"), "A"}},
        {hexBytes("E4B8AD E69687 0D0A E5BA8F E58FB7"), TextEncoding::Utf8, {hexBytes("D6D0CEC4"), hexBytes("D0F2BAC5")}},
        {hexBytes("EFBBBF E4B8AD E69687 0A"), TextEncoding::Utf8WithBom, {hexBytes("D6D0CEC4")}},
        {"BJ0001\r\nBJ0002", TextEncoding::CodePage, {"BJ0001", "BJ0002"}},
        // One GB2312 line among UTF-8 ones makes the whole file code page text.
        {hexBytes("E4B8AD 0A D6D0"), TextEncoding::CodePage, {hexBytes("E4B8AD"), hexBytes("D6D0")}},
    };
    for (const Case& c : cases) {
        TempFile file(c.bytes);
        const InputFile input(file.path);
        EXPECT_EQ(scanTextFile(input).encoding, c.encoding);
        EXPECT_EQ(readAll(file.path, 1 << 20), c.lines);
        EXPECT_EQ(readAll(file.path, 16), c.lines);   // UTF-8 lines longer than the buffer
    }
    // A long UTF-8 line converted through a small buffer: 序号 twelve times (72 bytes).
    std::string utf8;
    std::string gb;
    for (int i = 0; i < 12; ++i) {
        utf8 += hexBytes("E5BA8F E58FB7");
        gb += hexBytes("D0F2 BAC5");
    }
    TempFile file(utf8 + "\r\n" + utf8);
    EXPECT_EQ(readAll(file.path, 16), (Lines{gb, gb}));
}

TEST(TextFile, MissingFileAndFolderAreReadErrors) {
    QTemporaryDir dir;
    EXPECT_THROW(InputFile(dir.filePath(QStringLiteral("missing.txt"))), mirel::core::FileError);
    EXPECT_THROW(InputFile(dir.path()), mirel::core::FileError);
}
