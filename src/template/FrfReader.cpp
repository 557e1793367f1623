// Reading a template: the .frf container, its object records, the .frt and
// form-stored variants, and the report information section.

#include "template/TfrReport.h"

#include "core/Files.h"
#include "template/AddinRegistry.h"
#include "template/BuiltinViews.h"

#include <QFileInfo>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

namespace mirel::tmpl {

namespace {

constexpr std::uint8_t kTagPage = 0xFF;
constexpr std::uint8_t kTagDictionary = 0xFE;
constexpr std::uint8_t kTagDataManager = 0xFD;
constexpr std::uint8_t kTagEnd = 0xFC;
constexpr char kVirtualPrinterMark[] = "\x01";

// The tagged part is damaged (a tag from 11 to 251): the whole read fails.
class TemplateFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto la = static_cast<unsigned char>(a[i]), lb = static_cast<unsigned char>(b[i]);
        if (std::toupper(la) != std::toupper(lb))
            return false;
    }
    return true;
}

// Names given while reading to pages or objects that carry none: the base and
// the lowest number from 1 to 10000 not taken. Names are only added while
// reading, so the lowest free number of a base never goes down: each base
// resumes where it stopped.
class NameSource {
public:
    void Take(const AnsiString& name) { m_taken.insert(name); }
    AnsiString Next(const char* base) {
        int& next = m_next.try_emplace(base, 1).first->second;
        for (; next <= 10000; ++next) {
            AnsiString name = base + std::to_string(next);
            if (!m_taken.count(name)) {
                ++next;
                return name;
            }
        }
        return {};
    }

private:
    std::unordered_set<AnsiString> m_taken;
    std::unordered_map<std::string, int> m_next;
};

} // namespace

// One read of a template: the version of the file, the unknown add-in class
// names met, and the names given to unnamed objects.
class FrfReader {
public:
    FrfReader(TfrReport& report, TemplateHost& host, RecordReader& in)
        : m_report(report), m_host(host), m_in(in) {}

    // From step 3 on: clear, header, tags, unknown classes, information,
    // password. Returns whether a message was shown.
    bool ReadBody(bool fromFile);

private:
    void ReadHeader();
    // Reads tags to the end of the data or the tag that ends the tagged part,
    // which it returns (0 at the end of the data).
    std::uint8_t ReadTags();
    void ReadPage();
    void ReadObject(std::uint8_t tag);
    void ReadInformation(TfrReport& into);
    // Step 8 of a read: a protected template opened from a file asks for its
    // password and is discarded unless the answer matches. False when discarded.
    bool CheckPassword(std::uint8_t passwordProtected, const AnsiString& password);
    void SeekToEnd(std::int32_t end, size_t recordStart);
    void Fail(const QString& text);

    TfrReport& m_report;
    TemplateHost& m_host;
    RecordReader& m_in;
    std::vector<AnsiString> m_unknownClasses;
    bool m_fromFile = false;
    NameSource m_objectNames;
    NameSource m_pageNames;
};

void FrfReader::ReadHeader() {
    m_report.PrintToDefault = m_in.ReadBool16();
    m_report.DoublePass = m_in.ReadBool16();
    AnsiString printer = m_in.ReadVersionedString();
    PrinterLayer& layer = printers();
    if (printer == kVirtualPrinterMark)
        printer = core::fromUnicode(VirtualPrinter::DisplayName());
    if (!m_report.PrintToDefault) {
        const QString name = core::toUnicode(printer);
        if (layer.PrinterNames().contains(name))
            layer.SelectPrinter(name);
    }
    m_report.PrinterName = std::move(printer);
}

void FrfReader::ReadPage() {
    // Pages of files before version 24 carry no name: "Page1", "Page2", ...
    // The names are given here rather than by TfrPages::Add, which looks at
    // every page and would make a file of many pages slow to read.
    TfrPage& page = m_report.Pages.Append(std::make_unique<TfrPage>());
    page.ReadRecord(m_in);
    if (m_in.Version() < 24)
        page.Name = m_pageNames.Next("Page");
    m_pageNames.Take(page.Name);
    page.ApplyPaper();
}

