#pragma once
// Walking code page (GB18030) text one character at a time, so that the second
// byte of a two-byte character (0x40..0xFE, which includes '[', ']', '\' and the
// ASCII letters) and the digit bytes of a four-byte character are never taken for
// characters of their own.

#include <cstddef>
#include <string>
#include <string_view>

namespace mirel::engine {

// Bytes of the character starting at s[i] (i < s.size()): 2 for a lead byte
// 0x81..0xFE with a trail byte 0x40..0x7E or 0x80..0xFE, 4 for lead,
// 0x30..0x39, 0x81..0xFE, 0x30..0x39, else 1 (ASCII and stray bytes).
inline std::size_t charLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= s.size())
        return 1;
    const unsigned char second = byte(i + 1);
    if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
        return 2;
    if (second >= 0x30 && second <= 0x39 && i + 3 < s.size()) {
        const unsigned char third = byte(i + 2), fourth = byte(i + 3);
        if (third >= 0x81 && third <= 0xFE && fourth >= 0x30 && fourth <= 0x39)
            return 4;
    }
    return 1;
}

// Number of characters in s.
inline std::size_t charCount(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += charLength(s, i))
        ++count;
    return count;
}

// Byte offset of character number `index` (from 0); s.size() when beyond the end.
inline std::size_t charOffset(std::string_view s, std::size_t index) {
    std::size_t i = 0;
    while (index > 0 && i < s.size()) {
        i += charLength(s, i);
        --index;
    }
    return i;
}

// Changes the letter case of single-byte ASCII letters only.
inline std::string asciiCase(std::string_view s, bool upper) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size();) {
        const std::size_t n = charLength(out, i);
        if (n == 1) {
            char& c = out[i];
            if (upper && c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
            else if (!upper && c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        i += n;
    }
    return out;
}

} // namespace mirel::engine
