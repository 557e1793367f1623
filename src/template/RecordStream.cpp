#include "template/RecordStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace mirel::tmpl {

namespace {

constexpr size_t kMaxCounted = 0xFFFF;

} // namespace

void RecordReader::ReadRaw(void* into, size_t count) {
    const size_t n = std::min(count, Remaining());
    std::memset(into, 0, count);
    if (n > 0)
        std::memcpy(into, m_bytes.data() + m_pos, n);
    m_pos += n;
}

std::uint8_t RecordReader::ReadByte() {
    if (AtEnd())
        return 0;
    return static_cast<std::uint8_t>(m_bytes[m_pos++]);
}

std::uint16_t RecordReader::ReadWord() {
    unsigned char b[2];
    ReadRaw(b, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::int32_t RecordReader::ReadInt() {
    unsigned char b[4];
    ReadRaw(b, 4);
    const std::uint32_t u = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return static_cast<std::int32_t>(u);
}

double RecordReader::ReadDouble() {
    unsigned char b[8];
    ReadRaw(b, 8);
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | b[i];
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

std::string RecordReader::ReadBytes(size_t count) {
    const size_t n = std::min(count, Remaining());
    std::string out(m_bytes.substr(m_pos, n));
    m_pos += n;
    return out;
}

std::string RecordReader::ReadBytesUntil(std::int64_t endPosition) {
    if (endPosition <= static_cast<std::int64_t>(m_pos))
        return {};
    return ReadBytes(static_cast<size_t>(endPosition) - m_pos);
}

AnsiString RecordReader::ReadCountedString() {
    const std::uint16_t n = ReadWord();
    AnsiString s = ReadBytes(n);
    ReadByte();
    return s;
}

AnsiString RecordReader::ReadZeroString() {
    const size_t end = m_bytes.find('\0', m_pos);
    const size_t stop = end == std::string_view::npos ? m_bytes.size() : end;
    AnsiString s(m_bytes.substr(m_pos, stop - m_pos));
    m_pos = end == std::string_view::npos ? stop : stop + 1;
    return s;
}

AnsiString RecordReader::ReadBareString() {
    return ReadBytes(ReadWord());
}

Lines RecordReader::ReadLineList() {
    Lines lines;
    if (ReadWord() == 0) {
        ReadByte();
        return lines;
    }
    // The count only tells an empty list from a full one: lines go on until a
    // separator 0x00, which the end of the buffer also gives.
    for (;;) {
        lines.push_back(ReadBytes(ReadWord()));
        if (ReadByte() == 0)
            break;
    }
    return lines;
}

Lines RecordReader::ReadOldLineList() {
    const AnsiString text = ReadZeroString();
    Lines lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void RecordWriter::WriteWord(std::uint16_t value) {
    m_bytes.push_back(static_cast<char>(value & 0xFF));
    m_bytes.push_back(static_cast<char>(value >> 8));
}

void RecordWriter::WriteInt(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void RecordWriter::WriteDouble(double value) {
    std::uint64_t u;
    std::memcpy(&u, &value, sizeof u);
    for (int i = 0; i < 8; ++i)
        m_bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

void RecordWriter::WriteCountedString(std::string_view text) {
    WriteBareString(text);
    WriteByte(0);
}

void RecordWriter::WriteBareString(std::string_view text) {
    const size_t n = std::min(text.size(), kMaxCounted);
    WriteWord(static_cast<std::uint16_t>(n));
    m_bytes.append(text.substr(0, n));
}

void RecordWriter::WriteLineList(const Lines& lines) {
    // The count word only has to be non-zero for a non-empty list; 65536 lines
    // must not wrap to 0, which would read as an empty list.
    WriteWord(static_cast<std::uint16_t>(std::min(lines.size(), kMaxCounted)));
    if (lines.empty()) {
        WriteByte(0);
        return;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        WriteBareString(lines[i]);
        WriteByte(i + 1 < lines.size() ? 0x0D : 0x00);
    }
}

void RecordWriter::PatchInt(size_t position, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        m_bytes[position + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

void RecordWriter::PatchEndOffset(size_t placeholder) {
    const size_t end = m_bytes.size();
    PatchInt(placeholder, end > static_cast<size_t>(std::numeric_limits<std::int32_t>::max())
                              ? std::numeric_limits<std::int32_t>::max()
                              : static_cast<std::int32_t>(end));
}

} // namespace mirel::tmpl
