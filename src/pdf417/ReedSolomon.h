#pragma once
// Reed–Solomon error correction of PDF417 over GF(929): the generator polynomials
// g(x) = (x - 3)(x - 3^2)...(x - 3^k) for k = 2^(level + 1), level 0..8, computed
// once from that definition, and the error-correction codewords of a sequence.

#include <cstdint>
#include <span>

namespace mirel::pdf417 {

inline constexpr int kGaloisPrime = 929;
inline constexpr int kMaxEccLevel = 8;

// Number of error-correction codewords at a level: 2 at level 0 ... 512 at level 8.
constexpr int eccCodewordCount(int level) { return 2 << level; }

// The coefficients a_0 .. a_(k-1) of the generator polynomial of a level (the
// leading coefficient a_k = 1 is left out). Level 0: 27, 917.
std::span<const std::uint16_t> generatorCoefficients(int level);

// Computes the k error-correction codewords of `data` (the symbol length
// descriptor, the data and the padding) and writes them to `out`, highest order
// first, as they follow the data in the symbol. Data values above 928 (literal
// codewords an operator typed) are reduced modulo 929 like any other.
void computeErrorCorrection(std::span<const std::uint16_t> data, int level, std::span<std::uint16_t> out);

} // namespace mirel::pdf417
