#pragma once
// Helpers of the PDF417 tests: a real reader (zxing-cpp), images that hold a whole
// symbol, and the algebraic check of a complete codeword sequence.

#include "pdf417/TStPDF417Barcode.h"

#include <QImage>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace mirel::pdf417::test {

// Decodes a PDF417 symbol in the image with zxing-cpp and returns its bytes, or
// nothing when the reader finds no valid symbol.
std::optional<std::string> readPdf417(const QImage& image);

// Sizes the generator's image to the whole symbol with its quiet zone, renders
// and returns it.
QImage renderWhole(TStPDF417Barcode& generator);

// The C x R codewords of the matrix, row by row, as painting uses them.
std::vector<int> matrixCodewords(const Pdf417Symbol& symbol);

// True when the codewords, read as a polynomial with the first codeword as the
// highest coefficient, vanish at 3, 3^2, ..., 3^k modulo 929: the defining
// property of a Reed–Solomon code word with k correction codewords.
bool vanishesAtGeneratorRoots(std::span<const int> codewords, int k);

// Whether the image pixel is a bar (dark).
bool isDark(const QImage& image, int x, int y);

} // namespace mirel::pdf417::test
