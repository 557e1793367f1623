#pragma once
// The code list: the text lines of the current run's last generation ("k code")
// or last import (the file's lines, unchanged), which the export writes.

#include "core/Encoding.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::codes {

// Lines of code page bytes kept in one buffer, each already followed by CR LF, so
// a million codes cost about 30 MB and the export form needs no copying. Not
// kept between runs: the caller (the main window, the CLI) owns one.
class CodeList {
public:
    void clear();
    void reserve(std::int64_t lines, std::int64_t bytes);
    // `line` holds no line break (the caller splits lines first).
    void append(std::string_view line);

    std::int64_t size() const { return static_cast<std::int64_t>(m_ends.size()); }
    bool empty() const { return m_ends.empty(); }
    std::string_view line(std::int64_t index) const;

    // The lines, each followed by CR LF: the bytes the export writes.
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
    std::vector<size_t> m_ends;   // end of each line's text, before its CR LF
};

// Writes the code list to `path` as the export does (code page bytes, CR LF),
// atomically, replacing any file of that name. Throws CodeStoreError naming
// the file on failure (the file is then unchanged).
void exportCodeList(const QString& path, const CodeList& list);

} // namespace mirel::codes
