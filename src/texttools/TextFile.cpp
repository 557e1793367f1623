#include "texttools/TextFile.h"

#include "core/Encoding.h"
#include "core/Files.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace mirel::texttools {
namespace {

[[noreturn]] void throwReadError(const QString& path, const QString& reason) {
    throw core::FileError(QStringLiteral("cannot read %1: %2").arg(path, reason).toStdString());
}

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// UTF-8 well-formedness over a file read in chunks (a sequence may straddle two
// chunks); the same rules as core::isValidUtf8: no overlong forms, no
// surrogates, nothing above U+10FFFF.
class Utf8Validator {
public:
    void feed(const char* data, std::size_t n) {
        std::size_t i = 0;
        while (m_valid && i < n) {
            if (m_need == 0) {
                // Serial files are mostly ASCII: skip it eight bytes at a time.
                while (i + 8 <= n) {
                    std::uint64_t word;
                    std::memcpy(&word, data + i, 8);
                    if (word & 0x8080808080808080ull)
                        break;
                    i += 8;
                }
                if (i >= n)
                    break;
                const auto c = static_cast<unsigned char>(data[i++]);
                if (c < 0x80)
                    continue;
                m_nonAscii = true;
                if ((c & 0xE0) == 0xC0) { m_need = 1; m_cp = c & 0x1Fu; m_min = 0x80; }
                else if ((c & 0xF0) == 0xE0) { m_need = 2; m_cp = c & 0x0Fu; m_min = 0x800; }
                else if ((c & 0xF8) == 0xF0) { m_need = 3; m_cp = c & 0x07u; m_min = 0x10000; }
                else m_valid = false;
            } else {
                const auto c = static_cast<unsigned char>(data[i++]);
                if ((c & 0xC0) != 0x80) {
                    m_valid = false;
                    break;
                }
                m_cp = (m_cp << 6) | (c & 0x3Fu);
                if (--m_need == 0 && (m_cp < m_min || m_cp > 0x10FFFF || (m_cp >= 0xD800 && m_cp <= 0xDFFF)))
                    m_valid = false;
            }
        }
    }
    bool valid() const { return m_valid; }
    bool utf8Text() const { return m_valid && m_need == 0 && m_nonAscii; }

private:
    bool m_valid = true;
    bool m_nonAscii = false;
    int m_need = 0;
    char32_t m_cp = 0;
    char32_t m_min = 0;
};

std::size_t findByte(const char* data, std::size_t from, std::size_t end, char byte) {
    const void* hit = std::memchr(data + from, byte, end - from);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : end;
}

bool isBreak(char c) { return c == '\r' || c == '\n'; }

} // namespace

InputFile::InputFile(const QString& path) : m_path(path) {
    const QByteArray name = QFile::encodeName(path);
    m_fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        throwReadError(path, systemError(errno));
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        throwReadError(path, QStringLiteral("not a regular file"));
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
}

InputFile::~InputFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

