// Any label text, at any level and size, encodes or fails with the generator's
// own errors, and every symbol that generates is a Reed–Solomon code word whose
// rows can be laid out.
//
// Input: one byte of settings (level, columns, rows, truncated), then the text.

#include "core/Numbers.h"
#include "pdf417/E2DBarcodeError.h"
#include "pdf417/Pdf417Symbol.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace mirel::pdf417;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t settings = data[0];
    Pdf417Symbol symbol;
    symbol.SetCode(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    symbol.SetECCLevel(settings % 10 - 1);
    symbol.SetNumColumns((settings >> 4 & 3) * 7);        // 0, 7, 14, 21
    symbol.SetNumRows((settings >> 6 & 1) * 30);          // 0 or 30
    const bool truncated = settings >> 7;
    try {
        symbol.GenerateSymbol();
    } catch (const E2DBarcodeError&) {
        return 0;
    } catch (const mirel::core::ConversionError&) {
        return 0;
    }
    const SymbolLayout layout = symbol.Layout();
    if (layout.length < symbol.CodewordCount() || layout.columns * layout.rows > 2700)
        std::abort();
    // The complete sequence vanishes at 3 .. 3^k modulo 929.
    std::int64_t root = 1;
    for (int i = 1; i <= layout.eccCount; ++i) {
        root = root * 3 % 929;
        std::int64_t value = 0;
        for (int row = 0; row < layout.rows; ++row)
            for (int column = 0; column < layout.columns; ++column)
                value = (value * root + symbol.MatrixCodeword(row, column)) % 929;
        if (value != 0)
            std::abort();
    }
    ModuleRow modules;
    try {
        for (int row = 0; row < layout.rows; ++row) {
            symbol.RowModules(row, truncated, modules);
            if (modules.size() != 17 * layout.columns + (truncated ? 35 : 69))
                std::abort();
        }
    } catch (const E2DBarcodeError&) {
        // A descriptor above 928 or a literal codeword above 928.
    }
    return 0;
}
