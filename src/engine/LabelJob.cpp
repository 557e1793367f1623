#include "engine/LabelJob.h"

#include "core/Encoding.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "template/PreparedReport.h"


namespace mirel::engine {

namespace {

AnsiString cp(std::string_view utf8) { return core::fromUtf8(utf8); }

bool sameAsciiIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The keys of one INI section, first occurrence of each key (and of the
// section) winning, as the system's INI reading does.
std::vector<std::pair<AnsiString, AnsiString>> iniSection(std::string_view text, std::string_view section) {
    std::vector<std::pair<AnsiString, AnsiString>> keys;
    bool inside = false;
    bool seen = false;
    for (std::string_view line : core::splitLines(text)) {
        line = core::trimBlanks(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            const std::string_view name = core::trimBlanks(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            if (inside)
                break;
            inside = !seen && sameAsciiIgnoringCase(name, section);
            seen = seen || inside;
            continue;
        }
        if (!inside)
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view key = core::trimBlanks(line.substr(0, eq));
        std::string_view value = core::trimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        keys.emplace_back(AnsiString(key), AnsiString(value));
    }
    return keys;
}

// Line breaks as the 2D-code field holds them: CR LF between lines.
AnsiString withCrLf(std::string_view text) {
    AnsiString out;
    out.reserve(text.size() + 8);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

LabelData initialLabelData() {
    LabelData fields;
    fields.prefix = "BJ";
    fields.serial = "0000000000";
    fields.suffix = "**";
    fields.data1 = cp("含量：120g");
    fields.data2 = cp("价格：3.5元");
    fields.code2d = "\r\n";
    fields.quantity = 100;
    return fields;
}

void applySystemIni(LabelData& fields, std::string_view iniBytes) {
    const AnsiString text = core::textFileToAnsi(iniBytes);
    const auto keys = iniSection(text, "kz");
    const auto read = [&](std::string_view key, const AnsiString& fallback) {
        for (const auto& [k, v] : keys)
            if (sameAsciiIgnoringCase(k, key))
                return v;
        return fallback;
    };
    fields.data1 = read("kz01", cp("含量：120g"));
    fields.data2 = read("kz02", cp("价格：3.50元"));
    fields.templatePath = core::toUnicode(read("cxButtonEdit1", {}));
    fields.prefix = read("cxTextEdit2", {});
    fields.serial = read("cxTextEdit5", {});
    fields.suffix = read("cxTextEdit3", {});
}

bool setLabelVariable(LabelData& fields, const AnsiString& name, const AnsiString& text) {
    if (name == cp("条形码编号"))
        fields.serial = text;
    else if (name == cp("编头"))
        fields.prefix = text;
    else if (name == cp("编尾"))
        fields.suffix = text;
    else if (name == cp("数量"))
        fields.quantity = core::parseDecimal(text);
    else if (name == cp("数据扩充1"))
        fields.data1 = text;
    else if (name == cp("数据扩充2"))
        fields.data2 = text;
    else if (name == cp("二维码"))
        fields.code2d = withCrLf(text);
    else
        return false;
    return true;
}

void answerLabelVariable(const AnsiString& name, std::optional<Value>& value, const LabelData& fields,
                         const TfrDataset& codeStore, const SqlTableDataset& external) {
    // The names in code page bytes, made once.
    static const AnsiString kSerial = cp("条形码编号"), kPrefix = cp("编头"), kSuffix = cp("编尾"),
                            kQuantity = cp("数量"), kData1 = cp("数据扩充1"), kData2 = cp("数据扩充2"),
                            kCode2d = cp("二维码");
    if (name == "no")
        value = Value::integer(external.IsOpen() ? external.RecNo() : codeStore.RecNo());
    else if (name == kSerial)
        value = Value::string(fields.serial);
    else if (name == kPrefix)
        value = Value::string(fields.prefix);
    else if (name == kSuffix)
        value = Value::string(fields.suffix);
    else if (name == kQuantity)
        value = Value::real(fields.quantity);
    else if (name == kData1)
        value = Value::string(fields.data1);
    else if (name == kData2)
        value = Value::string(fields.data2);
    else if (name == kCode2d)
        value = Value::string(fields.code2d);
}

LabelJob::LabelJob() {
    // Field aliases kept by the dictionary pruning are those that name an adapter.
    Report.DatasetExists = [](const AnsiString& name) {
        const std::string_view bare = std::string_view(name).substr(name.rfind('.') == AnsiString::npos ? 0 : name.rfind('.') + 1);
        return sameNameIgnoringCase(bare, kCodeStoreAdapterName) || sameNameIgnoringCase(bare, kExternalAdapterName);
    };
}

PrepareResult LabelJob::Print(const QString& templatePath, tmpl::TemplateHost& host, tmpl::TfrPreparedPages& pages,
                              const PrepareProgress& progress) {
    LoadTemplate(templatePath, host);
    return PrintLoaded(pages, progress);
}

bool LabelJob::LoadTemplate(const QString& templatePath, tmpl::TemplateHost& host, tmpl::LoadResult* load) {
    tmpl::LoadResult result;
    const bool found = Report.LoadFromFile(templatePath, host, &result);
    if (load)
        *load = result;
    return found;
}

PrepareResult LabelJob::PrintLoaded(tmpl::TfrPreparedPages& pages, const PrepareProgress& progress) {
    CodeStoreAdapter.SetRangeEnd(TfrRangeEnd::reCount);
    CodeStoreAdapter.SetRangeEndCount(core::roundHalfEven(Fields.quantity));
    Title = kPrintTitle;
    return Prepare(pages, progress);
}

PrepareResult LabelJob::Prepare(tmpl::TfrPreparedPages& pages, const PrepareProgress& progress) {
    PrepareSetup setup;
    setup.onGetValue = [this](const AnsiString& name, std::optional<Value>& value) { AnswerVariable(name, value); };
    setup.datasets = {&CodeStoreAdapter, &ExternalAdapter};
    setup.reportDataset = &CodeStoreAdapter;
    setup.progress = progress;
    return prepareReport(Report, setup, pages);
}

} // namespace mirel::engine
