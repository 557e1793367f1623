#include "engine/DisplayFormat.h"

#include "engine/CodePageText.h"
#include "engine/DateTime.h"
#include "engine/DecimalDigits.h"

#include "core/Numbers.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace mirel::engine {

namespace {

struct Item {
    enum Kind { Literal, IntDigit, Point, FracDigit, Exponent } kind;
    std::string text;        // Literal: the text; Exponent: the letter as written
    bool forced = false;     // digit: '0' rather than '#'
    char sign = '+';         // Exponent: '+' or '-'
    int exponentDigits = 0;  // Exponent: least number of digits
};

struct Section {
    std::vector<Item> items;
    bool thousands = false;
    bool scientific = false;
    bool hasPoint = false;
    int intPlaceholders = 0;
    int minIntDigits = 0;   // placeholders from the first '0' of the integer part on
    int maxDecimals = 0;
    int minDecimals = 0;    // up to the last '0' after the point
};

Section parseSection(std::string_view pattern) {
    Section s;
    int firstZero = -1;
    bool afterExponent = false;
    auto literal = [&](std::string_view text) {
        if (!s.items.empty() && s.items.back().kind == Item::Literal)
            s.items.back().text += text;
        else
            s.items.push_back({Item::Literal, std::string(text)});
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const std::size_t length = charLength(pattern, i);
        const char c = pattern[i];
        if (length > 1) {
            literal(pattern.substr(i, length));
            i += length;
            continue;
        }
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            literal(pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        if (afterExponent) {
            literal(pattern.substr(i, 1));
            ++i;
            continue;
        }
        if (c == '0' || c == '#') {
            if (!s.hasPoint) {
                if (c == '0' && firstZero < 0)
                    firstZero = s.intPlaceholders;
                ++s.intPlaceholders;
                s.items.push_back({Item::IntDigit, {}, c == '0'});
            } else {
                ++s.maxDecimals;
                if (c == '0')
                    s.minDecimals = s.maxDecimals;
                s.items.push_back({Item::FracDigit, {}, c == '0'});
            }
            ++i;
        } else if (c == '.' && !s.hasPoint) {
            s.hasPoint = true;
            s.items.push_back({Item::Point});
            ++i;
        } else if (c == ',') {
            s.thousands = true;
            ++i;
        } else if ((c == 'E' || c == 'e') && i + 1 < pattern.size() && (pattern[i + 1] == '+' || pattern[i + 1] == '-')) {
            Item item{Item::Exponent, std::string(1, c)};
            item.sign = pattern[i + 1];
            i += 2;
            while (i < pattern.size() && pattern[i] == '0' && item.exponentDigits < 4) {
                ++item.exponentDigits;
                ++i;
            }
            s.items.push_back(item);
            s.scientific = true;
            afterExponent = true;
        } else {
            literal(pattern.substr(i, 1));
            ++i;
        }
    }
    s.minIntDigits = firstZero < 0 ? 0 : s.intPlaceholders - firstZero;
    return s;
}

// Splits "positive;negative;zero" at semicolons outside quoted text.
std::vector<std::string_view> splitSections(std::string_view pattern) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        if (c == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
        i += charLength(pattern, i);
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

struct Separators {
    char decimal;
    char thousands;
};

// The magnitude through one section; `minus` puts a '-' in front.
std::string formatMagnitude(const Section& s, Decimal d, bool minus, Separators sep) {
    std::string out;
    if (minus)
        out += '-';

    std::string intDigits;
    std::string fracDigits;
    std::string exponentText;
    if (s.scientific) {
        const int intCount = std::max(1, s.intPlaceholders);
        int exponent = 0;
        if (!d.isZero()) {
            exponent = d.point - intCount;
            d.point = intCount;
            d.roundToDecimals(s.maxDecimals);
            if (d.point > intCount) {   // 9.99 rounded to 10.0: one more digit
                ++exponent;
                d.point = intCount;
            }
        }
        intDigits = d.integerDigits();
        if (intDigits.empty())
            intDigits.assign(1, '0');
        const Item* e = nullptr;
        for (const Item& item : s.items)
            if (item.kind == Item::Exponent)
                e = &item;
        exponentText = e->text;
        if (exponent < 0)
            exponentText += '-';
        else if (e->sign == '+')
            exponentText += '+';
        std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (static_cast<int>(digits.size()) < e->exponentDigits)
            digits.insert(0, static_cast<std::size_t>(e->exponentDigits) - digits.size(), '0');
        exponentText += digits;
    } else {
        intDigits = d.integerDigits();
    }
    for (int k = 0; k < s.maxDecimals; ++k)
        fracDigits += d.digitAfterPoint(k);
    while (static_cast<int>(fracDigits.size()) > s.minDecimals && fracDigits.back() == '0')
        fracDigits.pop_back();
    if (static_cast<int>(intDigits.size()) < s.minIntDigits)
        intDigits.insert(0, static_cast<std::size_t>(s.minIntDigits) - intDigits.size(), '0');

    const int total = static_cast<int>(intDigits.size());
    const bool group = s.thousands && !s.scientific;
    auto emitIntDigit = [&](int index) {
        out += intDigits[static_cast<std::size_t>(index)];
        const int after = total - 1 - index;
        if (group && after > 0 && after % 3 == 0)
            out += sep.thousands;
    };
    auto emitAllIntDigits = [&] {
        for (int k = 0; k < total; ++k)
            emitIntDigit(k);
    };

    int placeholder = 0;   // integer placeholders seen so far
    int fracIndex = 0;
    for (const Item& item : s.items) {
        switch (item.kind) {
        case Item::Literal:
            out += item.text;
            break;
        case Item::IntDigit: {
            // Digits fill the placeholders from the right; the first placeholder
            // takes every digit beyond them.
            const int index = total - s.intPlaceholders + placeholder;
            if (placeholder == 0) {
                for (int k = 0; k <= index; ++k)
                    emitIntDigit(k);
            } else if (index >= 0) {
                emitIntDigit(index);
            }
            ++placeholder;
            break;
        }
        case Item::Point:
            if (s.intPlaceholders == 0)
                emitAllIntDigits();   // ".00" still shows the whole part
            if (!fracDigits.empty())
                out += sep.decimal;
            break;
        case Item::FracDigit:
            if (fracIndex < static_cast<int>(fracDigits.size()))
                out += fracDigits[static_cast<std::size_t>(fracIndex)];
            ++fracIndex;
            break;
        case Item::Exponent:
            out += exponentText;
            break;
        }
    }
    return out;
}

std::string generalForm(double value, char decimalSeparator) {
    std::string s = core::formatGeneral(value);
    for (char& c : s)
        if (c == '.')
            c = decimalSeparator;
    return s;
}

// The whole pattern for a number given as its magnitude's digits and sign.
std::string formatNumber(std::string_view pattern, const Decimal& magnitude, bool negative, double approx,
                         char decimalSeparator, bool exactDigits) {
    const Separators sep{decimalSeparator, decimalSeparator == ',' ? '.' : ','};
    const std::vector<std::string_view> sections = splitSections(pattern);
    const bool hasNegative = sections.size() >= 2 && !sections[1].empty();
    const bool hasZero = sections.size() >= 3 && !sections[2].empty();

    std::string_view chosen = sections[0];
    bool minus = negative;
    if (negative && hasNegative) {
        chosen = sections[1];
        minus = false;
    } else if (magnitude.isZero() && hasZero) {
        chosen = sections[2];
    }
    if (chosen.empty())
        return generalForm(approx, decimalSeparator);

    Section section = parseSection(chosen);
    if (!section.scientific && !exactDigits && std::fabs(approx) >= 1e18)
        return generalForm(approx, decimalSeparator);

    // A value that rounds to zero is shown as zero: the zero section when there is
    // one, else the first section, never with a minus sign.
    Decimal rounded = magnitude;
    if (!section.scientific)
        rounded.roundToDecimals(section.maxDecimals);
    if (rounded.isZero() && !magnitude.isZero()) {
        minus = false;
        if (hasZero)
            section = parseSection(sections[2]);
        else if (chosen.data() != sections[0].data())
            section = parseSection(sections[0]);
        if (!section.scientific)
            rounded = Decimal{};
    }
    return formatMagnitude(section, section.scientific ? magnitude : rounded, minus, sep);
}

AnsiString plainText(const Value& v) { return v.toString(); }

AnsiString booleanText(std::string_view pair, const Value& v) {
    const std::size_t semicolon = pair.find(';');
    if (semicolon == std::string_view::npos)
        return plainText(v);
    bool b = false;
    switch (v.kind()) {
    case Value::Kind::Boolean:
    case Value::Kind::Integer:
    case Value::Kind::Real:
    case Value::Kind::String:
        try {
            b = v.toBoolean();
        } catch (const ValueError&) {
            return plainText(v);
        }
        break;
    default:
        return plainText(v);
    }
    return AnsiString(b ? pair.substr(semicolon + 1) : pair.substr(0, semicolon));
}

AnsiString numberText(std::string_view pattern, const Value& v, char separator) {
    switch (v.kind()) {
    case Value::Kind::Integer:
        return formatInteger(pattern, v.integerValue(), separator);
    case Value::Kind::Real:
    case Value::Kind::DateTime:
        return formatFloat(pattern, v.toReal(), separator);
    case Value::Kind::String:
        if (const auto i = core::tryParseInteger(v.stringValue()))
            return formatInteger(pattern, *i, separator);
        if (const auto d = core::tryParseDecimal(v.stringValue()))
            return formatFloat(pattern, *d, separator);
        return plainText(v);
    default:
        return plainText(v);
    }
}

AnsiString dateText(std::string_view pattern, const Value& v) {
    std::optional<double> days;
    switch (v.kind()) {
    case Value::Kind::Integer:
    case Value::Kind::Real:
    case Value::Kind::DateTime:
        days = v.toReal();
        break;
    case Value::Kind::String:
        days = parseDateTime(v.stringValue());
        break;
    default:
        break;
    }
    if (!days)
        return plainText(v);
    try {
        return formatDateTime(pattern, *days);
    } catch (const ValueError&) {
        return plainText(v);
    }
}

} // namespace

AnsiString formatFloat(std::string_view pattern, double value, char decimalSeparator) {
    if (!std::isfinite(value))
        return core::formatGeneral(value);
    return formatNumber(pattern, decimalOf(std::fabs(value)), value < 0, value, decimalSeparator, false);
}

AnsiString formatInteger(std::string_view pattern, std::int64_t value, char decimalSeparator) {
    const std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    return formatNumber(pattern, decimalOf(magnitude), value < 0, static_cast<double>(value), decimalSeparator, true);
}

AnsiString formatValue(const Value& v, std::int32_t displayFormat, const AnsiString& formatText, bool hideZeros) {
    if (hideZeros && v.isNumber() && v.toReal() == 0.0)
        return {};
    const int sub = formatSubFormat(displayFormat);
    const int decimals = formatDecimals(displayFormat);
    char separator = formatSeparator(displayFormat);
    if (separator == '\0')
        separator = '.';

    switch (static_cast<FormatCategory>(formatCategory(displayFormat))) {
    case FormatCategory::Text:
        return plainText(v);
    case FormatCategory::Number: {
        std::string pattern;
        switch (sub) {
        case 0: pattern = "##0." + std::string(static_cast<std::size_t>(decimals), '#'); break;
        case 1: pattern = "0." + std::string(static_cast<std::size_t>(decimals), '0'); break;
        case 2: pattern = "#,##0." + std::string(static_cast<std::size_t>(decimals), '#'); break;
        case 3: pattern = "#,##0." + std::string(static_cast<std::size_t>(decimals), '0'); break;
        case 4: pattern = formatText; break;
        default: return plainText(v);
        }
        return numberText(pattern, v, separator);
    }
    case FormatCategory::Date: {
        static const AnsiString kChineseDate = core::fromUtf8("yyyy''年''mm''月''dd''日''");
        static const AnsiString kLongDate = core::fromUtf8("yyyy'年'm'月'd'日'");
        switch (sub) {
        case 0: return dateText("yy.mm.dd", v);
        case 1: return dateText("yyyy.mm.dd", v);
        case 2: return dateText(kChineseDate, v);
        case 3: return dateText(kLongDate, v);
        case 4: return dateText(formatText, v);
        default: return plainText(v);
        }
    }
    case FormatCategory::Time:
        switch (sub) {
        case 0: return dateText("hh:nn:ss", v);
        case 1: return dateText("h:nn:ss", v);
        case 2: return dateText("hh:nn", v);
        case 3: return dateText("h:nn", v);
        case 4: return dateText(formatText, v);
        default: return plainText(v);
        }
    case FormatCategory::Boolean: {
        static const AnsiString kNoYes = core::fromUtf8("否;是");
        static const AnsiString kFalseTrue = core::fromUtf8("假;真");
        switch (sub) {
        case 0: return booleanText("0;1", v);
        case 1: return booleanText(kNoYes, v);
        case 2: return booleanText("_;x", v);
        case 3: return booleanText(kFalseTrue, v);
        case 4: return booleanText(formatText, v);
        default: return plainText(v);
        }
    }
    }
    return plainText(v);
}

} // namespace mirel::engine
