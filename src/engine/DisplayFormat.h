#pragma once
// Display formats: how a text object shows the value of a bracketed expression.
//
// A template stores an object's display format as one int of four parts:
//   bits 24-27  category: 0 text (the value as it is), 1 number, 2 date, 3 time,
//               4 boolean
//   bits 16-23  sub-format, per category (4 = the object's format text):
//     number    0 "##0.#.." and 2 "#,##0.#.." (as many '#' as decimal places),
//               1 fixed and 3 thousands-separated with exactly that many decimals
//     date      0 "yy.mm.dd", 1 "yyyy.mm.dd", 2 "yyyy'年'mm'月'dd'日'",
//               3 the long date form "yyyy'年'm'月'd'日'"
//     time      0 "hh:nn:ss", 1 "h:nn:ss", 2 "hh:nn", 3 "h:nn"
//     boolean   0 "0;1", 1 "否;是", 2 "_;x", 3 "假;真" (false text before the
//               semicolon, true text after); 4 a format text of the same form
//   bits 8-15   decimal places for number sub-formats 0 to 3
//   bits 0-7    character used as decimal separator while a number is shown (0:
//               '.'); the thousands separator is ',', or '.' when the decimal
//               separator is ','
// A value that a format cannot show (a text that is no number under a number
// format, a date beyond the year 9999, an unknown category or sub-format) is
// shown as its plain text (Value::toString).

#include "engine/Value.h"

#include <cstdint>
#include <string_view>

namespace mirel::engine {

enum class FormatCategory : int { Text = 0, Number = 1, Date = 2, Time = 3, Boolean = 4 };

constexpr int formatCategory(std::int32_t displayFormat) { return (displayFormat >> 24) & 0x0F; }
constexpr int formatSubFormat(std::int32_t displayFormat) { return (displayFormat >> 16) & 0xFF; }
constexpr int formatDecimals(std::int32_t displayFormat) { return (displayFormat >> 8) & 0xFF; }
constexpr char formatSeparator(std::int32_t displayFormat) { return static_cast<char>(displayFormat & 0xFF); }

constexpr std::int32_t makeDisplayFormat(FormatCategory category, int subFormat, int decimals, char separator = '.') {
    return (static_cast<std::int32_t>(category) << 24) | ((subFormat & 0xFF) << 16) | ((decimals & 0xFF) << 8)
         | static_cast<unsigned char>(separator);
}

// A new object's display format: category text, 2 decimal places, '.'.
constexpr std::int32_t kDefaultDisplayFormat = makeDisplayFormat(FormatCategory::Text, 0, 2, '.');

// The value as the display format shows it. With hideZeros (a text object's
// HideZeros flag) a number equal to zero shows as an empty text.
AnsiString formatValue(const Value& v, std::int32_t displayFormat, const AnsiString& formatText,
                       bool hideZeros = false);

// The number pattern language:
//   0         a digit, shown even when it is a leading or trailing zero
//   #         a digit, left out when it is a leading zero or a trailing decimal zero
//   .         the decimal point (the first one); shown as `decimalSeparator`, and only
//             when decimal digits follow it
//   ,         anywhere in the integer part: thousands separators every three digits
//   E+0 E-0   scientific form, e or E; the zeros give the least exponent digits;
//             E+ always shows the exponent's sign, E- only a minus
//   '..' ".." literal text; any other character is copied as it is
//   ;         sections: "positive;negative;zero". With a negative section the value
//             is shown without its minus sign (the section writes its own); an empty
//             section falls back to the first. A value that rounds to zero is shown
//             as zero (zero section, no minus sign).
// The integer digits fill the integer placeholders from the right; digits beyond
// them all go to the first placeholder, so "000-000" shows 1234567 as "1234-567".
// Rounding: to the pattern's decimal places, a value exactly halfway (in its
// 15-digit decimal form) rounding away from zero: 0.125 -> "0.13", 2.675 -> "2.68",
// -2.5 with "0" -> "-3". An empty pattern, NaN, infinities and magnitudes of 1e18
// and above without an E in the pattern give the general form (core::formatGeneral).
AnsiString formatFloat(std::string_view pattern, double value, char decimalSeparator = '.');
// The same for a whole number, with every digit exact (no 15-digit rounding).
AnsiString formatInteger(std::string_view pattern, std::int64_t value, char decimalSeparator = '.');

} // namespace mirel::engine
