// mirel-cli barcode: the element pattern of a linear symbol, or the symbol drawn
// as a barcode template object paints it.

#include "barcode/BarcodePicture.h"
#include "barcode/TfrBarcode.h"
#include "cli/Cli.h"
#include "cli/Command.h"
#include "core/Encoding.h"
#include "core/Files.h"
#include "core/Numbers.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>
#include <exception>
#include <optional>

namespace mirel::cli {
namespace {

using barcode::TfrBarcode;
using barcode::TfrBarcodeType;

// Page units: 18 per 5 mm.
constexpr double kMillimetresPerUnit = 5.0 / 18.0;

std::optional<TfrBarcodeType> parseType(const QString& value) {
    if (const auto n = core::tryParseInteger(value.toStdString()); n && *n >= 0 && *n < barcode::kBarcodeTypeCount)
        return static_cast<TfrBarcodeType>(*n);
    return barcode::typeFromName(value.toStdString());
}

QString jsonString(const QString& s) {
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
    return out;
}

// The options both verbs share.
struct SymbolOptions {
    QCommandLineOption type{QStringLiteral("type"), QStringLiteral("Symbology: number 0-22 or its name (\"EAN13\", \"Code128B\", \"UPC Supp2\", \"Codebar\", ...)."), QStringLiteral("T")};
    QCommandLineOption text{QStringLiteral("text"), QStringLiteral("Text to encode (converted to the code page)."), QStringLiteral("TEXT")};
    QCommandLineOption checksum{QStringLiteral("checksum"), QStringLiteral("Add the check digit or character the symbology offers.")};

    void addTo(QCommandLineParser& parser) const { parser.addOptions({type, text, checksum}); }

    // Sets up the generator; false (with a message) on a wrong command line.
    bool apply(const QCommandLineParser& parser, const QString& verb, TfrBarcode& symbol) const {
        if (!parser.isSet(type) || !parser.isSet(text)) {
            printError(verb + QStringLiteral(": --type and --text are required"));
            return false;
        }
        const auto t = parseType(parser.value(type));
        if (!t) {
            printError(QStringLiteral("--type: '%1' is no barcode type (0-22 or a name such as EAN13)").arg(parser.value(type)));
            return false;
        }
        symbol.SetTyp(*t);
        symbol.SetText(core::fromUnicode(parser.value(text)));
        symbol.SetChecksum(parser.isSet(checksum));
        symbol.SetModul(1);
        symbol.SetRatio(2.0);
        return true;
    }
};

bool optionDecimal(const QCommandLineParser& parser, const QString& option, double& value) {
    const auto v = core::tryParseDecimal(parser.value(option).toStdString());
    if (!v || !std::isfinite(*v)) {
        printError(QStringLiteral("--%1: '%2' is not a number").arg(option, parser.value(option)));
        return false;
    }
    value = *v;
    return true;
}

// Encoder errors carry code page text (the Code 93 message quotes the text).
int encoderFailure(const std::exception& e) {
    printError(core::toUnicode(e.what()));
    return kExitFailure;
}

int runPattern(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Builds the element pattern of a linear symbol and prints it as one line of JSON:\n"
        "{\"type\":N,\"text\":\"shown text\",\"pattern\":\"element codes\",\"width\":W,\"modul\":M,\"ratio\":R}"));
    const SymbolOptions symbolOptions;
    symbolOptions.addTo(parser);
    const QCommandLineOption modul(QStringLiteral("modul"), QStringLiteral("Narrow module width 1-49 (default 1)."), QStringLiteral("M"));
    const QCommandLineOption ratio(QStringLiteral("ratio"), QStringLiteral("Wide-to-narrow ratio (default 2.0)."), QStringLiteral("R"));
    parser.addOptions({modul, ratio});
    if (const int rc = parseArguments(parser, QStringLiteral("barcode pattern"), args); rc >= 0)
        return rc;

