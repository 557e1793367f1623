#include "pdf417/ReedSolomon.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mirel::pdf417 {

namespace {

constexpr std::uint32_t kPrime = kGaloisPrime;

// Coefficients in front of and behind the k factors of the division window are
// zero, so that every step updates whole aligned blocks of 8 registers.
constexpr int kPad = 8;

// Per level: the generator coefficients as the polynomial has them, and the two
// arrays the division reads, highest register first and padded with zeros: the
// negated coefficient and its 16-bit reciprocal for Shoup's multiplication.
struct GeneratorPolynomial {
    std::vector<std::uint16_t> coefficients;   // a_0 .. a_(k-1)
    std::vector<std::uint16_t> factor;         // kPad zeros, (929 - a_(k-1-i)) mod 929, zeros
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
        g.factor.assign(static_cast<std::size_t>(k + 3 * kPad), 0);
        g.reciprocal.assign(g.factor.size(), 0);
        for (int i = 0; i < k; ++i) {
            const std::uint32_t negated = (kPrime - poly[k - 1 - i]) % kPrime;
            g.factor[kPad + i] = static_cast<std::uint16_t>(negated);
            g.reciprocal[kPad + i] = static_cast<std::uint16_t>((negated << 16) / kPrime);
        }
    }
    return generators;
}

const std::array<GeneratorPolynomial, kMaxEccLevel + 1>& generators() {
    static const auto tables = makeGenerators();
    return tables;
}

// block[i] += t * factor[i] mod 929 for a block of registers. t * factor is
// reduced with Shoup's method: a high multiply by the reciprocal gives the
// quotient or one less, so the remainder lies in 0..1857 and one conditional
// subtraction ends it; the sum with the register takes another. The registers
// and the coefficient tables never overlap.
template <int N>
inline void addMultiple(std::uint16_t t, const std::uint16_t* __restrict factor,
                        const std::uint16_t* __restrict reciprocal, std::uint16_t* __restrict block) {
    for (int i = 0; i < N; ++i) {
        const auto q = static_cast<std::uint16_t>((std::uint32_t{t} * reciprocal[i]) >> 16);
        auto p = static_cast<std::uint16_t>(t * factor[i] - q * kPrime);
        p = static_cast<std::uint16_t>(p - (p >= kPrime ? kPrime : 0));
        const auto x = static_cast<std::uint16_t>(p + block[i]);
        block[i] = static_cast<std::uint16_t>(x - (x >= kPrime ? kPrime : 0));
    }
}

// The division of the codeword polynomial by g(x). The work array holds the data
// reduced modulo 929 followed by K zeros; step s takes t = w[s] and adds t times
// the negated coefficients to w[s+1 .. s+K], so that at the end w[n .. n+K-1]
// hold the registers of the shift-register form, highest first. Each step updates
// the aligned blocks of 8 that cover its window (the padding coefficients add
// zero), which keeps the inner loop free of branches, with a trip count known at
// compile time and the same aligned addresses from step to step; the compiler
// runs it in 16-bit vector lanes (8 registers to an SSE2 instruction). Keeping
// the registers reduced makes t a plain load: no division in the chain from one
// step to the next.
template <int K>
void divide(std::span<const std::uint16_t> data, const GeneratorPolynomial& g, std::span<std::uint16_t> out) {
    constexpr int kSpan = (K + 2 * kPad - 2) / kPad * kPad;   // blocks covering any K-window
    const auto n = static_cast<int>(data.size());
    const std::size_t needed = data.size() + K + 2 * kPad;
    alignas(16) std::array<std::uint16_t, 2700 + 4 * kPad> local;
    std::vector<std::uint16_t> large;
    std::uint16_t* w = local.data();
    if (needed > local.size()) {
        large.resize(needed + kPad);
        const auto misalignment = reinterpret_cast<std::uintptr_t>(large.data()) % 16;
        w = large.data() + (misalignment == 0 ? 0 : (16 - misalignment) / 2);
    }
    for (int j = 0; j < n; ++j)
        w[j] = static_cast<std::uint16_t>(data[static_cast<std::size_t>(j)] % kPrime);
    std::fill(w + n, w + needed, std::uint16_t{0});

    for (int s = 0; s < n; ++s) {
        const std::uint16_t t = w[s];
        const int first = (s + 1) & ~(kPad - 1);
        const int offset = first - (s + 1) + kPad;
        addMultiple<kSpan>(t, g.factor.data() + offset, g.reciprocal.data() + offset,
                           std::assume_aligned<16>(w + first));
    }
    for (int i = 0; i < K; ++i)
        out[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>((kPrime - w[n + i]) % kPrime);
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
