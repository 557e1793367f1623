#pragma once
// The byte-level reader and writer of template records: little-endian numbers,
// the five text forms, and the format version every record reader consults.
//
// The reader works on a byte buffer it never leaves: a read past the end takes
// what is left and gives zero for the missing bytes, so a truncated template is
// read as far as it goes and never read out of bounds. Lengths stored in the
// file never allocate more than the buffer still holds.

#include "core/Encoding.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::tmpl {

// The text lines of an object (its memo), a script or a description.
using Lines = std::vector<AnsiString>;

inline constexpr int kCurrentVersion = 25;   // the format version the writer produces
inline constexpr int kOldestVersion = 21;

// The two forms of an object body: the template form carries the design-only
// fields (display format, script, visibility, highlight); the prepared form of a
// prepared page leaves them out.
enum class RecordForm { Template, Prepared };

// A record that cannot be read (a page that does not exist, an unknown add-in
// class, a wrong OLE signature). Thrown inside the reader; the record reader
// skips the record and goes on, the container reader never lets it out.
class RecordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class RecordReader {
public:
    explicit RecordReader(std::string_view bytes, int version = kCurrentVersion,
                          RecordForm form = RecordForm::Template)
        : m_bytes(bytes), m_version(version), m_form(form) {}

    int Version() const { return m_version; }
    void SetVersion(int version) { m_version = version; }
    RecordForm Form() const { return m_form; }
    bool DesignMode() const { return m_form == RecordForm::Template; }

    size_t Position() const { return m_pos; }
    size_t Size() const { return m_bytes.size(); }
    size_t Remaining() const { return m_bytes.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    // Positions the reader; a position past the end is the end.
    void Seek(size_t position) { m_pos = position < m_bytes.size() ? position : m_bytes.size(); }
    void Skip(size_t count) { Seek(count < Remaining() ? m_pos + count : m_bytes.size()); }
    std::string_view Buffer() const { return m_bytes; }

    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::int32_t ReadInt();
    bool ReadBool16() { return ReadWord() != 0; }
    std::uint32_t ReadColor() { return static_cast<std::uint32_t>(ReadInt()); }
    double ReadDouble();
    // Up to `count` bytes, fewer when the buffer ends first.
    std::string ReadBytes(size_t count);
    // The bytes from here to an absolute end position (none when it lies before
    // here); the reader is left at that position or at the end of the buffer.
    std::string ReadBytesUntil(std::int64_t endPosition);

    // Text forms. Counted: word N, N bytes, one ignored byte. Zero-terminated:
    // bytes up to 0x00. Bare: word N, N bytes. Line list: word C, then lines of
    // word L, L bytes and a separator (0x0D, 0x00 after the last). Old line list:
    // bytes up to 0x00, lines ended by 0x0D.
    AnsiString ReadCountedString();
    AnsiString ReadZeroString();
    AnsiString ReadBareString();
    Lines ReadLineList();
    Lines ReadOldLineList();
    // Counted string / line list from version 23 on, the older forms before.
    AnsiString ReadVersionedString() { return m_version >= 23 ? ReadCountedString() : ReadZeroString(); }
    Lines ReadVersionedList() { return m_version >= 23 ? ReadLineList() : ReadOldLineList(); }

private:
    void ReadRaw(void* into, size_t count);

    std::string_view m_bytes;
    size_t m_pos = 0;
    int m_version;
    RecordForm m_form;
};

class RecordWriter {
public:
    explicit RecordWriter(RecordForm form = RecordForm::Template) : m_form(form) {}

    // Records are always written at the current version.
    int Version() const { return kCurrentVersion; }
    RecordForm Form() const { return m_form; }
    bool DesignMode() const { return m_form == RecordForm::Template; }

    size_t Position() const { return m_bytes.size(); }
    const std::string& Bytes() const { return m_bytes; }
    std::string TakeBytes() { return std::move(m_bytes); }
    void Reserve(size_t size) { m_bytes.reserve(size); }

    void WriteByte(std::uint8_t value) { m_bytes.push_back(static_cast<char>(value)); }
    void WriteWord(std::uint16_t value);
    void WriteInt(std::int32_t value);
    void WriteBool16(bool value) { WriteWord(value ? 0xFFFF : 0); }
    void WriteColor(std::uint32_t value) { WriteInt(static_cast<std::int32_t>(value)); }
    void WriteDouble(double value);
    void WriteBytes(std::string_view bytes) { m_bytes.append(bytes); }

    // Text longer than a word can count (65535 bytes) is cut there, so the file
    // stays readable.
    void WriteCountedString(std::string_view text);
    void WriteBareString(std::string_view text);
    void WriteLineList(const Lines& lines);

    // An int whose value is known only later (end offsets): returns its position.
    size_t WritePlaceholder() {
        WriteInt(0);
        return m_bytes.size() - 4;
    }
    // Writes the current position (the end of what followed) over a placeholder.
    void PatchEndOffset(size_t placeholder);
    void PatchInt(size_t position, std::int32_t value);

private:
    std::string m_bytes;
    RecordForm m_form;
};

} // namespace mirel::tmpl
