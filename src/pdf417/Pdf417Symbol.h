#pragma once
// The codewords and bar patterns of one PDF417 symbol, with no drawing: the
// high-level encoding of the label text into data codewords (text, byte and
// numeric compaction with the generator's greedy mode choice and its backslash
// escapes), the error-correction level and symbol size, the completion with the
// symbol length descriptor, padding and Reed–Solomon codewords, and the modules of
// every row. TStPDF417Barcode holds one, checks its properties and renders it.
//
// Text is a byte string in the system code page; positions are 0-based indices.

#include <array>
#include <cassert>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace mirel::pdf417 {

inline constexpr int kCodewordBufferSize = 2701;   // index 0 is the length descriptor
inline constexpr int kMaxColumns = 30;
inline constexpr int kMaxRows = 90;
inline constexpr int kMaxCodeword = 928;
inline constexpr int kMaxRowModules = 17 * kMaxColumns + 69;

// Codewords with a meaning of their own in the data.
inline constexpr int kTextLatch = 900;
inline constexpr int kByteLatch = 901;
inline constexpr int kNumericLatch = 902;
inline constexpr int kByteShift = 913;
inline constexpr int kByteLatchSix = 924;   // byte compaction of a multiple of 6 bytes
inline constexpr int kPadCodeword = 900;

// The modules of one row of a symbol, leftmost first, packed 64 to a word (the
// leftmost module in the highest bit); a set bit is a bar.
class ModuleRow {
public:
    int size() const { return m_size; }
    bool bar(int module) const { return (m_words[static_cast<std::size_t>(module >> 6)] >> (63 - (module & 63))) & 1; }
    void clear() {
        m_words.fill(0);
        m_size = 0;
    }
    // Appends the low `count` bits of `pattern` (at most 32), the highest first.
    void append(std::uint32_t pattern, int count) {
        const auto word = static_cast<std::size_t>(m_size >> 6);
        const int used = m_size & 63;
        const std::uint64_t aligned = static_cast<std::uint64_t>(pattern) << (64 - count);
        m_words[word] |= aligned >> used;
        if (used + count > 64)
            m_words[word + 1] |= aligned << (64 - used);
        m_size += count;
    }

private:
    std::array<std::uint64_t, (kMaxRowModules + 63) / 64> m_words{};
    int m_size = 0;
};

struct SymbolDimensions {
    int columns = 0;   // data columns
    int rows = 0;
    bool operator==(const SymbolDimensions&) const = default;
};

// What painting needs to know of a symbol, derived from the settings and the
// codeword count each time it is asked for.
struct SymbolLayout {
    int level = 0;      // effective error-correction level 0..8
    int eccCount = 0;   // k = 2^(level + 1)
    int columns = 0;
    int rows = 0;
    int length = 0;     // n = columns * rows - k, the symbol length descriptor
};

// The level an ECC setting (-1 automatic, else 0..8) gives for a codeword count
// (data codewords plus the descriptor): automatic is 2 below 41, 3 below 161,
// 4 below 321, else 5.
int effectiveEccLevel(int eccLevel, int codewordCount);

// Data columns and rows for the column and row settings (0 = automatic), k error
// correction codewords and the codeword count m. A fixed dimension searches the
// other for the first size with more than m codewords before the correction; with
// neither fixed, rows and columns grow together from 1 x 3 until at least m fit.
// None of the rules keeps the descriptor within 928.
SymbolDimensions symbolSize(int numColumns, int numRows, int eccCount, int codewordCount);

// Row indicator codewords of a 0-based row.
int leftRowIndicator(int row, int columns, int rows, int level);
int rightRowIndicator(int row, int columns, int rows, int level);

// The 17-module mask of a codeword in the cluster of a row (bit 16 the leftmost
// module, 1 a bar). Throws E2DBarcodeError "Invalid Codeword" outside 0..928.
std::uint32_t codewordPattern(int row, int codeword);

