// Error-correction level, symbol size, row indicators, Reed–Solomon codewords and
// the pattern tables. Expectations are worked out by hand from the sizing rules,
// from ISO/IEC 15438 (generator coefficients, row indicators, the codeword 0
// patterns) and from the algebra of the code.

#include "Pdf417TestSupport.h"

#include "pdf417/E2DBarcodeError.h"
#include "pdf417/Pdf417Patterns.h"
#include "pdf417/Pdf417Symbol.h"
#include "pdf417/ReedSolomon.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace mirel::pdf417 {
namespace {

using test::matrixCodewords;
using test::vanishesAtGeneratorRoots;

TEST(Pdf417Layout, EffectiveLevel) {
    const struct {
        int setting;
        int count;
        int level;
    } cases[] = {
        {-1, 1, 2}, {-1, 40, 2}, {-1, 41, 3}, {-1, 160, 3}, {-1, 161, 4}, {-1, 320, 4},
        {-1, 321, 5}, {-1, 2701, 5}, {0, 500, 0}, {1, 1, 1}, {8, 1, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(effectiveEccLevel(c.setting, c.count), c.level) << c.setting << " " << c.count;
}

TEST(Pdf417Layout, SymbolSize) {
    const struct {
        const char* note;
        int columns, rows, k, m;
        SymbolDimensions size;
    } cases[] = {
        {"empty text: 2 x 5 holds 2 before the correction", 0, 0, 8, 1, {2, 5}},
        {"four text codewords", 0, 0, 8, 5, {3, 5}},
        {"automatic search stops at 'at least'", 0, 0, 8, 2, {2, 5}},
        {"fixed rows want 'more than': 2 x 5 - 8 = 2 is not above 2", 0, 5, 8, 2, {3, 5}},
        {"fixed rows 10, m 17: 3 x 10 - 8 = 22 > 17", 0, 10, 8, 17, {3, 10}},
        {"fixed columns search rows from 3", 2, 0, 8, 1, {2, 5}},
        {"fixed rows, nothing fits: 30 columns", 0, 3, 8, 100, {30, 3}},
        {"fixed columns, nothing fits: 90 rows", 1, 0, 8, 100, {1, 90}},
        {"both fixed: as set, even when too small", 1, 3, 8, 1, {1, 3}},
        {"level 3, m 41: rows and columns grow together", 0, 0, 16, 41, {7, 9}},
        {"columns stop at 30, rows go on", 0, 0, 64, 2600, {30, 89}},
        {"the largest symbol", 0, 0, 64, 2700, {30, 90}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(symbolSize(c.columns, c.rows, c.k, c.m), c.size) << c.note;
}

TEST(Pdf417Layout, RowIndicators) {
    // 2 x 5 at level 2 and 3 x 9 at level 3; clusters 0, 3, 6 by row.
    const struct {
        int columns, rows, level;
        std::vector<int> left, right;
    } cases[] = {
        {2, 5, 2, {1, 7, 1, 31, 37}, {1, 1, 7, 31, 31}},
        {3, 9, 3, {2, 11, 2, 32, 41, 32, 62, 71, 62}, {2, 2, 11, 32, 32, 41, 62, 62, 71}},
    };
    for (const auto& c : cases)
        for (int row = 0; row < c.rows; ++row) {
            EXPECT_EQ(leftRowIndicator(row, c.columns, c.rows, c.level), c.left[row]) << row;
            EXPECT_EQ(rightRowIndicator(row, c.columns, c.rows, c.level), c.right[row]) << row;
        }
}

TEST(Pdf417Layout, GeneratorCoefficients) {
    const auto k2 = generatorCoefficients(0);
    EXPECT_EQ(std::vector<int>(k2.begin(), k2.end()), (std::vector<int>{27, 917}));
    const auto k4 = generatorCoefficients(1);
    EXPECT_EQ(std::vector<int>(k4.begin(), k4.end()), (std::vector<int>{522, 568, 723, 809}));
    // Every generator vanishes at its roots 3 .. 3^k.
    for (int level = 0; level <= kMaxEccLevel; ++level) {
        const auto a = generatorCoefficients(level);
        std::vector<int> g{1};   // highest coefficient first
        for (auto it = a.rbegin(); it != a.rend(); ++it)
            g.push_back(*it);
        EXPECT_TRUE(vanishesAtGeneratorRoots(g, eccCodewordCount(level))) << level;
    }
}

TEST(Pdf417Layout, ErrorCorrectionCodewords) {
    const struct {
        const char* code;
        TStPDF417ECCLevels level;
        int columns, rows;
        std::vector<int> matrix;
    } cases[] = {
        {"AB", ecLevel0, 1, 4, {2, 1, 683, 675}},
        {"", ecAuto, 0, 0, {2, 900, 792, 768, 189, 329, 324, 285, 547, 210}},
    };
    for (const auto& c : cases) {
        Pdf417Symbol symbol;
        symbol.SetCode(c.code);
        symbol.SetECCLevel(c.level - 1);
        symbol.SetNumColumns(c.columns);
        symbol.SetNumRows(c.rows);
        symbol.GenerateSymbol();
        EXPECT_EQ(matrixCodewords(symbol), c.matrix) << c.code;
    }
}

// Complete sequences of every level and of many sizes are code words of the
// Reed–Solomon code; pads fill the gap between data and correction.
TEST(Pdf417Layout, EveryCompleteSequenceVanishesAtTheRoots) {
    const std::string text = "Lot 7A-12/b: 120 pcs; 000213298174000213 \xD6\xD0\xCE\xC4 expires 2025-01-31";
    for (int level = -1; level <= kMaxEccLevel; ++level)
        for (const int columns : {0, 1, 4, 17, 30}) {
            Pdf417Symbol symbol;
            symbol.SetCode(text);
            symbol.SetECCLevel(level);
            symbol.SetNumColumns(columns);
            try {
                symbol.GenerateSymbol();
            } catch (const E2DBarcodeError&) {
                // Only a fixed width too narrow for 90 rows of data and correction.
                EXPECT_LT(columns * kMaxRows, symbol.CodewordCount() + eccCodewordCount(symbol.EffectiveECCLevel()))
                    << level << " " << columns;
                continue;
            }
            const SymbolLayout layout = symbol.Layout();
            const std::vector<int> all = matrixCodewords(symbol);
            SCOPED_TRACE(testing::Message() << "level " << layout.level << ", " << layout.columns << " x " << layout.rows);
            EXPECT_TRUE(vanishesAtGeneratorRoots(all, layout.eccCount));
            EXPECT_EQ(all[0], layout.length);
            for (int i = symbol.CodewordCount(); i < layout.length; ++i)
                EXPECT_EQ(all[static_cast<std::size_t>(i)], 900) << i;
        }
}

TEST(Pdf417Layout, TooSmallOrTooLarge) {
    // One column, three rows at level 2: n = 3 - 8 is negative for every text.
    Pdf417Symbol narrow;
    narrow.SetNumColumns(1);
    narrow.SetNumRows(3);
    EXPECT_THROW(narrow.GenerateSymbol(), E2DBarcodeError);
    // 2 x 5 at level 2 has room for two codewords before the correction.
    Pdf417Symbol fixed;
    fixed.SetNumColumns(2);
    fixed.SetNumRows(5);
    fixed.SetCode("ABCD");   // 1 + 2 codewords
    try {
        fixed.GenerateSymbol();
        ADD_FAILURE();
    } catch (const E2DBarcodeError& e) {
        EXPECT_STREQ(e.what(), "Code too large for barcode");
    }
    // A long text grows past the 928 codewords a descriptor can say: generation
    // succeeds, and the descriptor is an invalid codeword for the patterns.
    Pdf417Symbol large;
    large.SetCode(std::string(2000, 'A'));
    large.GenerateSymbol();
    EXPECT_GT(large.Layout().length, 928);
    ModuleRow modules;
    EXPECT_THROW(large.RowModules(0, false, modules), E2DBarcodeError);
}

TEST(Pdf417Layout, CodewordPatternLookup) {
    EXPECT_EQ(codewordPattern(0, 0), 0x1D5C0u);   // 3 1 1 1 1 1 3 6
    EXPECT_EQ(codewordPattern(1, 0), 0x1F560u);   // 5 1 1 1 1 1 2 5
    EXPECT_EQ(codewordPattern(2, 0), 0x1ABE0u);   // 2 1 1 1 1 1 5 5
    EXPECT_EQ(codewordPattern(3, 0), 0x1D5C0u);
    for (const int bad : {-1, 929, 999})
        try {
            codewordPattern(0, bad);
            ADD_FAILURE() << bad;
        } catch (const E2DBarcodeError& e) {
            EXPECT_STREQ(e.what(), "Invalid Codeword");
        }
}

// Every table entry is a symbol character of its cluster: 17 modules, four bars
// and four spaces of 1..6 modules from a bar to a space, cluster number
// (b1 - b2 + b3 - b4 + 9) mod 9, no pattern twice.
TEST(Pdf417Layout, PatternTablesHoldSymbolCharactersOfTheirClusters) {
    const int clusters[] = {0, 3, 6};
    for (int t = 0; t < 3; ++t) {
        std::set<std::uint32_t> seen;
        for (int value = 0; value < kCodewordValues; ++value) {
            const std::uint32_t mask = kCodewordPatterns[t][value];
            ASSERT_EQ(mask >> 17, 0u) << value;
            std::vector<int> widths;
            int run = 1;
            for (int b = 15; b >= 0; --b) {
                if ((mask >> b & 1) == (mask >> (b + 1) & 1)) {
                    ++run;
                } else {
                    widths.push_back(run);
                    run = 1;
                }
            }
            widths.push_back(run);
            ASSERT_EQ(widths.size(), 8u) << t << " " << value;
            EXPECT_EQ(mask >> 16 & 1, 1u);
            EXPECT_EQ(mask & 1, 0u);
            for (const int w : widths)
                EXPECT_TRUE(w >= 1 && w <= 6) << t << " " << value;
            EXPECT_EQ((widths[0] - widths[2] + widths[4] - widths[6] + 9) % 9, clusters[t]) << t << " " << value;
            seen.insert(mask);
        }
        EXPECT_EQ(seen.size(), 929u);
    }
}

TEST(Pdf417Layout, RowModules) {
    // The empty text, 2 x 5: start, left indicator 1, descriptor 2 and pad 900,
    // right indicator 1, stop in row 0.
    Pdf417Symbol symbol;
    symbol.GenerateSymbol();
    ModuleRow modules;
    symbol.RowModules(0, false, modules);
    ASSERT_EQ(modules.size(), 17 * 2 + 69);
    const auto bits = [&](int from, int count) {
        std::string s;
        for (int i = from; i < from + count; ++i)
            s += modules.bar(i) ? '1' : '0';
        return s;
    };
    EXPECT_EQ(bits(0, 17), "11111111010101000");
    const auto pattern = [](std::uint32_t mask) {
        std::string s;
        for (int b = 16; b >= 0; --b)
            s += (mask >> b & 1) ? '1' : '0';
        return s;
    };
    EXPECT_EQ(bits(17, 17), pattern(kCodewordPatterns[0][1]));
    EXPECT_EQ(bits(34, 17), pattern(kCodewordPatterns[0][2]));
    EXPECT_EQ(bits(51, 17), pattern(kCodewordPatterns[0][900]));
    EXPECT_EQ(bits(68, 17), pattern(kCodewordPatterns[0][1]));
    EXPECT_EQ(bits(85, 18), "111111101000101001");
    // Row 1 is cluster 3 with left indicator 7; a truncated row ends in one bar.
    symbol.RowModules(1, true, modules);
    ASSERT_EQ(modules.size(), 17 * 2 + 35);
    EXPECT_EQ(bits(17, 17), pattern(kCodewordPatterns[1][7]));
    EXPECT_EQ(bits(68, 1), "1");
}

} // namespace
} // namespace mirel::pdf417
