#include "engine/DateTime.h"

#include "engine/CodePageText.h"
#include "engine/Value.h"

#include "core/Numbers.h"
#include "core/Text.h"

#include <QDateTime>

#include <cmath>
#include <cstdio>

namespace mirel::engine {

namespace {

constexpr double kMillisecondsPerDay = 86400000.0;

// 1899-12-30, day 0 of the stored form, is 25569 days before 1970-01-01.
constexpr long long kUnixEpochDay = 25569;

// Days from 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's
// days_from_civil). Example: 2024-01-31 is day 19753.
constexpr long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

struct Civil {
    int year;
    int month;
    int day;
};

constexpr Civil civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

static_assert(daysFromCivil(2024, 1, 31) == 19753);
static_assert(civilFromDays(19753).year == 2024 && civilFromDays(19753).day == 31);

constexpr bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

constexpr int daysInMonth(int y, int m) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Stored days of 0001-01-01 and 9999-12-31, the range a date can be shown in.
constexpr long long kFirstDay = daysFromCivil(1, 1, 1) + kUnixEpochDay;       // -693593
constexpr long long kLastDay = daysFromCivil(9999, 12, 31) + kUnixEpochDay;   // 2958465
static_assert(kFirstDay == -693593 && kLastDay == 2958465);

// Names of the Chinese locale the labels are printed in, written here in UTF-8
// and held as code page text.
struct LocaleNames {
    AnsiString shortDays[7];   // from Monday
    AnsiString longDays[7];
    AnsiString months[12];
    AnsiString morning, afternoon;
};

const LocaleNames& localeNames() {
    static const LocaleNames names = [] {
        constexpr const char* kShortDays[7] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
        constexpr const char* kLongDays[7] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};
        constexpr const char* kMonths[12] = {"一月", "二月", "三月", "四月", "五月", "六月",
                                             "七月", "八月", "九月", "十月", "十一月", "十二月"};
        LocaleNames n;
        for (int k = 0; k < 7; ++k) {
            n.shortDays[k] = core::fromUtf8(kShortDays[k]);
            n.longDays[k] = core::fromUtf8(kLongDays[k]);
        }
        for (int k = 0; k < 12; ++k)
            n.months[k] = core::fromUtf8(kMonths[k]);
        n.morning = core::fromUtf8("上午");
        n.afternoon = core::fromUtf8("下午");
        return n;
    }();
    return names;
}

constexpr std::string_view kShortDateForm = "yyyy-mm-dd";
constexpr std::string_view kShortTimeForm = "hh:nn";
constexpr std::string_view kLongTimeForm = "hh:nn:ss";

// The long date form holds Chinese literals, so it is code page text as well.
std::string_view longDateForm() {
    static const AnsiString form = core::fromUtf8("yyyy'年'm'月'd'日'");
    return form;
}

void appendNumber(AnsiString& out, int value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    out += buf;
}

bool equalsIgnoringCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size())
        return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
        char c = text[at + k];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[k])
            return false;
    }
    return true;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the pattern (outside quoted text) holds am/pm, a/p or ampm: its hours
// are then counted on the 12-hour clock.
bool usesTwelveHourClock(std::string_view pattern) {
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        if (lowerAscii(c) == 'a'
            && (equalsIgnoringCase(pattern, i, "am/pm") || equalsIgnoringCase(pattern, i, "a/p")
                || equalsIgnoringCase(pattern, i, "ampm")))
            return true;
        i += charLength(pattern, i);
    }
    return false;
}

void formatParts(AnsiString& out, std::string_view pattern, const DateParts& p, bool timeIsZero) {
    const bool twelveHour = usesTwelveHourClock(pattern);
    bool afterHour = false;   // an 'm' right after an hour specifier shows minutes
    std::size_t i = 0;
    while (i < pattern.size()) {
        const std::size_t length = charLength(pattern, i);
        if (length > 1) {
            out.append(pattern, i, length);
            i += length;
            continue;
        }
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern, i + 1, end - i - 1);
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        const char lower = lowerAscii(c);
        std::size_t run = 1;
        while (i + run < pattern.size() && lowerAscii(pattern[i + run]) == lower)
            ++run;
        bool isHour = false;
        switch (lower) {
        case 'c':
            run = 1;
            formatParts(out, kShortDateForm, p, timeIsZero);
            if (!timeIsZero) {
                out += ' ';
                formatParts(out, kLongTimeForm, p, timeIsZero);
            }
            break;
        case 'd':
            if (run <= 2)
                appendNumber(out, p.day, static_cast<int>(run));
            else if (run == 3)
                out += localeNames().shortDays[p.dayOfWeek - 1];
            else if (run == 4)
                out += localeNames().longDays[p.dayOfWeek - 1];
            else if (run == 5)
                formatParts(out, kShortDateForm, p, timeIsZero);
            else
                formatParts(out, longDateForm(), p, timeIsZero);
            break;
        case 'm':
            if (afterHour && run <= 2)
                appendNumber(out, p.minute, static_cast<int>(run));
            else if (run <= 2)
                appendNumber(out, p.month, static_cast<int>(run));
            else
                out += localeNames().months[p.month - 1];
            break;
        case 'y':
            if (run <= 2)
                appendNumber(out, p.year % 100, 2);
            else
                appendNumber(out, p.year, 4);
            break;
        case 'h': {
            int hour = p.hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            appendNumber(out, hour, run >= 2 ? 2 : 1);
            isHour = true;
            break;
        }
        case 'n':
            appendNumber(out, p.minute, run >= 2 ? 2 : 1);
            break;
        case 's':
            appendNumber(out, p.second, run >= 2 ? 2 : 1);
            break;
        case 'z':
            appendNumber(out, p.millisecond, run >= 3 ? 3 : 1);
            break;
        case 't':
            formatParts(out, run >= 2 ? kLongTimeForm : kShortTimeForm, p, timeIsZero);
            break;
        case 'a': {
            const bool afternoon = p.hour >= 12;
            if (equalsIgnoringCase(pattern, i, "am/pm")) {
                out.append(pattern, afternoon ? i + 3 : i, 2);
                run = 5;
            } else if (equalsIgnoringCase(pattern, i, "a/p")) {
                out += pattern[afternoon ? i + 2 : i];
                run = 3;
            } else if (equalsIgnoringCase(pattern, i, "ampm")) {
                out += afternoon ? localeNames().afternoon : localeNames().morning;
                run = 4;
            } else {
                out += c;
                run = 1;
                i += run;
                continue;   // plain text: the hour before stays the hour before
            }
            break;
        }
        case '/':
            out += '-';
            run = 1;
            i += run;
            continue;
        default:
            out += c;
            i += 1;
            continue;   // plain text keeps an hour's claim on the next 'm'
        }
        afterHour = isHour;
        i += run;
    }
}