std::size_t InputFile::readAt(std::uint64_t offset, char* data, std::size_t count) const {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(m_fd, data + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwReadError(m_path, systemError(errno));
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

TextFileScan scanTextFile(const InputFile& file, std::span<const std::int64_t> wantedLines) {
    TextFileScan scan;
    scan.lineOffsets.reserve(wantedLines.size());
    std::size_t wanted = 0;
    auto lineStartsAt = [&](std::int64_t line, std::uint64_t offset) {
        while (wanted < wantedLines.size() && wantedLines[wanted] == line) {
            scan.lineOffsets.push_back(offset);
            ++wanted;
        }
    };

    const auto buffer = std::make_unique<char[]>(kReadBufferSize);
    Utf8Validator validator;
    std::int64_t breaks = 0;
    bool pendingCr = false;   // a CR ended the previous chunk; an LF may follow
    bool inLine = false;      // bytes after the last line break
    std::uint64_t base = 0;
    bool first = true;
    for (;;) {
        const std::size_t n = file.readAt(base, buffer.get(), kReadBufferSize);
        const char* data = buffer.get();
        std::size_t p = 0;
        if (first) {
            first = false;
            if (n >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
                scan.encoding = TextEncoding::Utf8WithBom;
                scan.textStart = 3;
                p = 3;
            }
            lineStartsAt(0, scan.textStart);
        }
        if (n == 0)
            break;
        if (scan.encoding != TextEncoding::Utf8WithBom && validator.valid())
            validator.feed(data, n);
        if (pendingCr) {
            pendingCr = false;
            if (data[0] == '\n')
                p = 1;
            lineStartsAt(breaks, base + p);
        }
        std::size_t nextCr = findByte(data, p, n, '\r');
        std::size_t nextLf = findByte(data, p, n, '\n');
        for (;;) {
            if (nextCr < p)
                nextCr = findByte(data, p, n, '\r');
            if (nextLf < p)
                nextLf = findByte(data, p, n, '\n');
            const std::size_t b = std::min(nextCr, nextLf);
            if (b >= n) {
                if (p < n)
                    inLine = true;
                break;
            }
            ++breaks;
            inLine = false;
            if (data[b] == '\n') {
                p = b + 1;
            } else if (b + 1 < n) {
                p = b + (data[b + 1] == '\n' ? 2 : 1);
            } else {
                pendingCr = true;
                p = n;
                break;
            }
            lineStartsAt(breaks, base + p);
        }
        base += n;
        if (n < kReadBufferSize)
            break;
    }
    if (pendingCr)
        lineStartsAt(breaks, file.size());
    scan.lineCount = breaks + (inLine ? 1 : 0);
    while (scan.lineOffsets.size() < wantedLines.size())
        scan.lineOffsets.push_back(file.size());
    if (scan.encoding != TextEncoding::Utf8WithBom && validator.utf8Text())
        scan.encoding = TextEncoding::Utf8;
    return scan;
}

LineReader::LineReader(const InputFile& file, std::uint64_t offset, TextEncoding encoding, std::size_t bufferSize)
    : m_file(file), m_offset(offset), m_convert(encoding != TextEncoding::CodePage),
      m_capacity(std::max<std::size_t>(bufferSize, 16)) {
    if (!m_convert)
        m_buffer.resize(m_capacity);
}

std::size_t LineReader::findBreak(std::size_t from) {
    const char* data = m_buffer.data();
    if (m_nextCr == std::string::npos || m_nextCr < from)
        m_nextCr = findByte(data, from, m_end, '\r');
    if (m_nextLf == std::string::npos || m_nextLf < from)
        m_nextLf = findByte(data, from, m_end, '\n');
    return std::min(m_nextCr, m_nextLf);
}

bool LineReader::next(std::string_view& line) {
    for (;;) {
        const std::size_t b = findBreak(m_pos);
        if (b < m_end) {
            const bool cr = m_buffer[b] == '\r';
            if (cr && b + 1 == m_end && !m_eof) {
                refill();   // the LF of a CR LF may be in the next chunk
                continue;
            }
            line = std::string_view(m_buffer.data() + m_pos, b - m_pos);
            m_pos = b + 1 + ((cr && b + 1 < m_end && m_buffer[b + 1] == '\n') ? 1 : 0);
            return true;
        }
        if (m_eof) {
            if (m_pos < m_end) {
                line = std::string_view(m_buffer.data() + m_pos, m_end - m_pos);
                m_pos = m_end;
                return true;
            }
            return false;
        }
        refill();
    }
}

void LineReader::refill() {
    const std::size_t rest = m_end - m_pos;
    if (m_pos > 0 && rest > 0)
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, rest);
    m_pos = 0;
    m_end = rest;
    m_nextCr = m_nextLf = std::string::npos;
    if (m_convert) {
        m_buffer.resize(rest);
        readRaw();
        m_end = m_buffer.size();
        return;
    }
    if (rest == m_capacity) {
        // One line longer than the buffer: make room for all of it.
        m_capacity *= 2;
        m_buffer.resize(m_capacity);
    }
    const std::size_t wanted = m_capacity - rest;
    const std::size_t n = m_file.readAt(m_offset, m_buffer.data() + rest, wanted);
    m_offset += n;
    m_end += n;
    if (n < wanted)
        m_eof = true;
}

// Reads UTF-8 until it holds a line break, converts everything up to the last
// break and keeps the rest: a character never straddles a line break, so each
// converted part is whole text.
void LineReader::readRaw() {
    for (;;) {
        const std::size_t had = m_raw.size();
        m_raw.resize(had + m_capacity);
        const std::size_t n = m_file.readAt(m_offset, m_raw.data() + had, m_capacity);
        m_offset += n;
        m_raw.resize(had + n);
        if (n < m_capacity)
            m_eof = true;
        std::size_t cut = m_raw.size();
        while (cut > had && !isBreak(m_raw[cut - 1]))
            --cut;
        if (cut == had && !m_eof)
            continue;   // no line break yet: a long line, read on
        if (m_eof)
            cut = m_raw.size();
        m_buffer += core::fromUtf8(std::string_view(m_raw.data(), cut));
        m_raw.erase(0, cut);
        return;
    }
}

} // namespace mirel::texttools
