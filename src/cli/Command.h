#pragma once
// The subcommand table and the small helpers every subcommand uses.

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <span>
#include <string_view>

namespace mirel::cli {

struct Command {
    const char* name;
    const char* summary;   // one line for `mirel-cli --help`
    int (*run)(const QStringList& args);   // args after the subcommand name
};

// Every subcommand, in the order `--help` lists them.
std::span<const Command> commands();

// Output: UTF-8 on stdout; messages on stderr, one line each.
void printLine(const QString& line);
void printRaw(std::string_view bytes);
void printError(const QString& message);

// Parses `args` for subcommand `name` with `parser` (options already added).
// Handles --help. Returns -1 to go on, else the exit code to return at once.
int parseArguments(QCommandLineParser& parser, const QString& name, const QStringList& args);

// Reads a whole number option; on failure prints "<option>: ..." and returns false.
bool optionInteger(const QCommandLineParser& parser, const QString& option, long long& value);

} // namespace mirel::cli