    TfrBarcode symbol;
    if (!symbolOptions.apply(parser, QStringLiteral("barcode pattern"), symbol))
        return kExitUsage;
    if (parser.isSet(modul)) {
        long long m = 0;
        if (!optionInteger(parser, QStringLiteral("modul"), m))
            return kExitUsage;
        if (m < 1 || m > 49) {
            printError(QStringLiteral("--modul: %1 is not in 1..49").arg(m));
            return kExitUsage;
        }
        symbol.SetModul(static_cast<int>(m));
    }
    if (parser.isSet(ratio)) {
        double r = 0;
        if (!optionDecimal(parser, QStringLiteral("ratio"), r))
            return kExitUsage;
        symbol.SetRatio(r);
    }

    std::string pattern;
    int width = 0;
    try {
        pattern = symbol.MakePattern();
        width = symbol.PatternWidth(pattern);
    } catch (const std::exception& e) {
        return encoderFailure(e);
    }
    printLine(QStringLiteral("{\"type\":%1,\"text\":%2,\"pattern\":%3,\"width\":%4,\"modul\":%5,\"ratio\":%6}")
                  .arg(static_cast<int>(symbol.Typ()))
                  .arg(jsonString(core::toUnicode(symbol.Text())), jsonString(QString::fromStdString(pattern)))
                  .arg(width)
                  .arg(symbol.Modul())
                  .arg(QString::fromStdString(core::formatGeneral(symbol.Ratio()))));
    return kExitOk;
}

// Draws the picture on white: `margin` page units of white around the frame,
// `scale` output pixels per page unit.
void paintOnWhite(QPainter& painter, const barcode::BarcodeLayout& layout, QSizeF canvas, double margin, double scale) {
    painter.fillRect(QRectF(QPointF(0, 0), canvas), Qt::white);
    if (layout.picture)
        layout.picture->play(painter, QRectF(margin * scale, margin * scale, layout.frameSize.width() * scale,
                                             layout.frameSize.height() * scale));
}

