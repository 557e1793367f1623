#include "cli/Command.h"

#include <array>

namespace mirel::cli {

int runEncipher(const QStringList& args);
int runTemplate(const QStringList& args);

namespace {

constexpr std::array kCommands = {
    Command{"encipher", "Enciphers a seed into anti-counterfeit codes", runEncipher},
    Command{"template", "Dumps label templates as JSON and converts them to current .frf files", runTemplate},
};

} // namespace

std::span<const Command> commands() { return kCommands; }

} // namespace mirel::cli
