// PostNet: full and short bars of one width, a digit in five bars.

#include "barcode/Encoders.h"

#include <array>
#include <string>

namespace mirel::barcode {
namespace {

// Five bars per digit, two of them full ('5') and three short ('A'), each followed
// by a W1 space. The PostNet standard digits. Example: 1 = "A1A1A15151".
constexpr std::array<std::string_view, 10> kPostNetTable = {
    "5151A1A1A1", "A1A1A15151", "A1A151A151", "A1A15151A1", "A151A1A151",
    "A151A151A1", "A15151A1A1", "51A1A1A151", "51A1A151A1", "51A151A1A1"};

} // namespace

std::string encodePostNet(std::string_view text) {
    std::string p;
    p.reserve(10 * text.size() + 3);
    p += "51";   // frame bar
    for (char c : text)
        p += kPostNetTable[static_cast<std::size_t>(c - '0')];
    p += '5';    // closing frame bar
    return p;
}

} // namespace mirel::barcode
