#include "core/Text.h"

namespace mirel::core {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(text.substr(start, i - start));
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.push_back(text.substr(start));
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines, std::string_view lineEnd) {
    size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + lineEnd.size();
    std::string out;
    out.reserve(total);
    for (const auto& line : lines) {
        out += line;
        out += lineEnd;
    }
    return out;
}

std::string_view trimLeftBlanks(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && isBlankOrControl(s[b]))
        ++b;
    return s.substr(b);
}

std::string_view trimRightBlanks(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && isBlankOrControl(s[e - 1]))
        --e;
    return s.substr(0, e);
}

std::string_view trimBlanks(std::string_view s) { return trimRightBlanks(trimLeftBlanks(s)); }

} // namespace mirel::core
