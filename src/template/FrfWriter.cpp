// Writing a template, and the parts of TfrReport that reading and writing share.

#include "template/TfrReport.h"

#include "core/Files.h"

#include <QTimeZone>
#include <cctype>
#include <cmath>
#include <unordered_set>

namespace mirel::tmpl {

namespace {

constexpr char kVirtualPrinterMark[] = "\x01";
constexpr size_t kMaxPasswordBytes = 0xFFFF / 2;   // two digits per byte in a word-counted field
const QDate kDateBase(1899, 12, 30);

} // namespace

double toStoredDate(const QDateTime& dateTime) {
    const QDateTime local = dateTime.toLocalTime();
    const double days = static_cast<double>(kDateBase.daysTo(local.date()));
    const double fraction = local.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the base date the fraction still counts forward within the day.
    return days >= 0 ? days + fraction : days - fraction;
}

std::optional<QDateTime> fromStoredDate(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 2958466.0)   // beyond 9999-12-31
        return std::nullopt;
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    auto msecs = static_cast<int>(std::llround(fraction * 86400000.0));
    if (msecs >= 86400000)
        msecs = 86400000 - 1;
    return QDateTime(kDateBase.addDays(static_cast<qint64>(whole)), QTime::fromMSecsSinceStartOfDay(msecs));
}

double storedNow() { return toStoredDate(QDateTime::currentDateTime()); }

std::string encodePassword(std::string_view password) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(password.size() * 2);
    for (char c : password) {
        const auto b = static_cast<unsigned char>(c);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

std::string decodePassword(std::string_view digits) {
    const auto value = [](char c) {
        const int upper = std::toupper(static_cast<unsigned char>(c));
        return upper > '9' ? upper - 55 : upper - 48;
    };
    std::string out;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        out += static_cast<char>((16 * value(digits[i]) + value(digits[i + 1])) & 0xFF);
    return out;
}

TfrReport::TfrReport() {
    const double now = storedNow();
    CreateDate = now;
    LastChange = now;
}

void TfrReport::Clear() {
    Pages.Clear();
    Dictionary.Clear();
}

void TfrReport::ResetInformation(double now) {
    Comment.clear();
    ReportName.clear();
    Author.clear();
    VMajor.clear();
    VMinor.clear();
    VRelease.clear();
    VBuild.clear();
    Password.clear();
    GeneratorVersion = kGeneratorVersion;
    PasswordProtected = 0;
    CreateDate = now;
    LastChange = now;
}

AnsiString TfrReport::GenerateName(std::string_view base) const {
    std::unordered_set<AnsiString> used;
    for (const auto& page : Pages)
        for (const auto& view : page->Objects)
            used.insert(view->Name);
    for (int i = 1; i <= 10000; ++i) {
        AnsiString name = AnsiString(base) + std::to_string(i);
        if (!used.count(name))
            return name;
    }
    return {};
}

TfrView* TfrReport::FindObject(std::string_view name) const {
    for (const auto& page : Pages)
        for (const auto& view : page->Objects)
            if (view->Name == name)
                return view.get();
    return nullptr;
}

void TfrReport::WriteReportData(RecordWriter& out) const {
    out.WriteBool16(PrintToDefault);
    out.WriteBool16(DoublePass);
    const PrinterLayer& layer = printers();
    out.WriteCountedString(layer.CurrentIsVirtual() ? AnsiString(kVirtualPrinterMark)
                                                    : core::fromUnicode(layer.CurrentPrinter()));
    for (const auto& page : Pages) {
        out.WriteByte(0xFF);
        page->WriteRecord(out);
    }
    for (size_t i = 0; i < Pages.Count(); ++i) {
        const TfrPage& page = Pages[i];
        if (!page.Objects.empty() && i > 0xFF)
            throw TemplateWriteError("a template holds objects on its first 256 pages only");
        for (const auto& view : page.Objects) {
            out.WriteByte(static_cast<std::uint8_t>(view->TypeCode()));
            if (view->TypeCode() == gtAddIn)
                out.WriteCountedString(view->ClassName());
            out.WriteByte(static_cast<std::uint8_t>(i));
            const size_t end = out.WritePlaceholder();
            view->WriteRecord(out);
            out.PatchEndOffset(end);
        }
    }
    out.WriteByte(0xFE);
    Dictionary.WriteSection(out);
}

void TfrReport::WriteInformation(RecordWriter& out) const {
    out.WriteBareString(Comment);
    out.WriteBareString(ReportName);
    out.WriteBareString(Author);
    out.WriteBareString(VMajor);
    out.WriteBareString(VMinor);
    out.WriteBareString(VRelease);
    out.WriteBareString(VBuild);
    out.WriteBareString(encodePassword(std::string_view(Password).substr(0, kMaxPasswordBytes)));
    out.WriteByte(GeneratorVersion);
    out.WriteByte(PasswordProtected);
    out.WriteDouble(CreateDate);
    out.WriteDouble(LastChange);
}

std::string TfrReport::SaveToBytes(double now) {
    RecordWriter out;
    out.WriteByte(kCurrentVersion);
    WriteReportData(out);
    out.WriteByte(0xFC);
    GeneratorVersion = kGeneratorVersion;
    LastChange = now;
    WriteInformation(out);
    return out.TakeBytes();
}

void TfrReport::SaveToFile(const QString& path) { core::writeFileAtomically(path, SaveToBytes()); }

std::string TfrReport::SaveToTemplateBytes(const Lines& description, std::string_view bitmap) {
    RecordWriter out;
    out.WriteLineList(description);
    const size_t offset = out.WritePlaceholder();
    out.WriteByte(bitmap.empty() ? 0 : 1);
    out.WriteBytes(bitmap);
    out.PatchEndOffset(offset);
    WriteReportData(out);
    return out.TakeBytes();
}

std::string TfrReport::WriteReportForm(bool storeInForm) {
    RecordWriter out;
    out.WriteInt(kCurrentVersion);
    if (storeInForm) {
        const std::string data = SaveToBytes();
        out.WriteInt(static_cast<std::int32_t>(data.size()));
        out.WriteBytes(data);
    }
    return out.TakeBytes();
}

} // namespace mirel::tmpl
