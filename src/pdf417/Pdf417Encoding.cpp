// High-level encoding of a PDF417 symbol: the label text becomes data codewords
// by text, byte and numeric compaction (ISO/IEC 15438 codeword values), chosen
// greedily by the run tests, with the backslash escapes inside text.

#include "pdf417/E2DBarcodeError.h"
#include "pdf417/Pdf417Symbol.h"

#include "core/Numbers.h"

#include <algorithm>
#include <cassert>

namespace mirel::pdf417 {

namespace {

// Text compaction: for each character code 0..127 its value and the sub-modes it
// exists in (bit 1 Alpha, 2 Lower, 4 Mixed, 8 Punctuation). A character has the
// same value in every sub-mode that holds it. Example: ',' is 13 in Mixed and
// Punctuation; space is 26 in Alpha, Lower and Mixed.
struct TextChar {
    std::uint8_t value = 0;
    std::uint8_t modes = 0;   // 0: not text-encodable
};

constexpr std::array<TextChar, 128> makeTextTable() {
    std::array<TextChar, 128> table{};
    const auto put = [&table](std::string_view chars, std::uint8_t mode) {
        for (std::size_t v = 0; v < chars.size(); ++v) {
            auto& entry = table[static_cast<unsigned char>(chars[v])];
            entry.value = static_cast<std::uint8_t>(v);
            entry.modes = static_cast<std::uint8_t>(entry.modes | mode);
        }
    };
    put("ABCDEFGHIJKLMNOPQRSTUVWXYZ ", 1);
    put("abcdefghijklmnopqrstuvwxyz ", 2);
    put("0123456789&\r\t,:#-.$/+%*=^", 4);   // 25 is the latch to Punctuation
    table[' '].modes |= 4;
    put(";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'", 8);
    return table;
}

constexpr std::array<TextChar, 128> kTextTable = makeTextTable();
static_assert(kTextTable['A'].value == 0 && kTextTable['A'].modes == 1);
static_assert(kTextTable[' '].value == 26 && kTextTable[' '].modes == 7);
static_assert(kTextTable['\r'].value == 11 && kTextTable['\r'].modes == 12);
static_assert(kTextTable['*'].value == 22 && kTextTable['*'].modes == 12);
static_assert(kTextTable['\n'].value == 15 && kTextTable['\n'].modes == 8);
static_assert(kTextTable['\\'].value == 5 && kTextTable['\\'].modes == 8);
static_assert(kTextTable['^'].value == 24 && kTextTable['\''].value == 28);

constexpr std::uint8_t textModes(int c) { return c >= 0 && c < 128 ? kTextTable[c].modes : 0; }
constexpr bool isTextEncodable(unsigned char c) { return textModes(c) != 0; }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of the number field of an escape, or 0 when it is not a number in
// that base. Near the end of the text the field is simply shorter. A literal
// codeword may carry a sign; a negative one fails later as an invalid codeword.
int fieldValue(std::string_view field, int base, bool sign = false) {
    int negate = 1;
    if (sign && !field.empty() && (field[0] == '-' || field[0] == '+')) {
        negate = field[0] == '-' ? -1 : 1;
        field.remove_prefix(1);
    }
    if (field.empty())
        return 0;
    int value = 0;
    for (const char c : field) {
        int digit;
        if (isDigit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return 0;
        value = value * base + digit;
    }
    return negate * value;
}

} // namespace

// What reading one character of a text segment gives.
struct Pdf417Symbol::TextRead {
    enum Kind { kCharacter, kCodeword, kGli } kind = kCharacter;
    long long value = 0;
    int next = 0;   // position after the character or the whole escape
};

int convertToBase900(std::string_view digits, std::span<std::uint16_t, kMaxBase900Digits> out) {
    assert(!digits.empty() && digits.size() <= 45 && std::all_of(digits.begin(), digits.end(), isDigit)
           && "ConvertToBase900: S should be a numeric string");
    std::array<std::uint8_t, 45> number{};
    int length = 0;
    for (const char c : digits)
        if (length > 0 || c != '0')
            number[length++] = static_cast<std::uint8_t>(c - '0');

    // Long division of the decimal digits by 900 while the number has more
    // digits than a 64-bit integer holds for certain (18); each remainder is the
    // next base-900 digit from the low end. The rest is ordinary arithmetic.
    std::array<std::uint16_t, kMaxBase900Digits> reversed{};
    int count = 0;
    while (length > 18) {
        int remainder = 0;
        int quotientLength = 0;
        for (int i = 0; i < length; ++i) {
            const int current = remainder * 10 + number[i];
            const int quotient = current / 900;
            remainder = current % 900;
            if (quotientLength > 0 || quotient > 0)
                number[quotientLength++] = static_cast<std::uint8_t>(quotient);
        }
        reversed[count++] = static_cast<std::uint16_t>(remainder);
        length = quotientLength;
    }
    std::uint64_t rest = 0;
    for (int i = 0; i < length; ++i)
        rest = rest * 10 + number[i];
    for (; rest > 0; rest /= 900)
        reversed[count++] = static_cast<std::uint16_t>(rest % 900);
    std::reverse_copy(reversed.begin(), reversed.begin() + count, out.begin());
    return count;
}

void Pdf417Symbol::AddCodeword(int value) {
    // No symbol holds more than 2700 codewords; refuse the data instead of
    // running past the buffer.
    if (m_count >= kCodewordBufferSize)
        throw E2DBarcodeError("Code too large for barcode");
    m_buffer[m_count++] = static_cast<std::uint16_t>(value);
}

void Pdf417Symbol::AddTextValue(int value) {
    if (m_pairOpen) {
        m_buffer[m_count] = static_cast<std::uint16_t>(m_buffer[m_count] + value);
        ++m_count;
    } else {
        if (m_count >= kCodewordBufferSize)
            throw E2DBarcodeError("Code too large for barcode");
        m_buffer[m_count] = static_cast<std::uint16_t>(30 * value);
    }
    m_pairOpen = !m_pairOpen;
}

bool Pdf417Symbol::NumericRunAt(int pos) const {
    const int end = std::min(static_cast<int>(m_code.size()) - 1, pos + 14);
    int i = pos;
    while (i < end && isDigit(m_code[i]))
        ++i;
    return i - pos >= 14;
}

bool Pdf417Symbol::TextRunAt(int pos) const {
    const int last = static_cast<int>(m_code.size()) - 1;   // never examined
    int i = pos;
    while (i < last && i - pos < 6 && isTextEncodable(static_cast<unsigned char>(m_code[i])))
        ++i;
    const int counted = i - pos;
    return counted == 6 || (counted > 0 && i == last);
}

int Pdf417Symbol::ByteRunLength(int pos) const {
    const int length = static_cast<int>(m_code.size());
    for (int q = pos; q < length; ++q)
        if ((isDigit(m_code[q]) && NumericRunAt(q)) || TextRunAt(q))
            return q - pos;
    return length - pos;
}

void Pdf417Symbol::EncodeCode() {
    m_buffer.fill(kPadCodeword);
    m_count = 1;
    m_pairOpen = false;
    const int length = static_cast<int>(m_code.size());
    int pos = 0;
    bool first = true;
    while (pos < length) {
        if (NumericRunAt(pos))
            pos = encodeNumericSegment(pos);
        else if (TextRunAt(pos))
            pos = encodeTextSegment(pos, first);
        else
            pos = encodeByteSegment(pos);
        first = false;
    }
}

int Pdf417Symbol::encodeNumericSegment(int pos) {
    AddCodeword(kNumericLatch);
    const int length = static_cast<int>(m_code.size());
    // Groups of up to 44 digits, each with a leading 1 that keeps its leading
    // zeros; the segment takes every digit of the run, the last character too.
    std::array<char, 45> group;
    std::array<std::uint16_t, kMaxBase900Digits> digits;
    for (;;) {
        int taken = 0;
        group[0] = '1';
        while (taken < 44 && pos + taken < length && isDigit(m_code[pos + taken])) {
            group[taken + 1] = m_code[pos + taken];
            ++taken;
        }
        if (taken == 0)
            return pos;
        const int count = convertToBase900(std::string_view(group.data(), taken + 1), digits);
        for (int i = 0; i < count; ++i)
            AddCodeword(digits[i]);
        pos += taken;
    }
}

int Pdf417Symbol::encodeByteSegment(int pos) {
    const int n = ByteRunLength(pos);
    AddCodeword(n % 6 == 0 ? kByteLatchSix : kByteLatch);
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_code.data()) + pos;
    int i = 0;
    for (; n - i >= 6; i += 6) {
        // Six bytes as a 48-bit number give five base-900 digits.
        std::uint64_t value = 0;
        for (int j = 0; j < 6; ++j)
            value = value << 8 | bytes[i + j];
        std::array<int, 5> group;
        for (int j = 4; j >= 0; --j, value /= 900)
            group[j] = static_cast<int>(value % 900);
        for (const int codeword : group)
            AddCodeword(codeword);
    }
    for (; i < n; ++i)
        AddCodeword(bytes[i]);
    return pos + n;
}

Pdf417Symbol::TextRead Pdf417Symbol::readTextCharacter(int pos) const {
    const std::string_view code = m_code;
    const int length = static_cast<int>(code.size());
    const auto byte = static_cast<unsigned char>(code[pos]);
    if (byte != '\\' || pos + 1 >= length)
        return {TextRead::kCharacter, byte, pos + 1};
    const auto field = [&](int offset, int size) {
        return code.substr(std::min<std::size_t>(static_cast<std::size_t>(pos + offset), code.size()),
                           static_cast<std::size_t>(size));
    };
    const char escape = code[pos + 1];
    if (isDigit(escape))
        return {TextRead::kCharacter, fieldValue(field(1, 3), 10), pos + 4};
    switch (escape) {
    case 'C': case 'c':
        return {TextRead::kCodeword, fieldValue(field(2, 3), 10, true), pos + 5};
    case 'G': case 'g': {
        // Unlike the other escapes a GLI number must be a number.
        const std::string_view digits = field(2, 6);
        return {TextRead::kGli, core::parseInteger(digits), pos + 8};
    }
    case 'X': case 'x':
        return {TextRead::kCharacter, fieldValue(field(2, 2), 16), pos + 4};
    case '\\':
        return {TextRead::kCharacter, '\\', pos + 2};
    default:
        return {TextRead::kCharacter, '\\', pos + 1};
    }
}

Pdf417Symbol::SubMode Pdf417Symbol::switchSubMode(SubMode current, SubMode target, bool shiftWanted) {
    // Latch and shift values of the text sub-modes: 27 ll/as, 28 ml/al, 29 ps/al, 25 pl.
    switch (current) {
    case kAlpha:
        if (target == kLower) { AddTextValue(27); return kLower; }
        if (target == kMixed) { AddTextValue(28); return kMixed; }
        if (shiftWanted) { AddTextValue(29); return kAlpha; }
        AddTextValue(28); AddTextValue(25); return kPunctuation;
    case kLower:
        if (target == kAlpha) {
            if (shiftWanted) { AddTextValue(27); return kLower; }
            AddTextValue(28); AddTextValue(28); return kAlpha;
        }
        if (target == kMixed) { AddTextValue(28); return kMixed; }
        if (shiftWanted) { AddTextValue(29); return kLower; }
        AddTextValue(28); AddTextValue(25); return kPunctuation;
    case kMixed:
        if (target == kAlpha) { AddTextValue(28); return kAlpha; }
        if (target == kLower) { AddTextValue(27); return kLower; }
        if (shiftWanted) { AddTextValue(29); return kMixed; }
        AddTextValue(25); return kPunctuation;
    case kPunctuation:
        AddTextValue(29);
        if (target == kLower) AddTextValue(27);
        else if (target == kMixed) AddTextValue(28);
        return target;
    }
    return current;
}

void Pdf417Symbol::addGli(long long value) {
    if (value >= 0 && value <= 899) {
        AddCodeword(927);
        AddCodeword(static_cast<int>(value));
    } else if (value >= 900 && value <= 810899) {
        AddCodeword(926);
        AddCodeword(static_cast<int>(value / 900 - 1));
        AddCodeword(static_cast<int>(value % 900));
    } else if (value >= 810900 && value <= 811799) {
        AddCodeword(925);
        AddCodeword(static_cast<int>(value - 810900));
    } else {
        throw E2DBarcodeError("GLI value out of range");
    }
}

int Pdf417Symbol::encodeTextSegment(int pos, bool first) {
    if (!first)
        AddCodeword(kTextLatch);
    const int length = static_cast<int>(m_code.size());
    SubMode mode = kAlpha;
    m_pairOpen = false;
    while (pos < length && isTextEncodable(static_cast<unsigned char>(m_code[pos]))) {
        const TextRead read = readTextCharacter(pos);
        const int q = read.next;
        if (read.kind == TextRead::kCharacter && read.value < 128 && textModes(static_cast<int>(read.value)) != 0) {
            const TextChar c = kTextTable[read.value];
            if ((c.modes & mode) == 0) {
                SubMode target = kAlpha;
                for (const SubMode m : {kAlpha, kLower, kMixed, kPunctuation})
                    if (c.modes & m) { target = m; break; }
                // The generator looks one character further than the one that
                // follows: a shift is wanted when the character after the next
                // one exists in the current sub-mode, or at the end of the text.
                bool shiftWanted = true;
                if (q + 1 < length)
                    shiftWanted = (textModes(static_cast<unsigned char>(m_code[q + 1])) & mode) != 0;
                mode = switchSubMode(mode, target, shiftWanted);
            }
            AddTextValue(c.value);
        } else {
            // A literal codeword, a GLI, or an escaped character that text
            // compaction has no value for. All of them stand in whole codewords:
            // complete an open pair with the padding value 29 first.
            const bool padded = m_pairOpen;
            if (m_pairOpen)
                AddTextValue(29);
            if (read.kind == TextRead::kCodeword) {
                AddCodeword(static_cast<int>(read.value));
            } else if (read.kind == TextRead::kGli) {
                addGli(read.value);
            } else {
                // An escaped control code or a byte of 128 or more goes into the
                // text as a byte shift: 913 and the byte value. The sub-mode
                // stays, except that the padding 29 is a latch to Alpha when
                // Punctuation is latched, so reading goes on from Alpha.
                if (read.value > 255)
                    throw E2DBarcodeError("Character escape out of range");
                AddCodeword(kByteShift);
                AddCodeword(static_cast<int>(read.value));
                if (padded && mode == kPunctuation)
                    mode = kAlpha;
            }
        }
        pos = q;
        if (pos < length && isDigit(m_code[pos]) && NumericRunAt(pos))
            break;
    }
    if (m_pairOpen)
        AddTextValue(29);
    return pos;
}

} // namespace mirel::pdf417