// Converts 1 to 45 decimal digits into base-900 digits, most significant first,
// by long division of the digit string (no big-number arithmetic). A value of
// zero gives no digits. Returns the number of digits written: at most 15 for a
// numeric group (a 1 and up to 44 digits), 16 for the largest 45-digit numbers.
inline constexpr int kMaxBase900Digits = 16;
int convertToBase900(std::string_view digits, std::span<std::uint16_t, kMaxBase900Digits> out);

class Pdf417Symbol {
public:
    Pdf417Symbol();

    // Settings. Stored as given; generation reads them (TStPDF417Barcode checks
    // them and regenerates after every change).
    const std::string& Code() const { return m_code; }
    void SetCode(std::string code) { m_code = std::move(code); }
    int ECCLevel() const { return m_eccLevel; }             // -1 automatic, 0..8
    void SetECCLevel(int level) {
        assert(level >= -1 && level <= 8);
        m_eccLevel = level;
    }
    int NumColumns() const { return m_numColumns; }         // 0 automatic, 1..30
    void SetNumColumns(int columns) {
        assert(columns >= 0 && columns <= kMaxColumns);
        m_numColumns = columns;
    }
    int NumRows() const { return m_numRows; }               // 0 automatic, 1..90
    void SetNumRows(int rows) {
        assert(rows >= 0 && rows <= kMaxRows);
        m_numRows = rows;
    }

    // Encodes Code and completes the codeword sequence: descriptor at index 0,
    // padding, error correction. Throws E2DBarcodeError "Code too large for
    // barcode" when the symbol cannot hold the data (or the data would need more
    // than 2700 codewords), "GLI value out of range", and core::ConversionError
    // for a GLI escape whose six characters are not a number.
    void GenerateSymbol();

    // High-level encoding alone: resets the buffer and encodes Code from index 1.
    void EncodeCode();

    std::span<const std::uint16_t> CodewordBuffer() const { return m_buffer; }
    int CodewordCount() const { return m_count; }   // 1 + data codewords

    int EffectiveECCLevel() const { return effectiveEccLevel(m_eccLevel, m_count); }
    SymbolDimensions SymbolSize() const;
    SymbolLayout Layout() const;

    // Painting's first step: recomputes the layout, repeats the size checks of
    // generation and stores the descriptor. The matrix and the row modules below
    // are read after it.
    SymbolLayout PrepareMatrix();

    // The codeword at a data column of a row, as painting uses it.
    int MatrixCodeword(int row, int column) const { return m_buffer[row * m_layout.columns + column]; }
    int LeftRowIndicator(int row) const;
    int RightRowIndicator(int row) const;
    std::uint32_t CodewordPattern(int row, int codeword) const { return codewordPattern(row, codeword); }

    // The modules of a row from the start pattern to the stop pattern, or to the
    // one-module stop bar of a truncated symbol: 17 * columns + 69 of them, or
    // + 35 truncated. Throws "Invalid Codeword" for a codeword above 928.
    void RowModules(int row, bool truncated, ModuleRow& modules) const;

    // Encoding steps, public for tests. The run tests never look at the last
    // character of Code.
    bool NumericRunAt(int pos) const;
    bool TextRunAt(int pos) const;
    int ByteRunLength(int pos) const;
    void AddCodeword(int value);
    void AddTextValue(int value);

private:
    enum SubMode : std::uint8_t { kAlpha = 1, kLower = 2, kMixed = 4, kPunctuation = 8 };
    struct TextRead;

    int encodeNumericSegment(int pos);
    int encodeByteSegment(int pos);
    int encodeTextSegment(int pos, bool first);
    TextRead readTextCharacter(int pos) const;
    SubMode switchSubMode(SubMode current, SubMode target, bool shiftWanted);
    void addGli(long long value);

    std::string m_code;
    int m_eccLevel = -1;
    int m_numColumns = 0;
    int m_numRows = 0;

    std::array<std::uint16_t, kCodewordBufferSize> m_buffer;
    int m_count = 1;
    bool m_pairOpen = false;   // a text value waits for its partner in m_buffer[m_count]
    SymbolLayout m_layout;
};

} // namespace mirel::pdf417
