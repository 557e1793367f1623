#pragma once
// The anti-counterfeit code cipher.
//
// A seed text becomes a string of base-36 digit pairs: the first pair is the
// start value, then one pair per seed byte, each the running 10-bit value after
// adding the byte and mixing in the cycling key. Codes are only ever produced,
// never decoded.

#include <string>
#include <string_view>

namespace mirel::codes {

// The key every generated code uses.
inline constexpr std::string_view kCodeKey = "Rk7!mQ2w";

// Enciphers `seed` (code page bytes, each taken as 0..255) with `key` (at least
// one byte). `start` -1 draws a random start value uniformly from 0..1023;
// otherwise it is the start value and must lie in 0..1023 (std::invalid_argument
// otherwise, as must a non-empty key). The code has 2 + 2 * seed.size() characters.
std::string Encipher(std::string_view seed, std::string_view key, int start);

// The random start value Encipher(..., -1) uses: uniform over 0..1023 from one
// process-wide generator seeded once from the operating system's entropy, so
// codes made in quick succession get independent starts.
int randomStart();

// Writes v (0..1023) as two characters of the 36-character alphabet, high digit
// first: 0 -> "00", 35 -> "0Z", 36 -> "10", 1023 -> "SF".
void appendPair(std::string& out, unsigned v);

} // namespace mirel::codes
