// EAN-8, EAN-13, UPC-A, UPC-E and the 2- and 5-digit add-ons.

#include "barcode/Encoders.h"

#include "core/Numbers.h"

#include <array>
#include <cassert>
#include <cstring>
#include <string>

namespace mirel::barcode {
namespace {

// Four element codes per digit, written in place (see PatternWriter).
using DigitTable = char[10][5];

// The EAN/UPC number sets A (left, odd parity), B (left, even parity) and C
// (right), seven modules per digit as four element codes; a B entry is the C entry
// of the same digit read backwards. EAN/UPC standard (ISO/IEC 15420).
// Example: 0 in set A = "2605", space 3, bar 2, space 1, bar 1 modules (0001101).
constexpr DigitTable kEanTableA = {"2605", "1615", "1516", "0805", "0526",
                                   "0625", "0508", "0706", "0607", "2506"};
constexpr DigitTable kEanTableB = {"0517", "0616", "1606", "0535", "1705",
                                   "0715", "3505", "1525", "2515", "1507"};
constexpr DigitTable kEanTableC = {"7150", "6160", "6061", "5350", "5071",
                                   "5170", "5053", "5251", "5152", "7051"};

// The sets of the six left-hand digits of an EAN-13 by its first digit, which is
// carried by this parity alone. EAN-13 standard. Example: 6 = "ABBBAA".
constexpr std::array<std::string_view, 10> kEan13Parity = {
    "AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB", "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

// UPC-E parity of number system 0 by check digit ('E' even = set B, 'o' odd =
// set A); number system 1 takes the opposite sets. Columns 2 to 6 are the parity
// of the 5-digit add-on by its check digit. UPC-E standard. Example: 7 = "EoEoEo".
constexpr std::array<std::string_view, 10> kUpcEParity = {
    "EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo", "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};

// Parity of the 2-digit add-on by its value modulo 4. Example: 1 = "oE".
constexpr std::array<std::string_view, 4> kSupp2Parity = {"oo", "oE", "Eo", "EE"};

constexpr char kNormalGuard[] = "505";
constexpr char kCentreGuard[] = "05050";
constexpr char kUpcEEndGuard[] = "050505";
constexpr char kAddOnStart[] = "506";
constexpr char kAddOnSeparator[] = "05";

// Fills a pattern of known length: every piece has a length known at compile
// time, so each is a single store. Retail symbols are built millions of times a
// run when labels are prepared, and this halves their build time.
class PatternWriter {
public:
    explicit PatternWriter(std::size_t size) : m_pattern(size, '\0'), m_out(m_pattern.data()) {}

    template <std::size_t N>
    void put(const char (&codes)[N]) {
        std::memcpy(m_out, codes, N - 1);
        m_out += N - 1;
    }

    std::string take() {
        assert(m_out == m_pattern.data() + m_pattern.size());
        return std::move(m_pattern);
    }

private:
    std::string m_pattern;
    char* m_out;
};

int digit(char c) {
    assert(c >= '0' && c <= '9');
    return c - '0';
}

// EAN-8 and UPC-A: guards, the left half of the digits from set A, the right
// half from set C.
std::string leftAandRightC(std::string_view digits) {
    const std::size_t half = digits.size() / 2;
    PatternWriter p(3 + 4 * half + 5 + 4 * half + 3);
    p.put(kNormalGuard);
    for (std::size_t i = 0; i < half; ++i)
        p.put(kEanTableA[digit(digits[i])]);
    p.put(kCentreGuard);
    for (std::size_t i = half; i < digits.size(); ++i)
        p.put(kEanTableC[digit(digits[i])]);
    p.put(kNormalGuard);
    return p.take();
}

[[noreturn]] void notAnInteger(char c) {
    throw core::ConversionError("'" + std::string(1, c) + "' is not a valid integer value");
}

} // namespace

std::string FitText(std::string_view s, std::size_t n) {
    if (s.size() > n)
        return std::string(s.substr(0, n));
    std::string out(n - s.size(), '0');
    out += s;
    return out;
}

int Modulo10Digit(std::string_view digits) {
    int sum = 0;
    int weight = 3;
    const char* firstBad = nullptr;   // the message names the leftmost non-digit
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it < '0' || *it > '9')
            firstBad = &*it;
        sum += (*it - '0') * weight;
        weight = 4 - weight;
    }
    if (firstBad)
        notAnInteger(*firstBad);
    const int r = sum % 10;
    return r == 0 ? 0 : 10 - r;
}

std::string AppendCheckDigit(std::string_view s, TfrCheckSumMethod method) {
    std::string out(s);
    if (method == csmModulo10)
        out += static_cast<char>('0' + Modulo10Digit(s));
    return out;
}

int AddOnCheckDigit(std::string_view digits) {
    int sum = 0;
    int weight = 3;
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it < '0' || *it > '9')
            notAnInteger(*it);
        sum += (*it - '0') * weight;
        weight = 12 - weight;
    }
    return sum % 10;
}

