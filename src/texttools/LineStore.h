#pragma once
// The lines of a text file held in memory, for the tool window's views.

#include "core/Encoding.h"

#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mirel::texttools {

// One text in code page bytes and where each of its lines starts: 8 bytes per
// line beside the text, so a file of ten million serials stays viewable.
class LineStore {
public:
    LineStore() = default;
    // Splits at CR LF, LF or CR; a final line break does not start another line.
    explicit LineStore(AnsiString text);
    // Reads a text file as the system reads text files (core::textFileToAnsi);
    // throws core::FileError when it cannot be read.
    static LineStore fromFile(const QString& path);

    std::int64_t size() const { return static_cast<std::int64_t>(m_starts.size()) - 1; }
    bool empty() const { return size() == 0; }
    // Line i (0-based) without its line break; an empty line past the last one.
    std::string_view line(std::int64_t i) const;

private:
    AnsiString m_text;
    std::vector<std::uint64_t> m_starts{0};   // one per line, then the end of the text
};

// Writes lines first..last (0-based, inclusive; empty past the end of the store)
// to `path`, each followed by CR LF, through an OutputFile; an empty file when
// last < first.
void writeLineRange(const LineStore& lines, std::int64_t first, std::int64_t last, const QString& path);

} // namespace mirel::texttools
