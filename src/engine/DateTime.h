#pragma once
// Dates and times in the form templates store them: a double counting days since
// 1899-12-30, whose fraction is the time of day (0.75 is 18:00). Days before that
// date are negative and their fraction still counts forward from midnight, so
// -1.25 is 1899-12-29 06:00.

#include "core/Encoding.h"

#include <optional>
#include <string_view>

namespace mirel::engine {

struct DateParts {
    int year = 1899, month = 12, day = 30;      // 1..9999, 1..12, 1..31
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    int dayOfWeek = 7;                          // 1 Monday .. 7 Sunday
};

// Days for a calendar date and fraction for a time of day; nullopt for a date that
// does not exist (2023-02-29, month 13, year 0) or a time out of range.
std::optional<double> encodeDate(int year, int month, int day);
std::optional<double> encodeTime(int hour, int minute, int second, int millisecond = 0);

// The calendar parts of a stored date, to the millisecond (rounded, so 23:59:59.9996
// is the next day's 00:00:00.000). nullopt outside the years 1 to 9999 or for NaN.
std::optional<DateParts> decodeDateTime(double days);

// The local date and time now.
double currentDateTime();

// Reads "2024-01-31", "2024.1.31", "2024/01/31", each optionally followed by a time,
// or a time alone: "8:05", "08:05:30", "08:05:30.250". Blanks around are allowed.
// nullopt when the text is none of these or names no real date.
std::optional<double> parseDateTime(std::string_view text);

// Formats a stored date with a date/time pattern (letter case of the specifiers
// does not matter):
//   d dd        day of month, without / with leading zero
//   ddd dddd    short / long weekday name ("周三" / "星期三")
//   ddddd       short date form (yyyy-mm-dd); dddddd long date form (yyyy年m月d日)
//   m mm        month, without / with leading zero; right after an h or hh they
//               are minutes instead; mmm mmmm month name ("一月")
//   yy yyyy     two-digit / four-digit year
//   h hh        hour (12-hour when an am/pm specifier appears in the pattern)
//   n nn, s ss  minute, second; z zzz milliseconds
//   t tt        short (hh:nn) / long (hh:nn:ss) time form; c date and time
//   am/pm a/p   "am"/"pm" or "a"/"p" in the letter case written; ampm "上午"/"下午"
//   / :         date separator "-" and time separator ":"
//   '..' ".."   quoted literal text; every other character is copied as it is.
// Throws ValueError for a date outside the years 1 to 9999.
AnsiString formatDateTime(std::string_view pattern, double days);

} // namespace mirel::engine
