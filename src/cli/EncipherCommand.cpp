// mirel-cli encipher: one anti-counterfeit code from a seed.

#include "cli/Cli.h"
#include "cli/Command.h"
#include "codes/Cipher.h"
#include "core/Encoding.h"

namespace mirel::cli {

int runEncipher(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Enciphers a seed text into an anti-counterfeit code."));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed text (converted to the code page)."), QStringLiteral("TEXT"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("Key text (default: the code generation key)."), QStringLiteral("TEXT"));
    const QCommandLineOption start(QStringLiteral("start"), QStringLiteral("Start value 0..1023 (default: random)."), QStringLiteral("N"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Number of codes to print (default 1)."), QStringLiteral("N"));
    parser.addOptions({seed, key, start, count});
    if (const int rc = parseArguments(parser, QStringLiteral("encipher"), args); rc >= 0)
        return rc;
    if (!parser.isSet(seed)) {
        printError(QStringLiteral("encipher: --seed is required"));
        return kExitUsage;
    }
    long long startValue = -1;
    if (parser.isSet(start)) {
        if (!optionInteger(parser, QStringLiteral("start"), startValue))
            return kExitUsage;
        if (startValue < 0 || startValue > 1023) {
            printError(QStringLiteral("--start: %1 is not in 0..1023").arg(startValue));
            return kExitUsage;
        }
    }
    long long n = 1;
    if (parser.isSet(count) && (!optionInteger(parser, QStringLiteral("count"), n) || n < 0)) {
        if (n < 0)
            printError(QStringLiteral("--count: must be 0 or more"));
        return kExitUsage;
    }
    const std::string keyBytes = parser.isSet(key) ? core::fromUnicode(parser.value(key)) : std::string(codes::kCodeKey);
    if (keyBytes.empty()) {
        printError(QStringLiteral("--key: the key must not be empty"));
        return kExitUsage;
    }
    const std::string seedBytes = core::fromUnicode(parser.value(seed));
    for (long long i = 0; i < n; ++i)
        printLine(QString::fromStdString(codes::Encipher(seedBytes, keyBytes, static_cast<int>(startValue))));
    return kExitOk;
}

} // namespace mirel::cli
