#include "cli/Command.h"

#include <array>

namespace mirel::cli {

int runEncipher(const QStringList& args);
int runCodes(const QStringList& args);
int runSplit(const QStringList& args);
int runArrange(const QStringList& args);
int runBarcode(const QStringList& args);
int runPdf417(const QStringList& args);
int runTemplate(const QStringList& args);
int runPrint(const QStringList& args);
int runRender(const QStringList& args);

namespace {

constexpr std::array kCommands = {
    Command{"encipher", "Enciphers a seed into anti-counterfeit codes", runEncipher},
    Command{"codes", "The code store: generate, delete, count, list, import, export, backup", runCodes},
    Command{"split", "Cuts a text file of serials into pieces of N lines", runSplit},
    Command{"arrange", "Arranges serials in print order for pages of several labels", runArrange},
    Command{"barcode", "Builds the pattern of a linear barcode or draws it (pattern, render)", runBarcode},
    Command{"pdf417", "Encodes a text as a PDF417 symbol: codewords and image", runPdf417},
    Command{"template", "Dumps label templates as JSON and converts them to current .frf files", runTemplate},
    Command{"print", "Runs a print job: a template's labels to PDF, PNG pages, a printer or a prepared report", runPrint},
    Command{"render", "Paints a prepared report file (.frp) into a PDF file or PNG pages", runRender},
};

} // namespace

std::span<const Command> commands() { return kCommands; }

} // namespace mirel::cli
