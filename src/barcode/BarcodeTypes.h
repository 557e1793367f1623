#pragma once
// The 23 linear symbologies, the check digit methods and the type table.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mirel::barcode {

// A colour as the label formats store it: 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor kWhite = 0xFFFFFF;
inline constexpr TColor kBlack = 0x000000;

// The symbology of a symbol. The numbers are stored in label templates, so the
// order never changes. A value above 22 can only come from a damaged record; the
// pattern build refuses it.
enum TfrBarcodeType : std::uint8_t {
    bcCode_2_5_interleaved = 0,
    bcCode_2_5_industrial = 1,
    bcCode_2_5_matrix = 2,
    bcCode39 = 3,
    bcCode39Extended = 4,
    bcCode128A = 5,
    bcCode128B = 6,
    bcCode128C = 7,
    bcCode93 = 8,
    bcCode93Extended = 9,
    bcCodeMSI = 10,
    bcCodePostNet = 11,
    bcCodeCodabar = 12,
    bcCodeEAN8 = 13,
    bcCodeEAN13 = 14,
    bcCodeUPC_A = 15,
    bcCodeUPC_E0 = 16,
    bcCodeUPC_E1 = 17,
    bcCodeUPC_Supp2 = 18,
    bcCodeUPC_Supp5 = 19,
    bcCodeEAN128A = 20,
    bcCodeEAN128B = 21,
    bcCodeEAN128C = 22,
};

inline constexpr int kBarcodeTypeCount = 23;

// How the EAN/UPC-style check digit is formed.
enum TfrCheckSumMethod : std::uint8_t {
    csmNone = 0,
    csmModulo10 = 1,
};

struct BarcodeTypeInfo {
    std::string_view name;   // as the barcode editor lists it
    bool numericOnly;        // the build trims the text and refuses non-digits
};

// One row per symbology, in type order. The names are shown exactly like this
// ("Codebar", a blank in "UPC Supp2", an underscore in "UPC_A").
inline constexpr std::array<BarcodeTypeInfo, kBarcodeTypeCount> kBarcodeTypes = {{
    {"2_5_interleaved", true}, {"2_5_industrial", true}, {"2_5_matrix", true},
    {"Code39", false},         {"Code39 Extended", false}, {"Code128A", false},
    {"Code128B", false},       {"Code128C", true},         {"Code93", false},
    {"Code93 Extended", false}, {"MSI", true},             {"PostNet", true},
    {"Codebar", false},        {"EAN8", true},             {"EAN13", true},
    {"UPC_A", true},           {"UPC_E0", true},           {"UPC_E1", true},
    {"UPC Supp2", true},       {"UPC Supp5", true},        {"EAN128A", false},
    {"EAN128B", false},        {"EAN128C", true},
}};

constexpr bool isKnownType(TfrBarcodeType type) { return type < kBarcodeTypeCount; }

// The type table row; only for known types.
constexpr const BarcodeTypeInfo& typeInfo(TfrBarcodeType type) { return kBarcodeTypes[type]; }

// A type by its display name, compared exactly.
std::optional<TfrBarcodeType> typeFromName(std::string_view name);

} // namespace mirel::barcode
