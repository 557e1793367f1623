#include "cli/Command.h"

#include <array>

namespace mirel::cli {

int runEncipher(const QStringList& args);
int runBarcode(const QStringList& args);

namespace {

constexpr std::array kCommands = {
    Command{"encipher", "Enciphers a seed into anti-counterfeit codes", runEncipher},
    Command{"barcode", "Builds the pattern of a linear barcode or draws it (pattern, render)", runBarcode},
};

} // namespace

std::span<const Command> commands() { return kCommands; }

} // namespace mirel::cli
