#include "pdf417/Pdf417Symbol.h"

#include "pdf417/E2DBarcodeError.h"
#include "pdf417/Pdf417Patterns.h"
#include "pdf417/ReedSolomon.h"

#include <algorithm>

namespace mirel::pdf417 {

namespace {

// Start and stop patterns, given as element widths from a bar, as module masks.
struct ElementPattern {
    std::uint32_t mask = 0;
    int modules = 0;
};

constexpr ElementPattern fromWidths(std::string_view widths) {
    ElementPattern p;
    std::uint32_t bar = 1;
    for (const char w : widths) {
        for (int i = 0; i < w - '0'; ++i)
            p.mask = p.mask << 1 | bar;
        p.modules += w - '0';
        bar ^= 1;
    }
    return p;
}

constexpr ElementPattern kStartPattern = fromWidths("81111113");
constexpr ElementPattern kStopPattern = fromWidths("711311121");
static_assert(kStartPattern.mask == 0b11111111010101000 && kStartPattern.modules == 17);
static_assert(kStopPattern.mask == 0b111111101000101001 && kStopPattern.modules == 18);

} // namespace

int effectiveEccLevel(int eccLevel, int codewordCount) {
    if (eccLevel >= 0)
        return eccLevel;
    if (codewordCount < 41)
        return 2;
    if (codewordCount < 161)
        return 3;
    if (codewordCount < 321)
        return 4;
    return 5;
}

SymbolDimensions symbolSize(int numColumns, int numRows, int eccCount, int codewordCount) {
    const int k = eccCount;
    const int m = codewordCount;
    if (numColumns > 0 && numRows > 0)
        return {numColumns, numRows};
    if (numRows > 0) {
        int c = 1;
        while (c < kMaxColumns && c * numRows - k <= m)
            ++c;
        return {c, numRows};
    }
    if (numColumns > 0) {
        int r = 3;
        while (r < kMaxRows && numColumns * r - k <= m)
            ++r;
        return {numColumns, r};
    }
    // Rows and columns grow together, rows first, until at least m codewords fit
    // before the error correction.
    int c = 1;
    int r = 3;
    while (c * r - k < m && !(r == kMaxRows && c == kMaxColumns)) {
        if (r < kMaxRows)
            ++r;
        if (c < kMaxColumns && c * r - k < m)
            ++c;
    }
    return {c, r};
}

int leftRowIndicator(int row, int columns, int rows, int level) {
    const int base = 30 * (row / 3);
    switch (row % 3) {
    case 0: return base + (rows - 1) / 3;
    case 1: return base + 3 * level + (rows - 1) % 3;
    default: return base + columns - 1;
    }
}

int rightRowIndicator(int row, int columns, int rows, int level) {
    const int base = 30 * (row / 3);
    switch (row % 3) {
    case 0: return base + columns - 1;
    case 1: return base + (rows - 1) / 3;
    default: return base + 3 * level + (rows - 1) % 3;
    }
}

std::uint32_t codewordPattern(int row, int codeword) {
    if (codeword < 0 || codeword > kMaxCodeword)
        throw E2DBarcodeError("Invalid Codeword");
    return kCodewordPatterns[row % 3][codeword];
}

Pdf417Symbol::Pdf417Symbol() {
    m_buffer.fill(kPadCodeword);
}

SymbolDimensions Pdf417Symbol::SymbolSize() const {
    return symbolSize(m_numColumns, m_numRows, eccCodewordCount(EffectiveECCLevel()), m_count);
}

SymbolLayout Pdf417Symbol::Layout() const {
    SymbolLayout layout;
    layout.level = EffectiveECCLevel();
    layout.eccCount = eccCodewordCount(layout.level);
    const SymbolDimensions size = SymbolSize();
    layout.columns = size.columns;
    layout.rows = size.rows;
    layout.length = size.columns * size.rows - layout.eccCount;
    return layout;
}

SymbolLayout Pdf417Symbol::PrepareMatrix() {
    const SymbolLayout layout = Layout();
    if (layout.length < 0 || layout.columns * layout.rows < m_count + layout.eccCount)
        throw E2DBarcodeError("Code too large for barcode");
    m_buffer[0] = static_cast<std::uint16_t>(layout.length);
    m_layout = layout;
    return layout;
}

void Pdf417Symbol::GenerateSymbol() {
    EncodeCode();
    const SymbolLayout layout = PrepareMatrix();
    // Indices m .. n-1 keep the pad value 900 of the reset; the correction
    // codewords follow the n codewords they protect.
    const auto n = static_cast<std::size_t>(layout.length);
    computeErrorCorrection(std::span<const std::uint16_t>(m_buffer.data(), n), layout.level,
                           std::span<std::uint16_t>(m_buffer.data() + n, static_cast<std::size_t>(layout.eccCount)));
}

int Pdf417Symbol::LeftRowIndicator(int row) const {
    return leftRowIndicator(row, m_layout.columns, m_layout.rows, m_layout.level);
}

int Pdf417Symbol::RightRowIndicator(int row) const {
    return rightRowIndicator(row, m_layout.columns, m_layout.rows, m_layout.level);
}

void Pdf417Symbol::RowModules(int row, bool truncated, ModuleRow& modules) const {
    modules.clear();
    modules.append(kStartPattern.mask, kStartPattern.modules);
    modules.append(CodewordPattern(row, LeftRowIndicator(row)), 17);
    for (int c = 0; c < m_layout.columns; ++c)
        modules.append(CodewordPattern(row, MatrixCodeword(row, c)), 17);
    if (truncated) {
        modules.append(1, 1);
    } else {
        modules.append(CodewordPattern(row, RightRowIndicator(row)), 17);
        modules.append(kStopPattern.mask, kStopPattern.modules);
    }
}

} // namespace mirel::pdf417
