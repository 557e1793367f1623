#pragma once
// The text forms of code records: a line of an import file and a line of the
// store's export.

#include <string>
#include <string_view>

namespace mirel::codes {

// The three fields of one import line; the views point into the line.
struct ImportFields {
    std::string_view no;
    std::string_view key0;
    std::string_view key1;
};

// Splits one import line. `NO` runs up to the first TAB, or the first space when
// the line holds no TAB; the rest, trimmed of blanks and control characters, is
// split the same way into `key0` and `key1`, and `key1` is trimmed too. A line
// with neither TAB nor space is all `key1`. TAB and space never occur inside a
// code page character, so the bytes are searched directly.
ImportFields splitImportLine(std::string_view line);

// Appends the export line of one record, followed by CR LF: `NO`, a space and
// `key1` when `key0` is empty, otherwise `NO` TAB `key0` TAB `key1`.
void appendExportLine(std::string& out, std::string_view no, std::string_view key0, std::string_view key1);

} // namespace mirel::codes
