#include "barcode/Encoders.h"

#include <string>

namespace mirel::barcode {

void refuseCharacter(TfrBarcodeType type, char c) {
    const auto code = static_cast<unsigned char>(c);
    std::string message(kGeneratorClassName);
    message += ':';
    message += isKnownType(type) ? typeInfo(type).name : std::string_view("barcode");
    message += " cannot encode ";
    // Printable ASCII is quoted; anything else (a control character, a byte of a
    // code page character) is named by its code alone, so the message stays
    // readable text.
    if (code > 32 && code < 127) {
        message += '\'';
        message += c;
        message += "' (code ";
    } else if (code == 32) {
        message += "the blank (code ";
    } else {
        message += "the character code ";
    }
    message += std::to_string(code);
    if (code >= 32 && code < 127)
        message += ')';
    throw BarcodeError(message);
}

std::string WidthsToElements(std::string_view widths) {
    std::string elements(widths.size(), '0');
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const char w = widths[i];
        if (w < '1' || w > '4')
            throw BarcodeError(std::string(kGeneratorClassName) + ": internal Error");
        // Odd positions (1st, 3rd, ...) are bars, even positions spaces.
        elements[i] = static_cast<char>((i % 2 == 0 ? '5' : '0') + (w - '1'));
    }
    return elements;
}

} // namespace mirel::barcode
