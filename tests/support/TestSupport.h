#pragma once
// Helpers shared by the test binaries.

#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

namespace mirel::test {

// Bytes from a string of hex digits ("D6D0" -> "\xD6\xD0"); blanks are ignored.
std::string hexBytes(std::string_view hex);

// Code page bytes for UTF-8 text written in the test source.
std::string ansi(std::string_view utf8);

// Reads a whole file (empty when missing) and writes one.
std::string readFile(const QString& path);
void writeFile(const QString& path, std::string_view bytes);

// Runs a built executable (mirel-cli by default) with arguments and returns its
// exit code, stdout and stderr.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
ProcessResult runProgram(const QStringList& args, const QString& program = QStringLiteral("mirel-cli"),
                         const QString& workingDirectory = QString());

} // namespace mirel::test
