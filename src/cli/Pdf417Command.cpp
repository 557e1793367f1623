// mirel-cli pdf417: encodes a text as a PDF417 symbol, prints its codewords and
// writes its image.

#include "cli/Cli.h"
#include "cli/Command.h"
#include "core/Encoding.h"
#include "pdf417/TStPDF417Barcode.h"

#include <QByteArray>

#include <algorithm>

namespace mirel::cli {

namespace {

// Hexadecimal bytes, blanks allowed between them.
bool parseHexBytes(const QString& text, std::string& bytes) {
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    if (digits.size() % 2 != 0)
        return false;
    for (const QChar c : digits)
        if (!(c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))))
            return false;
    const QByteArray raw = QByteArray::fromHex(digits.toLatin1());
    bytes.assign(raw.constData(), static_cast<std::size_t>(raw.size()));
    return true;
}

QString codewordsJson(const pdf417::TStPDF417Barcode& generator) {
    const pdf417::Pdf417Symbol& symbol = generator.Symbol();
    const pdf417::SymbolLayout layout = symbol.Layout();
    QString json = QStringLiteral("{\"level\":%1,\"columns\":%2,\"rows\":%3,\"length\":%4,\"codewords\":[")
                       .arg(layout.level).arg(layout.columns).arg(layout.rows).arg(layout.length);
    for (int row = 0; row < layout.rows; ++row)
        for (int column = 0; column < layout.columns; ++column) {
            if (row > 0 || column > 0)
                json += QLatin1Char(',');
            json += QString::number(symbol.MatrixCodeword(row, column));
        }
    json += QStringLiteral("]}");
    return json;
}

} // namespace

int runPdf417(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Encodes a text as a PDF417 symbol."));
    const QCommandLineOption text(QStringLiteral("text"), QStringLiteral("Text to encode (converted to the code page)."), QStringLiteral("TEXT"));
    const QCommandLineOption hex(QStringLiteral("hex"), QStringLiteral("TEXT is hexadecimal bytes."));
    const QCommandLineOption ecc(QStringLiteral("ecc"), QStringLiteral("Error-correction level: auto (default) or 0..8."), QStringLiteral("auto|0..8"));
    const QCommandLineOption columns(QStringLiteral("columns"), QStringLiteral("Data columns 1..30 (default: automatic)."), QStringLiteral("N"));
    const QCommandLineOption rows(QStringLiteral("rows"), QStringLiteral("Rows 1..90 (default: automatic)."), QStringLiteral("N"));
    const QCommandLineOption truncated(QStringLiteral("truncated"), QStringLiteral("Truncated symbol: no right row indicator, one-module stop."));
    const QCommandLineOption codewords(QStringLiteral("codewords"), QStringLiteral("Prints level, size, length and the codewords of the matrix as JSON."));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Writes the symbol with its quiet zone as a PNG image."), QStringLiteral("FILE.png"));
    const QCommandLineOption barWidth(QStringLiteral("bar-width"), QStringLiteral("Module width in pixels (default 2)."), QStringLiteral("PX"));
    const QCommandLineOption rowHeight(QStringLiteral("row-height"), QStringLiteral("Row height in pixels (default 4 modules)."), QStringLiteral("PX"));
    parser.addOptions({text, hex, ecc, columns, rows, truncated, codewords, output, barWidth, rowHeight});
    if (const int rc = parseArguments(parser, QStringLiteral("pdf417"), args); rc >= 0)
        return rc;
    if (!parser.isSet(text)) {
        printError(QStringLiteral("pdf417: --text is required"));
        return kExitUsage;
    }
    std::string code;
    if (parser.isSet(hex)) {
        if (!parseHexBytes(parser.value(text), code)) {
            printError(QStringLiteral("--text: '%1' is not hexadecimal bytes").arg(parser.value(text)));
            return kExitUsage;
        }
    } else {
        code = core::fromUnicode(parser.value(text));
    }
    auto level = pdf417::ecAuto;
    if (parser.isSet(ecc) && parser.value(ecc) != QLatin1String("auto")) {
        long long n = -1;
        if (!optionInteger(parser, QStringLiteral("ecc"), n))
            return kExitUsage;
        if (n < 0 || n > 8) {
            printError(QStringLiteral("--ecc: %1 is not auto or 0..8").arg(n));
            return kExitUsage;
        }
        level = static_cast<pdf417::TStPDF417ECCLevels>(pdf417::ecLevel0 + n);
    }
    long long columnCount = 0;
    long long rowCount = 0;
    long long module = 0;
    long long rowPixels = 0;
    if ((parser.isSet(columns) && !optionInteger(parser, QStringLiteral("columns"), columnCount))
        || (parser.isSet(rows) && !optionInteger(parser, QStringLiteral("rows"), rowCount))
        || (parser.isSet(barWidth) && !optionInteger(parser, QStringLiteral("bar-width"), module))
        || (parser.isSet(rowHeight) && !optionInteger(parser, QStringLiteral("row-height"), rowPixels)))
        return kExitUsage;
    // Pixel sizes beyond a few hundred make images no printer needs.
    constexpr long long kMaxPixels = 1000;
    if (module > kMaxPixels || rowPixels > kMaxPixels) {
        printError(QStringLiteral("--bar-width and --row-height take at most %1 pixels").arg(kMaxPixels));
        return kExitUsage;
    }

    // The level first and the text last: every setting regenerates the symbol,
    // and a fixed size may only fit at the level asked for.
    pdf417::TStPDF417Barcode generator;
    try {
        generator.SetECCLevel(level);
        generator.SetNumColumns(static_cast<int>(std::clamp(columnCount, -1LL, 1000LL)));
        generator.SetNumRows(static_cast<int>(std::clamp(rowCount, -1LL, 1000LL)));
        generator.SetTruncated(parser.isSet(truncated));
        if (parser.isSet(barWidth))
            generator.SetBarWidth(static_cast<int>(module));
        if (parser.isSet(rowHeight)) {
            generator.SetBarHeight(static_cast<int>(rowPixels));
            generator.SetBarHeightToWidth(0);
        }
        generator.SetCode(code);
    } catch (const pdf417::E2DBarcodeError& e) {
        printError(QString::fromStdString(e.what()));
        return kExitFailure;
    }

    if (parser.isSet(codewords))
        printLine(codewordsJson(generator));
    if (parser.isSet(output)) {
        // The image holds the whole symbol and its quiet zone on every side.
        const int quiet = generator.QuietZone();
        generator.SetWidth(generator.SymbolPixelWidth() + 2 * quiet);
        generator.SetHeight(generator.SymbolPixelHeight(0) + 2 * quiet);
        generator.RenderImage(generator.Width(), generator.Height());
        const QString path = parser.value(output);
        if (generator.Bitmap().isNull() || !generator.Bitmap().save(path, "PNG")) {
            printError(QStringLiteral("cannot write %1").arg(path));
            return kExitFailure;
        }
    }
    return kExitOk;
}

} // namespace mirel::cli
