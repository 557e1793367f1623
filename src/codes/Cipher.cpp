#include "codes/Cipher.h"

#include <array>
#include <mutex>
#include <random>
#include <stdexcept>

namespace mirel::codes {
namespace {

// The 36-character alphabet: digits 0-9 for 0..9, capital letters A-Z for 10..35
// (character code = index + 55). Built once, before any code is produced.
constexpr std::array<char, 36> makeAlphabet() {
    std::array<char, 36> a{};
    for (int i = 0; i < 10; ++i)
        a[static_cast<size_t>(i)] = static_cast<char>('0' + i);
    for (int i = 10; i < 36; ++i)
        a[static_cast<size_t>(i)] = static_cast<char>(i + 55);
    return a;
}
constexpr std::array<char, 36> kAlphabet = makeAlphabet();
static_assert(kAlphabet[35] == 'Z' && kAlphabet[28] == 'S');

} // namespace

void appendPair(std::string& out, unsigned v) {
    out += kAlphabet[(v / 36) % 36];
    out += kAlphabet[v % 36];
}

int randomStart() {
    // Seeded once from std::random_device (the kernel's entropy pool). Reseeding
    // from a clock at every call would give equal starts to codes made within
    // one clock tick.
    static std::mutex mutex;
    static std::mt19937 generator = [] {
        std::random_device device;
        std::seed_seq seq{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937(seq);
    }();
    static std::uniform_int_distribution<int> distribution(0, 1023);
    const std::lock_guard lock(mutex);
    return distribution(generator);
}

std::string Encipher(std::string_view seed, std::string_view key, int start) {
    if (key.empty())
        throw std::invalid_argument("Encipher: the key must hold at least one byte");
    if (start != -1 && (start < 0 || start > 1023))
        throw std::invalid_argument("Encipher: the start value must lie in 0..1023");
    unsigned v = static_cast<unsigned>(start == -1 ? randomStart() : start);
    std::string code;
    code.reserve(2 + 2 * seed.size());
    appendPair(code, v);
    const size_t m = key.size();
    size_t j = 0;   // 1-based key position of the last byte used
    for (unsigned char c : seed) {
        const unsigned t = (v + c) % 1024;
        j = j < m ? j + 1 : 1;
        v = (t ^ static_cast<unsigned char>(key[j - 1])) % 1024;
        appendPair(code, v);
    }
    return code;
}

} // namespace mirel::codes
