#pragma once
// The symbology encoders: the text of a symbol in, its element pattern out.
//
// An element pattern is a left-to-right string of element codes: '0'..'3' a space
// of module width W0..W3, '5'..'8' a full-height bar of W0..W3, 'A'..'D' a short
// bar (PostNet) of W0..W3. The encoders know nothing of module widths; the
// generator measures and draws the codes with its current widths.
//
// An encoder that normalises the text of a symbol (padding, cutting, a check digit
// the symbol shows) takes it by reference and leaves there what the symbol shows,
// also when it fails part way. The encoders of numeric-only symbologies expect
// digits only: the generator has trimmed the text and refused anything else.

#include "barcode/BarcodeTypes.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace mirel::barcode {

// A text the symbology cannot carry, or a symbol that cannot be built. The
// message is the one the operator sees in the barcode editor.
class BarcodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The class name the generator's messages carry ("TfrBarcode: wrong BarcodeType").
inline constexpr std::string_view kGeneratorClassName = "TfrBarcode";

// Refuses a character the symbology of `type` cannot hold, naming it:
// "TfrBarcode:Code39 cannot encode 'a' (code 97)".
[[noreturn]] void refuseCharacter(TfrBarcodeType type, char c);

// The first n characters of s when it is longer, otherwise s left-padded with '0'
// to n characters.
std::string FitText(std::string_view s, std::size_t n);

// The EAN/UPC check digit: weights 3, 1, 3, ... from the rightmost digit, the
// complement of the weighted sum to the next multiple of ten. A non-digit throws
// core::ConversionError "'a' is not a valid integer value".
int Modulo10Digit(std::string_view digits);

// s followed by its modulo-10 check digit (csmModulo10), or s unchanged (csmNone).
std::string AppendCheckDigit(std::string_view s, TfrCheckSumMethod method);

// The check digit of the 2- and 5-digit add-ons: weights 3, 9, 3, ... from the
// rightmost digit, the weighted sum modulo 10.
int AddOnCheckDigit(std::string_view digits);

// Turns a width string (digits '1'..'4', bar first, then alternating) into element
// codes: bars '5'..'8', spaces '0'..'3'. "211412" -> "605351".
std::string WidthsToElements(std::string_view widths);

// EAN and UPC (EanUpc.cpp).
std::string encodeEan8(std::string& text, bool checksum, TfrCheckSumMethod method);
std::string encodeEan13(std::string& text, bool checksum, TfrCheckSumMethod method);
std::string encodeUpcA(std::string& text, bool checksum, TfrCheckSumMethod method);
std::string encodeUpcE(std::string& text, TfrBarcodeType type, bool checksum);
std::string encodeUpcSupp2(std::string& text, bool checksum);
std::string encodeUpcSupp5(std::string& text, bool checksum);

// The check digit of a UPC-E: the modulo-10 digit of the UPC-A number the six data
// digits stand for, with number system 0 (bcCodeUPC_E0) or 1 (bcCodeUPC_E1).
int upcECheckDigit(std::string_view sixDigits, TfrBarcodeType type);

// Code 128 and EAN-128 in code set A, B or C (Code128.cpp).
std::string encodeCode128(std::string& text, TfrBarcodeType type, bool checksum, TfrCheckSumMethod method);

// Code 39 and its full-ASCII form (Code39.cpp).
std::string encodeCode39(std::string_view text, bool checksum, TfrBarcodeType type = bcCode39);
std::string encodeCode39Extended(std::string_view text, bool checksum);

// Code 93 and its full-ASCII form (Code93.cpp); the two check characters are
// always present.
std::string encodeCode93(std::string_view text);
std::string encodeCode93Extended(std::string_view text);

// The 2-of-5 codes (TwoOfFive.cpp). Interleaved pads an odd count of digits with
// a leading "0", which the symbol shows.
std::string encode2of5Interleaved(std::string& text);
std::string encode2of5Industrial(std::string_view text);
std::string encode2of5Matrix(std::string_view text);

// Codabar with start A and stop B (Codabar.cpp).
std::string encodeCodabar(std::string_view text);

// MSI with its modulo-10 check digit, encoded but not shown (Msi.cpp).
std::string encodeMsi(std::string_view text);
int msiCheckDigit(std::string_view digits);

// PostNet, full and short bars (PostNet.cpp).
std::string encodePostNet(std::string_view text);

} // namespace mirel::barcode
