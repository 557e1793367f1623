#include "template/TemplateJson.h"

#include "core/Encoding.h"

namespace mirel::tmpl {

namespace {

QJsonValue dateJson(double stored) {
    const auto date = fromStoredDate(stored);
    return date ? QJsonValue(date->toString(Qt::ISODateWithMs)) : QJsonValue();
}

QJsonArray listJson(const DictionaryList& list) {
    QJsonArray a;
    for (const DictionaryEntry& e : list)
        a.append(QJsonObject{{QStringLiteral("name"), core::toUnicode(e.name)},
                             {QStringLiteral("value"), core::toUnicode(e.value)}});
    return a;
}

} // namespace

QJsonArray linesJson(const Lines& lines) {
    QJsonArray a;
    for (const AnsiString& line : lines)
        a.append(core::toUnicode(line));
    return a;
}

QJsonArray viewsJson(const ViewList& views) {
    QJsonArray a;
    for (const auto& view : views) {
        QJsonObject o;
        view->DescribeJson(o);
        a.append(o);
    }
    return a;
}

QJsonObject pageJson(const TfrPage& page) {
    return QJsonObject{
        {QStringLiteral("size"), page.Size},
        {QStringLiteral("paperWidth"), page.PaperWidth},
        {QStringLiteral("paperHeight"), page.PaperHeight},
        {QStringLiteral("leftMargin"), page.LeftMargin},
        {QStringLiteral("topMargin"), page.TopMargin},
        {QStringLiteral("rightMargin"), page.RightMargin},
        {QStringLiteral("bottomMargin"), page.BottomMargin},
        {QStringLiteral("orientation"), page.Orientation},
        {QStringLiteral("paperBin"), page.PaperBin},
        {QStringLiteral("printToPrevPage"), page.PrintToPrevPage},
        {QStringLiteral("useMargins"), page.UseMargins},
        {QStringLiteral("columns"), page.Columns},
        {QStringLiteral("columnGap"), page.ColumnGap},
        {QStringLiteral("type"), page.Type},
        {QStringLiteral("name"), core::toUnicode(page.Name)},
        {QStringLiteral("borderStyle"), page.BorderStyle},
        {QStringLiteral("caption"), core::toUnicode(page.Caption)},
        {QStringLiteral("color"), static_cast<double>(page.Color)},
        {QStringLiteral("left"), page.Left},
        {QStringLiteral("top"), page.Top},
        {QStringLiteral("width"), page.Width},
        {QStringLiteral("height"), page.Height},
        {QStringLiteral("position"), page.Position},
        {QStringLiteral("script"), linesJson(page.Script)},
        {QStringLiteral("objects"), viewsJson(page.Objects)},
    };
}

QJsonObject dictionaryJson(const TfrDataDictionary& d) {
    return QJsonObject{
        {QStringLiteral("variables"), listJson(d.Variables)},
        {QStringLiteral("fieldAliases"), listJson(d.FieldAliases)},
        {QStringLiteral("bandDataSources"), listJson(d.BandDataSources)},
    };
}

QJsonObject informationJson(const TfrReport& r) {
    return QJsonObject{
        {QStringLiteral("comment"), core::toUnicode(r.Comment)},
        {QStringLiteral("name"), core::toUnicode(r.ReportName)},
        {QStringLiteral("author"), core::toUnicode(r.Author)},
        {QStringLiteral("vMajor"), core::toUnicode(r.VMajor)},
        {QStringLiteral("vMinor"), core::toUnicode(r.VMinor)},
        {QStringLiteral("vRelease"), core::toUnicode(r.VRelease)},
        {QStringLiteral("vBuild"), core::toUnicode(r.VBuild)},
        {QStringLiteral("hasPassword"), !r.Password.empty()},
        {QStringLiteral("passwordProtected"), r.PasswordProtected != 0},
        {QStringLiteral("generatorVersion"), r.GeneratorVersion},
        {QStringLiteral("created"), dateJson(r.CreateDate)},
        {QStringLiteral("lastChange"), dateJson(r.LastChange)},
    };
}

QJsonObject reportJson(const TfrReport& r, int version) {
    QJsonArray pages;
    for (const auto& page : r.Pages)
        pages.append(pageJson(*page));
    return QJsonObject{
        {QStringLiteral("header"),
         QJsonObject{{QStringLiteral("version"), version},
                     {QStringLiteral("printToDefault"), r.PrintToDefault},
                     {QStringLiteral("doublePass"), r.DoublePass},
                     {QStringLiteral("printerName"), core::toUnicode(r.PrinterName)}}},
        {QStringLiteral("pages"), pages},
        {QStringLiteral("dictionary"), dictionaryJson(r.Dictionary)},
        {QStringLiteral("information"), informationJson(r)},
    };
}

QJsonObject preparedJson(const TfrPreparedPages& prepared, const PreparedLoadResult& load, const TfrReport& report) {
    QJsonArray pages;
    for (const TfrPreparedPage& page : prepared.Pages) {
        pages.append(QJsonObject{
            {QStringLiteral("size"), page.Size},
            {QStringLiteral("paperWidth"), page.PaperWidth},
            {QStringLiteral("paperHeight"), page.PaperHeight},
            {QStringLiteral("orientation"), page.Orientation},
            {QStringLiteral("paperBin"), page.PaperBin},
            {QStringLiteral("useMargins"), page.UseMargins},
            {QStringLiteral("leftMargin"), page.LeftMargin},
            {QStringLiteral("topMargin"), page.TopMargin},
            {QStringLiteral("rightMargin"), page.RightMargin},
            {QStringLiteral("bottomMargin"), page.BottomMargin},
            {QStringLiteral("streamBytes"), static_cast<double>(page.Stream.size())},
            {QStringLiteral("objects"), viewsJson(readPreparedStream(page.Stream))},
        });
    }
    return QJsonObject{
        {QStringLiteral("header"),
         QJsonObject{{QStringLiteral("version"), load.version},
                     {QStringLiteral("compression"), load.compression},
                     {QStringLiteral("oldestLayout"), load.oldestLayout},
                     {QStringLiteral("printerName"), core::toUnicode(load.printerName)},
                     {QStringLiteral("generatorVersion"), report.GeneratorVersion}}},
        {QStringLiteral("pages"), pages},
    };
}

} // namespace mirel::tmpl