void FrfReader::SeekToEnd(std::int32_t end, size_t recordStart) {
    // An end offset that does not lie past the record's tag would read the
    // same bytes again and again; reading then goes on where it is.
    if (end > 0 && static_cast<std::int64_t>(end) > static_cast<std::int64_t>(recordStart))
        m_in.Seek(static_cast<size_t>(end));
}

void FrfReader::ReadObject(std::uint8_t tag) {
    const size_t recordStart = m_in.Position() - 1;
    const int v = m_in.Version();
    int typeCode = tag;
    bool framedMemo = false;
    AnsiString className;
    if (tag == gtAddIn) {
        className = m_in.ReadVersionedString();
        if (equalsIgnoringCase(className, "TFRBDELOOKUPCONTROL") || equalsIgnoringCase(className, "TFRIBXLOOKUPCONTROL")) {
            className = "TfrDBLookupControl";
        } else if (equalsIgnoringCase(className, "TFRFRAMEDMEMOVIEW")) {
            typeCode = gtMemo;
            framedMemo = true;
        }
    }
    bool endRead = false;
    std::int32_t end = 0;
    try {
        const std::uint8_t pageIndex = m_in.ReadByte();
        if (pageIndex >= m_report.Pages.Count())
            throw RecordError("the object's page does not exist");
        std::unique_ptr<TfrView> created;
        if (typeCode <= gtLine || typeCode == gtAddIn) {
            created = createView(typeCode, className);
            if (!created) {
                m_unknownClasses.push_back(className);
                throw RecordError("unknown add-in class");
            }
        }
        TfrView* view = created.get();
        if (created)
            m_report.Pages[pageIndex].Objects.push_back(std::move(created));
        if (v >= 24) {
            end = m_in.ReadInt();
            endRead = true;
        }
        if (view) {
            view->ReadRecord(m_in);
            // Records before version 23 carry no names (so none is taken but
            // those given here).
            if (v < 23) {
                view->Name = m_objectNames.Next(view->BaseName());
                m_objectNames.Take(view->Name);
            }
        }
        if (framedMemo)
            m_in.Skip(8);
        if (endRead)
            SeekToEnd(end, recordStart);
    } catch (const std::exception&) {
        // Version 24 and later skip the record by its end offset; older files
        // go on at the byte where the record failed.
        if (v >= 24) {
            if (!endRead)
                end = m_in.ReadInt();
            SeekToEnd(end, recordStart);
        }
    }
}

std::uint8_t FrfReader::ReadTags() {
    while (!m_in.AtEnd()) {
        const std::uint8_t tag = m_in.ReadByte();
        if (tag == kTagPage) {
            ReadPage();
        } else if (tag == kTagDictionary) {
            m_report.Dictionary.ReadSection(m_in, m_report.DatasetExists);
        } else if (tag == kTagDataManager || tag == kTagEnd) {
            return tag;
        } else if (tag <= gtAddIn) {
            ReadObject(tag);
        } else {
            throw TemplateFormatError("damaged template: unknown tag");
        }
    }
    return 0;
}

void FrfReader::ReadInformation(TfrReport& into) {
    into.Comment = m_in.ReadBareString();
    into.ReportName = m_in.ReadBareString();
    into.Author = m_in.ReadBareString();
    into.VMajor = m_in.ReadBareString();
    into.VMinor = m_in.ReadBareString();
    into.VRelease = m_in.ReadBareString();
    into.VBuild = m_in.ReadBareString();
    into.Password = decodePassword(m_in.ReadBareString());
    into.GeneratorVersion = m_in.ReadByte();
    into.PasswordProtected = m_in.ReadByte();
    into.CreateDate = m_in.ReadDouble();
    into.LastChange = m_in.ReadDouble();
}

void FrfReader::Fail(const QString& text) { m_host.ShowError(text, kErrorCaption); }

