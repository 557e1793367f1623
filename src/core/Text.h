#pragma once
// Line splitting and trimming as the system's text files and fields need them.

#include <string>
#include <string_view>
#include <vector>

namespace mirel::core {

// Splits text into lines at CR LF, LF or CR. A final line break does not start
// another line, so "a\r\nb\r\n" gives two lines and "" gives none; "\r\n" gives
// one empty line. The views point into `text`.
std::vector<std::string_view> splitLines(std::string_view text);

// Joins lines, each followed by `lineEnd` (CR LF by default, as the system's
// text files are written).
std::string joinLines(const std::vector<std::string>& lines, std::string_view lineEnd = "\r\n");

// True for the blanks and control characters trimming removes: codes 0 to 32.
constexpr bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// Removes blanks and control characters (codes 0 to 32) at both ends. Bytes
// above 127 are never removed, so a code page character is always kept whole.
std::string_view trimBlanks(std::string_view s);
std::string_view trimLeftBlanks(std::string_view s);
std::string_view trimRightBlanks(std::string_view s);

} // namespace mirel::core
