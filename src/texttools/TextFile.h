#pragma once
// Reading serial files piece by piece.
//
// Serial files hold tens of millions of lines, so the split and the arrangement
// never load a whole file: they scan it once (line count, encoding, the byte
// offsets of the lines they start from) and then read it again through
// LineReader, one large buffer at a time. Lines break at CR LF, LF or CR, as the
// system has always read text files.
//
// Encoding: the whole file decides, as core::textFileToAnsi does for a file read
// at once. A file with a UTF-8 byte-order mark, or one that is valid UTF-8 and
// holds at least one non-ASCII byte, is UTF-8 and its lines are converted to the
// code page as they are read; anything else is code page text (GB2312/GB18030)
// and passes through byte for byte. Either way the lines a reader returns are
// code page bytes, so every piece and arranged list is written in the code page.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::texttools {

// Input an operator can mend: a start past the last line, a count that is not
// above 0. The message is one line naming the fault.
class TextToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Read buffer of the streaming functions: large enough that the system calls
// vanish beside the line scanning, small enough to keep memory flat.
inline constexpr std::size_t kReadBufferSize = std::size_t{1} << 20;

enum class TextEncoding { CodePage, Utf8, Utf8WithBom };

// A regular file opened for reading; closed when destroyed. Throws
// core::FileError naming the file when it is missing, unreadable or not a file.
class InputFile {
public:
    explicit InputFile(const QString& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const QString& path() const { return m_path; }
    std::uint64_t size() const { return m_size; }
    // Reads up to `count` bytes at `offset`; returns fewer only at the end of the file.
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t count) const;

private:
    QString m_path;
    int m_fd = -1;
    std::uint64_t m_size = 0;
};

struct TextFileScan {
    std::int64_t lineCount = 0;
    TextEncoding encoding = TextEncoding::CodePage;
    std::uint64_t textStart = 0;   // 3 after a byte-order mark, else 0
    // Byte offset where each wanted line starts; the file size for a line past the end.
    std::vector<std::uint64_t> lineOffsets;
};

// Reads the file once: counts its lines (a final line break does not start
// another line; an empty file has none), decides its encoding and finds where the
// wanted lines (0-based, ascending) start.
TextFileScan scanTextFile(const InputFile& file, std::span<const std::int64_t> wantedLines = {});

// Sequential lines from a byte offset that starts a line (an offset from
// scanTextFile). Memory: the buffer, grown only for a line longer than it.
class LineReader {
public:
    LineReader(const InputFile& file, std::uint64_t offset, TextEncoding encoding,
               std::size_t bufferSize = kReadBufferSize);

    // The next line without its line break, in code page bytes; the view is
    // valid until the next call. False once the file has no more lines.
    bool next(std::string_view& line);

private:
    void refill();
    void readRaw();
    std::size_t findBreak(std::size_t from);

    const InputFile& m_file;
    std::uint64_t m_offset;      // file offset of the next byte to read
    bool m_convert;
    bool m_eof = false;
    std::size_t m_capacity;
    std::string m_buffer;        // lines ready to hand out, [m_pos, m_end)
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::string m_raw;           // UTF-8 bytes read but not yet converted (no line break in them)
    // Next CR and LF at or after the scanning position; npos = not searched yet.
    std::size_t m_nextCr = std::string::npos;
    std::size_t m_nextLf = std::string::npos;
};

} // namespace mirel::texttools
