#include "pdf417/ReedSolomon.h"

#include <array>
#include <cassert>
#include <cstddef>
#include <vector>

namespace mirel::pdf417 {

namespace {

constexpr std::uint32_t kPrime = kGaloisPrime;

// Per level: the generator coefficients as the polynomial has them, and the two
// arrays the division loop reads, in register order (highest register first):
// the negated coefficient and its 16-bit reciprocal for Shoup's multiplication.
struct GeneratorPolynomial {
    std::vector<std::uint16_t> coefficients;   // a_0 .. a_(k-1)
    std::vector<std::uint16_t> factor;         // (929 - a_(k-1-i)) mod 929
    std::vector<std::uint16_t> reciprocal;     // floor(factor * 65536 / 929)
};

std::array<GeneratorPolynomial, kMaxEccLevel + 1> makeGenerators() {
    std::array<GeneratorPolynomial, kMaxEccLevel + 1> generators;
    for (int level = 0; level <= kMaxEccLevel; ++level) {
        const int k = eccCodewordCount(level);
        // Multiply out (x - 3)(x - 3^2)...(x - 3^k); poly[j] is the coefficient of x^j.
        std::vector<std::uint32_t> poly(static_cast<std::size_t>(k) + 1, 0);
        poly[0] = 1;
        std::uint32_t root = 1;
        for (int i = 1; i <= k; ++i) {
            root = root * 3 % kPrime;
            for (int j = i; j >= 1; --j)
                poly[j] = (poly[j - 1] + kPrime - root * poly[j] % kPrime) % kPrime;
            poly[0] = (kPrime - root * poly[0] % kPrime) % kPrime;
        }
        GeneratorPolynomial& g = generators[level];
        g.coefficients.assign(poly.begin(), poly.end() - 1);
        for (int i = 0; i < k; ++i) {
            const std::uint32_t negated = (kPrime - poly[k - 1 - i]) % kPrime;
            g.factor.push_back(static_cast<std::uint16_t>(negated));
            g.reciprocal.push_back(static_cast<std::uint16_t>((negated << 16) / kPrime));
        }
    }
    return generators;
}

const std::array<GeneratorPolynomial, kMaxEccLevel + 1>& generators() {
    static const auto tables = makeGenerators();
    return tables;
}

// The division of the codeword polynomial by g(x) as a shift register. reg[i]
// holds register e_(K-1-i); reg[K] stays 0 and feeds the lowest register. With K
// known at compile time the inner loop has no branches and a fixed trip count, so
// the compiler runs it in 16-bit vector lanes: t * factor mod 929 is taken with
// Shoup's method (a high multiply by the precomputed reciprocal gives the quotient
// or one less, so the remainder lies in 0..1857) and one conditional subtraction,
// then the shifted register is added with another.
template <int K>
void divide(std::span<const std::uint16_t> data, const GeneratorPolynomial& g, std::span<std::uint16_t> out) {
    const std::uint16_t* const factor = g.factor.data();
    const std::uint16_t* const reciprocal = g.reciprocal.data();
    std::array<std::uint16_t, K + 1> reg{};
    for (const std::uint16_t d : data) {
        const auto t = static_cast<std::uint16_t>((std::uint32_t{d} + reg[0]) % kPrime);
        for (int i = 0; i < K; ++i) {
            const auto q = static_cast<std::uint16_t>((std::uint32_t{t} * reciprocal[i]) >> 16);
            auto p = static_cast<std::uint16_t>(t * factor[i] - q * kPrime);
            p = static_cast<std::uint16_t>(p - (p >= kPrime ? kPrime : 0));
            const auto x = static_cast<std::uint16_t>(p + reg[i + 1]);
            reg[i] = static_cast<std::uint16_t>(x - (x >= kPrime ? kPrime : 0));
        }
    }
    for (int i = 0; i < K; ++i)
        out[i] = static_cast<std::uint16_t>((kPrime - reg[i]) % kPrime);
}

} // namespace

std::span<const std::uint16_t> generatorCoefficients(int level) {
    assert(level >= 0 && level <= kMaxEccLevel);
    return generators()[level].coefficients;
}

void computeErrorCorrection(std::span<const std::uint16_t> data, int level, std::span<std::uint16_t> out) {
    assert(level >= 0 && level <= kMaxEccLevel);
    assert(out.size() >= static_cast<std::size_t>(eccCodewordCount(level)));
    const GeneratorPolynomial& g = generators()[level];
    switch (level) {
    case 0: divide<2>(data, g, out); break;
    case 1: divide<4>(data, g, out); break;
    case 2: divide<8>(data, g, out); break;
    case 3: divide<16>(data, g, out); break;
    case 4: divide<32>(data, g, out); break;
    case 5: divide<64>(data, g, out); break;
    case 6: divide<128>(data, g, out); break;
    case 7: divide<256>(data, g, out); break;
    default: divide<512>(data, g, out); break;
    }
}

} // namespace mirel::pdf417