// Reads 1..maxDigits decimal digits at text[i].
bool readDigits(std::string_view text, std::size_t& i, int minDigits, int maxDigits, int& value) {
    int count = 0;
    value = 0;
    while (i < text.size() && count < maxDigits && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i] - '0');
        ++i;
        ++count;
    }
    return count >= minDigits;
}

std::optional<double> parseTime(std::string_view text, std::size_t& i) {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    if (!readDigits(text, i, 1, 2, hour) || i >= text.size() || text[i] != ':')
        return std::nullopt;
    ++i;
    if (!readDigits(text, i, 1, 2, minute))
        return std::nullopt;
    if (i < text.size() && text[i] == ':') {
        ++i;
        if (!readDigits(text, i, 1, 2, second))
            return std::nullopt;
        if (i < text.size() && text[i] == '.') {
            ++i;
            const std::size_t start = i;
            if (!readDigits(text, i, 1, 3, millisecond))
                return std::nullopt;
            for (std::size_t k = i - start; k < 3; ++k)
                millisecond *= 10;   // ".25" is 250 ms
        }
    }
    return encodeTime(hour, minute, second, millisecond);
}

} // namespace

std::optional<double> encodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))
                               + kUnixEpochDay);
}

std::optional<double> encodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0
        || millisecond > 999)
        return std::nullopt;
    return ((hour * 60.0 + minute) * 60.0 + second + millisecond / 1000.0) / 86400.0;
}

std::optional<DateParts> decodeDateTime(double days) {
    if (!std::isfinite(days))
        return std::nullopt;
    const double whole = std::trunc(days);
    if (whole < static_cast<double>(kFirstDay) || whole > static_cast<double>(kLastDay))
        return std::nullopt;
    long long day = static_cast<long long>(whole);
    long long ms = std::llround(std::fabs(days - whole) * kMillisecondsPerDay);
    if (ms >= static_cast<long long>(kMillisecondsPerDay)) {
        // The time rounds up to midnight: the next calendar day (counting forward,
        // also for the negative days before 1899-12-30).
        ms -= static_cast<long long>(kMillisecondsPerDay);
        ++day;
        if (day > kLastDay)
            return std::nullopt;
    }
    const Civil civil = civilFromDays(day - kUnixEpochDay);
    DateParts p;
    p.year = civil.year;
    p.month = civil.month;
    p.day = civil.day;
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    p.dayOfWeek = static_cast<int>(((day + 5) % 7 + 7) % 7) + 1;   // day 0 was a Saturday
    return p;
}

double currentDateTime() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return *encodeDate(date.year(), date.month(), date.day())
         + *encodeTime(time.hour(), time.minute(), time.second(), time.msec());
}

std::optional<double> parseDateTime(std::string_view text) {
    text = core::trimBlanks(text);
    if (text.empty())
        return std::nullopt;
    std::size_t i = 0;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits < text.size() && text[digits] == ':') {
        const auto time = parseTime(text, i);
        if (!time || i != text.size())
            return std::nullopt;
        return time;
    }
    int year = 0, month = 0, day = 0;
    if (!readDigits(text, i, 4, 4, year) || i >= text.size())
        return std::nullopt;
    const char separator = text[i];
    if (separator != '-' && separator != '.' && separator != '/')
        return std::nullopt;
    ++i;
    if (!readDigits(text, i, 1, 2, month) || i >= text.size() || text[i] != separator)
        return std::nullopt;
    ++i;
    if (!readDigits(text, i, 1, 2, day))
        return std::nullopt;
    const auto date = encodeDate(year, month, day);
    if (!date)
        return std::nullopt;
    if (i == text.size())
        return date;
    if (text[i] != ' ' && text[i] != 'T')
        return std::nullopt;
    while (i < text.size() && (text[i] == ' ' || text[i] == 'T'))
        ++i;
    const auto time = parseTime(text, i);
    if (!time || i != text.size())
        return std::nullopt;
    return *date + *time;
}

AnsiString formatDateTime(std::string_view pattern, double days) {
    const auto parts = decodeDateTime(days);
    if (!parts)
        throw ValueError("'" + core::formatGeneral(days) + "' is not a date between the years 1 and 9999");
    const bool timeIsZero = parts->hour == 0 && parts->minute == 0 && parts->second == 0 && parts->millisecond == 0;
    AnsiString out;
    formatParts(out, pattern, *parts, timeIsZero);
    return out;
}

} // namespace mirel::engine
