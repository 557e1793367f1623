#include "barcode/TfrBarcode.h"

#include "barcode/Encoders.h"
#include "core/Numbers.h"
#include "core/Text.h"

#include <cmath>
#include <limits>

namespace mirel::barcode {
namespace {

[[noreturn]] void internalError() {
    throw BarcodeError(std::string(kGeneratorClassName) + ": internal Error");
}

// The largest narrow-to-wide module product the generator accepts. Beyond it the
// element widths (and the symbol width, a 32-bit value) would no longer be
// meaningful; no label comes anywhere near it.
constexpr double kMaxWideModule = 1000.0;

} // namespace

std::optional<TfrBarcodeType> typeFromName(std::string_view name) {
    for (std::size_t i = 0; i < kBarcodeTypes.size(); ++i)
        if (kBarcodeTypes[i].name == name)
            return static_cast<TfrBarcodeType>(i);
    return std::nullopt;
}

void TfrBarcode::Changed() {
    if (m_onChange)
        m_onChange(*this);
}

void TfrBarcode::SetHeight(int value) {
    if (value != m_height) {
        m_height = value;
        Changed();
    }
}

void TfrBarcode::SetText(const AnsiString& value) {
    if (value != m_text) {
        m_text = value;
        m_assignedText = value;
        Changed();
    }
}

void TfrBarcode::SetTop(int value) {
    if (value != m_top) {
        m_top = value;
        Changed();
    }
}

void TfrBarcode::SetLeft(int value) {
    if (value != m_left) {
        m_left = value;
        Changed();
    }
}

void TfrBarcode::SetModul(int value) {
    if (value < 1 || value > 49)
        return;
    if (value != m_modul) {
        m_modul = value;
        Changed();
    }
}

void TfrBarcode::SetRatio(double value) {
    if (value != m_ratio) {
        m_ratio = value;
        Changed();
    }
}

void TfrBarcode::SetTyp(TfrBarcodeType value) {
    if (value != m_typ) {
        m_typ = value;
        Changed();
    }
}

void TfrBarcode::SetChecksum(bool value) {
    if (value != m_checksum) {
        m_checksum = value;
        Changed();
    }
}

void TfrBarcode::SetAngle(double value) {
    if (value != m_angle) {
        m_angle = value;
        Changed();
    }
}

void TfrBarcode::ComputeModules() {
    // Symbologies read by their wide-to-narrow ratio keep it within what readers
    // accept; a correction goes through the setter and so notifies.
    double low = 0.0;
    double high = 0.0;
    switch (m_typ) {
    case bcCode_2_5_matrix:
        low = 2.25;
        high = 3.0;
        break;
    case bcCode_2_5_interleaved: case bcCode_2_5_industrial: case bcCode39: case bcCode39Extended:
    case bcCodeCodabar: case bcCodeEAN8: case bcCodeEAN13: case bcCodeUPC_A: case bcCodeUPC_E0:
    case bcCodeUPC_E1: case bcCodeUPC_Supp2: case bcCodeUPC_Supp5:
        low = 2.0;
        high = 3.0;
        break;
    default:
        break;
    }
    if (high > 0.0) {
        if (m_ratio < low)
            SetRatio(low);
        else if (m_ratio > high)
            SetRatio(high);
    }
    const double wide = m_modul * m_ratio;
    if (!std::isfinite(wide) || std::fabs(wide) > kMaxWideModule)
        throw BarcodeError(std::string(kGeneratorClassName) + ": Ratio " + core::formatGeneral(m_ratio)
                           + " is out of range");
    const int w1 = static_cast<int>(core::roundHalfEven(wide));
    m_modules = {m_modul, w1, w1 * 3 / 2, w1 * 2};
}

std::string TfrBarcode::MakePattern() {
    ComputeModules();
    if (!isKnownType(m_typ))
        throw BarcodeError(std::string(kGeneratorClassName) + ": wrong BarcodeType");

    // Encode the text as last assigned; m_text ends as what the symbol shows, and
    // keeps whatever normalisation was done when an encoder fails.
    if (typeInfo(m_typ).numericOnly) {
        m_text = core::trimBlanks(m_assignedText);
        for (char c : m_text)
            if (c < '0' || c > '9')
                throw BarcodeError("Barcode must be numeric");
    } else {
        m_text = m_assignedText;
    }

    switch (m_typ) {
    case bcCode_2_5_interleaved: return encode2of5Interleaved(m_text);
    case bcCode_2_5_industrial: return encode2of5Industrial(m_text);
    case bcCode_2_5_matrix: return encode2of5Matrix(m_text);
    case bcCode39: return encodeCode39(m_text, m_checksum);
    case bcCode39Extended: return encodeCode39Extended(m_text, m_checksum);
    case bcCode128A: case bcCode128B: case bcCode128C:
    case bcCodeEAN128A: case bcCodeEAN128B: case bcCodeEAN128C:
        return encodeCode128(m_text, m_typ, m_checksum, m_checkSumMethod);
    case bcCode93: return encodeCode93(m_text);
    case bcCode93Extended: return encodeCode93Extended(m_text);
    case bcCodeMSI: return encodeMsi(m_text);
    case bcCodePostNet: return encodePostNet(m_text);
    case bcCodeCodabar: return encodeCodabar(m_text);
    case bcCodeEAN8: return encodeEan8(m_text, m_checksum, m_checkSumMethod);
    case bcCodeEAN13: return encodeEan13(m_text, m_checksum, m_checkSumMethod);
    case bcCodeUPC_A: return encodeUpcA(m_text, m_checksum, m_checkSumMethod);
    case bcCodeUPC_E0: case bcCodeUPC_E1: return encodeUpcE(m_text, m_typ, m_checksum);
    case bcCodeUPC_Supp2: return encodeUpcSupp2(m_text, m_checksum);
    case bcCodeUPC_Supp5: return encodeUpcSupp5(m_text, m_checksum);
    }
    internalError();
}

ElementWidth TfrBarcode::ElementInfo(char code) const {
    if (code >= '0' && code <= '3')
        return {m_modules[static_cast<std::size_t>(code - '0')], ElementKind::Space};
    if (code >= '5' && code <= '8')
        return {m_modules[static_cast<std::size_t>(code - '5')], ElementKind::Bar};
    if (code >= 'A' && code <= 'D')
        return {m_modules[static_cast<std::size_t>(code - 'A')], ElementKind::ShortBar};
    internalError();
}

int TfrBarcode::PatternWidth(std::string_view pattern) const {
    long long total = 0;
    for (char code : pattern)
        total += ElementInfo(code).width;
    if (total > std::numeric_limits<int>::max() || total < std::numeric_limits<int>::min())
        throw BarcodeError(std::string(kGeneratorClassName) + ": symbol too wide");
    return static_cast<int>(total);
}

int TfrBarcode::Width() { return PatternWidth(MakePattern()); }

void TfrBarcode::SetWidth(int value) {
    const int total = Width();
    if (total > 0)
        SetModul(static_cast<int>(static_cast<long long>(m_modul) * value / total));
}

} // namespace mirel::barcode