int upcECheckDigit(std::string_view d, TfrBarcodeType type) {
    assert(d.size() == 6);
    // The UPC-A number: number system, then the manufacturer and product digits
    // put back where the last data digit says the zeros were suppressed.
    const char ns = type == bcCodeUPC_E1 ? '1' : '0';
    std::string upcA;
    upcA.reserve(11);
    upcA += ns;
    switch (d[5]) {
    case '0': case '1': case '2':
        upcA.append(d.substr(0, 2)).append(1, d[5]).append("0000").append(d.substr(2, 3));
        break;
    case '3':
        upcA.append(d.substr(0, 3)).append("00000").append(d.substr(3, 2));
        break;
    case '4':
        upcA.append(d.substr(0, 4)).append("00000").append(1, d[4]);
        break;
    default:
        upcA.append(d.substr(0, 5)).append("0000").append(1, d[5]);
        break;
    }
    return Modulo10Digit(upcA);
}

std::string encodeEan8(std::string& text, bool checksum, TfrCheckSumMethod method) {
    const std::string data = checksum ? AppendCheckDigit(FitText(text, 7), method) : FitText(text, 8);
    if (data.size() != 8)
        throw BarcodeError("Invalid Text len (EAN8)");
    // The symbol shows the text as given, without padding or check digit.
    return leftAandRightC(data);
}

std::string encodeEan13(std::string& text, bool checksum, TfrCheckSumMethod method) {
    std::string data = checksum ? AppendCheckDigit(FitText(text, 12), method) : FitText(text, 13);
    if (data.size() != 13)
        throw BarcodeError("Invalid Text len (EAN13)");
    text = std::move(data);
    const std::string_view parity = kEan13Parity[digit(text[0])];
    PatternWriter p(59);
    p.put(kNormalGuard);
    for (int i = 0; i < 6; ++i)
        p.put((parity[i] == 'A' ? kEanTableA : kEanTableB)[digit(text[i + 1])]);
    p.put(kCentreGuard);
    for (int i = 7; i < 13; ++i)
        p.put(kEanTableC[digit(text[i])]);
    p.put(kNormalGuard);
    return p.take();
}

std::string encodeUpcA(std::string& text, bool checksum, TfrCheckSumMethod method) {
    // The text is the whole number including its check digit; with Checksum the
    // twelfth digit is replaced by the computed one.
    text = FitText(text, 12);
    if (checksum)
        text = AppendCheckDigit(std::string_view(text).substr(0, 11), method);
    // Only a check digit method of csmNone leaves eleven digits here.
    if (text.size() != 12)
        throw BarcodeError("Invalid Text len (UPC_A)");
    return leftAandRightC(text);
}

std::string encodeUpcE(std::string& text, TfrBarcodeType type, bool checksum) {
    // Six data digits and a check digit. The check digit is carried by the parity of
    // the six digits alone; readers check it over the expanded UPC-A number, so it is
    // computed there, whether the text shows it or not.
    text = FitText(text, 7);
    const int k = upcECheckDigit(std::string_view(text).substr(0, 6), type);
    if (checksum)
        text[6] = static_cast<char>('0' + k);
    const std::string_view parity = kUpcEParity[k];
    const char setBFor = type == bcCodeUPC_E1 ? 'o' : 'E';
    PatternWriter p(33);
    p.put(kNormalGuard);
    for (int i = 0; i < 6; ++i)
        p.put((parity[i] == setBFor ? kEanTableB : kEanTableA)[digit(text[i])]);
    p.put(kUpcEEndGuard);
    return p.take();
}

std::string encodeUpcSupp2(std::string& text, bool checksum) {
    text = FitText(text, 2);
    const int value = digit(text[0]) * 10 + digit(text[1]);
    const std::string_view parity = kSupp2Parity[value % 4];
    PatternWriter p(13);
    p.put(kAddOnStart);
    p.put((parity[0] == 'E' ? kEanTableB : kEanTableA)[digit(text[0])]);
    p.put(kAddOnSeparator);
    p.put((parity[1] == 'E' ? kEanTableB : kEanTableA)[digit(text[1])]);
    // The third digit is shown under the add-on, not encoded.
    if (checksum)
        text += static_cast<char>('0' + AddOnCheckDigit(text));
    return p.take();
}

std::string encodeUpcSupp5(std::string& text, bool checksum) {
    text = FitText(text, 5);
    const int k = AddOnCheckDigit(text);
    const std::string_view parity = kUpcEParity[k].substr(1);
    PatternWriter p(31);
    p.put(kAddOnStart);
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            p.put(kAddOnSeparator);
        p.put((parity[i] == 'E' ? kEanTableB : kEanTableA)[digit(text[i])]);
    }
    // The check digit is carried by the parity and shown, not encoded as a digit.
    if (checksum)
        text += static_cast<char>('0' + k);
    return p.take();
}

} // namespace mirel::barcode
