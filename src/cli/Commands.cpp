#include "cli/Command.h"

#include <array>

namespace mirel::cli {

int runEncipher(const QStringList& args);

namespace {

constexpr std::array kCommands = {
    Command{"encipher", "Enciphers a seed into anti-counterfeit codes", runEncipher},
};

} // namespace

std::span<const Command> commands() { return kCommands; }

} // namespace mirel::cli