bool FrfReader::ReadBody(bool fromFile) {
    m_fromFile = fromFile;
    m_report.Clear();
    std::uint8_t lastTag = 0;
    try {
        ReadHeader();
        lastTag = ReadTags();
    } catch (const std::exception&) {
        Fail(kUnsupportedFormat);
        m_report.Pages.Clear();
        m_report.Pages.Add().ApplyPaper();
        return true;
    }
    const bool informationFollows = lastTag == kTagEnd && !m_in.AtEnd();
    if (!m_unknownClasses.empty()) {
        Fail(nonPluggedMessage(m_unknownClasses));
        // The information fields keep the previous template's values, but
        // whether this one is protected is still learnt from its own section:
        // an unknown add-in must not open a protected template without its
        // password.
        if (informationFollows) {
            TfrReport own;
            ReadInformation(own);
            CheckPassword(own.PasswordProtected, own.Password);
        }
        return true;
    }
    // A data-manager section is not interpreted, so its bytes are not taken
    // for the information section either.
    if (informationFollows)
        ReadInformation(m_report);
    else
        m_report.ResetInformation();
    return !CheckPassword(m_report.PasswordProtected, m_report.Password);
}

bool FrfReader::CheckPassword(std::uint8_t passwordProtected, const AnsiString& password) {
    if (passwordProtected == 0 || !m_fromFile)
        return true;
    const std::optional<AnsiString> entered = m_host.AskPassword();
    if (entered && *entered == password)
        return true;
    // The protected template is discarded, dictionary included.
    m_report.ResetInformation();
    m_report.FileName = QStringLiteral("Untitled");
    m_report.Clear();
    m_report.Pages.Add().ApplyPaper();
    return false;
}

LoadResult TfrReport::LoadFromBytes(std::string_view bytes, TemplateHost& host, bool fromFile) {
    LoadResult result;
    Dictionary.Clear();
    if (bytes.empty())
        return result;
    RecordReader in(bytes);
    int version = in.ReadByte();
    if (version < kOldestVersion) {
        // No version byte: the first byte already belongs to the header.
        version = kOldestVersion;
        in.Seek(0);
    } else if (version > kCurrentVersion) {
        host.ShowError(kUnsupportedFormat, kErrorCaption);
        result.version = version;
        result.messageShown = true;
        return result;
    }
    in.SetVersion(version);
    result.version = version;
    FrfReader reader(*this, host, in);
    result.messageShown = reader.ReadBody(fromFile);
    return result;
}

bool TfrReport::LoadFromFile(const QString& path, TemplateHost& host, LoadResult* result) {
    if (!QFileInfo::exists(path))
        return false;
    std::string bytes;
    try {
        bytes = core::readFileBytes(path);
    } catch (const core::FileError& e) {
        host.ShowError(QString::fromUtf8(e.what()), kErrorCaption);
        if (result)
            result->messageShown = true;
        return false;
    }
    // The file name is known before the password question can replace it.
    FileName = path;
    const LoadResult r = LoadFromBytes(bytes, host, true);
    if (result)
        *result = r;
    return true;
}

NewReportTemplate TfrReport::LoadFromTemplateBytes(std::string_view bytes, TemplateHost& host, LoadResult* result) {
    NewReportTemplate parts;
    RecordReader in(bytes);
    parts.description = in.ReadLineList();
    const std::int32_t dataOffset = in.ReadInt();
    if (in.ReadByte() == 1)
        parts.picture = in.ReadBytesUntil(dataOffset);
    if (dataOffset >= 0)
        in.Seek(static_cast<size_t>(dataOffset));
    Dictionary.Clear();
    FrfReader reader(*this, host, in);
    const bool shown = reader.ReadBody(false);
    if (result)
        *result = LoadResult{kCurrentVersion, shown};
    return parts;
}

void TfrReport::ReadReportForm(std::string_view bytes, bool storeInForm, TemplateHost& host) {
    RecordReader in(bytes);
    in.ReadInt();
    if (!storeInForm)
        return;
    const std::int32_t length = in.ReadInt();
    const std::string data = in.ReadBytes(length > 0 ? static_cast<size_t>(length) : 0);
    LoadFromBytes(data, host, false);
}

} // namespace mirel::tmpl