int runRender(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws a linear symbol as a barcode template object paints it, on white, into a PNG,\n"
        "SVG or PDF file (by the extension of the output file)."));
    const SymbolOptions symbolOptions;
    symbolOptions.addTo(parser);
    const QCommandLineOption noText(QStringLiteral("no-text"), QStringLiteral("Leave out the human-readable text."));
    const QCommandLineOption zoom(QStringLiteral("zoom"), QStringLiteral("Page units per module (default 1)."), QStringLiteral("Z"));
    const QCommandLineOption rotation(QStringLiteral("rotation"), QStringLiteral("0, 90, 180 or 270 degrees (default 0)."), QStringLiteral("DEG"));
    const QCommandLineOption height(QStringLiteral("height"), QStringLiteral("Frame size across the bars in page units, 18 per 5 mm (the frame's height at 0 and 180, its width at 90 and 270; default 60)."), QStringLiteral("H"));
    const QCommandLineOption scale(QStringLiteral("scale"), QStringLiteral("Output pixels per page unit (default 3)."), QStringLiteral("S"));
    const QCommandLineOption margin(QStringLiteral("margin"), QStringLiteral("White around the frame in page units (default 0)."), QStringLiteral("U"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("Output file: .png, .svg or .pdf."), QStringLiteral("FILE"));
    parser.addOptions({noText, zoom, rotation, height, scale, margin, output});
    if (const int rc = parseArguments(parser, QStringLiteral("barcode render"), args); rc >= 0)
        return rc;

    TfrBarcode symbol;
    if (!symbolOptions.apply(parser, QStringLiteral("barcode render"), symbol))
        return kExitUsage;
    if (!parser.isSet(output)) {
        printError(QStringLiteral("barcode render: -o FILE is required"));
        return kExitUsage;
    }
    const QString file = parser.value(output);
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg") && suffix != QLatin1String("pdf")) {
        printError(QStringLiteral("-o: '%1' is not a .png, .svg or .pdf file").arg(file));
        return kExitUsage;
    }
    double zoomValue = 1.0;
    double scaleValue = 3.0;
    double marginValue = 0.0;
    long long angle = 0;
    long long across = 60;
    if ((parser.isSet(zoom) && !optionDecimal(parser, QStringLiteral("zoom"), zoomValue))
        || (parser.isSet(scale) && !optionDecimal(parser, QStringLiteral("scale"), scaleValue))
        || (parser.isSet(margin) && !optionDecimal(parser, QStringLiteral("margin"), marginValue))
        || (parser.isSet(rotation) && !optionInteger(parser, QStringLiteral("rotation"), angle))
        || (parser.isSet(height) && !optionInteger(parser, QStringLiteral("height"), across)))
        return kExitUsage;
    if (zoomValue <= 0 || zoomValue > 1000 || scaleValue <= 0 || scaleValue > 100 || marginValue < 0 || marginValue > 10000) {
        printError(QStringLiteral("barcode render: --zoom, --scale and --margin must be positive and sensible"));
        return kExitUsage;
    }
    if (angle != 0 && angle != 90 && angle != 180 && angle != 270) {
        printError(QStringLiteral("--rotation: must be 0, 90, 180 or 270"));
        return kExitUsage;
    }
    if (across < 1 || across > 10000) {
        printError(QStringLiteral("--height: must be 1..10000"));
        return kExitUsage;
    }
    symbol.SetColor(barcode::kWhite);
    symbol.SetColorBar(barcode::kBlack);

    barcode::BarcodeLayout layout;
    try {
        const bool vertical = angle == 90 || angle == 270;
        const QSize frame = vertical ? QSize(static_cast<int>(across), 0) : QSize(0, static_cast<int>(across));
        layout = barcode::makeBarcodePicture(symbol, frame, static_cast<double>(angle), !parser.isSet(noText), zoomValue);
    } catch (const std::exception& e) {
        return encoderFailure(e);
    }

    const QSizeF units(layout.frameSize.width() + 2 * marginValue, layout.frameSize.height() + 2 * marginValue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        const QSize pixels(static_cast<int>(std::ceil(units.width() * scaleValue)),
                           static_cast<int>(std::ceil(units.height() * scaleValue)));
        if (pixels.isEmpty() || static_cast<long long>(pixels.width()) * pixels.height() > 400'000'000LL) {
            printError(QStringLiteral("barcode render: an image of %1 x %2 pixels cannot be made").arg(pixels.width()).arg(pixels.height()));
            return kExitFailure;
        }
        QImage image(pixels, QImage::Format_RGB32);
        {
            QPainter painter(&image);
            paintOnWhite(painter, layout, pixels, marginValue, scaleValue);
        }
        image.save(&buffer, "PNG");
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        const QSizeF size = units * scaleValue;
        svg.setSize(size.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), size));
        svg.setTitle(QStringLiteral("barcode"));
        QPainter painter(&svg);
        paintOnWhite(painter, layout, size, marginValue, scaleValue);
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(QPageSize(QSizeF(units.width() * kMillimetresPerUnit, units.height() * kMillimetresPerUnit),
                                  QPageSize::Millimeter));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setResolution(1200);
        pdf.setCreator(QStringLiteral("mirel-cli"));
        const double pixelsPerUnit = 1200.0 * kMillimetresPerUnit / 25.4;
        QPainter painter(&pdf);
        paintOnWhite(painter, layout, units * pixelsPerUnit, marginValue, pixelsPerUnit);
    }
    buffer.close();
    core::writeFileAtomically(file, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    return kExitOk;
}

} // namespace

int runBarcode(const QStringList& args) {
    if (!args.isEmpty() && args[0] == QLatin1String("pattern"))
        return runPattern(args.mid(1));
    if (!args.isEmpty() && args[0] == QLatin1String("render"))
        return runRender(args.mid(1));
    const bool help = !args.isEmpty() && (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"));
    const QString usage = QStringLiteral(
        "Usage: mirel-cli barcode pattern --type T --text TEXT [--checksum] [--modul M] [--ratio R]\n"
        "       mirel-cli barcode render --type T --text TEXT [--checksum] [--no-text] [--zoom Z]\n"
        "                 [--rotation 0|90|180|270] [--height H] [--scale S] [--margin U] -o FILE\n"
        "\n"
        "'mirel-cli barcode pattern --help' and 'mirel-cli barcode render --help' describe the options.");
    if (help) {
        printLine(usage);
        return kExitOk;
    }
    printError(args.isEmpty() ? QStringLiteral("barcode: say 'pattern' or 'render'")
                              : QStringLiteral("barcode: unknown verb '%1' (pattern or render)").arg(args[0]));
    return kExitUsage;
}

} // namespace mirel::cli
