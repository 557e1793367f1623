#include "cli/Command.h"

#include <array>

namespace mirel::cli {

int runEncipher(const QStringList& args);
int runPdf417(const QStringList& args);

namespace {

constexpr std::array kCommands = {
    Command{"encipher", "Enciphers a seed into anti-counterfeit codes", runEncipher},
    Command{"pdf417", "Encodes a text as a PDF417 symbol: codewords and image", runPdf417},
};

} // namespace

std::span<const Command> commands() { return kCommands; }

} // namespace mirel::cli
