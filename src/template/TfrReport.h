#pragma once
// TfrReport: a label template in memory (header flags, printer name, pages with
// their objects, the dictionary and the report information fields) and the
// reader and writer of its stored forms: the .frf file, the designer's
// new-report template (.frt), and the report stored inside a form.
//
// Reading never throws: every failure ends in a message through the host and a
// defined state. The format version and the unknown add-in class names of a
// read are kept by the read itself (one reader object per load), not in
// process-wide values, so reads cannot disturb each other.

#include "template/TemplateHost.h"
#include "template/TfrDataDictionary.h"
#include "template/TfrPages.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mirel::tmpl {

inline constexpr std::uint8_t kGeneratorVersion = 88;

// A template that cannot be written (objects on a page past the 256th, whose
// index a record cannot hold).
class TemplateWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Dates as stored: days since 1899-12-30, the fraction the time of day.
double toStoredDate(const QDateTime& dateTime);
// Nothing for a value no calendar date can hold (not finite, out of range).
std::optional<QDateTime> fromStoredDate(double value);
double storedNow();

// The template password as stored: two upper-case hexadecimal digits per byte,
// high nibble first. Decoding takes lower-case digits like upper-case ones and
// ignores an odd trailing digit.
std::string encodePassword(std::string_view password);
std::string decodePassword(std::string_view digits);

// What a read found, for callers that report on it (mirel-cli template dump).
struct LoadResult {
    int version = 0;              // the format version read (21 for files without one)
    bool messageShown = false;    // the host was shown a message or the password failed
};

// The new-report template's own parts (.frt).
struct NewReportTemplate {
    Lines description;
    std::string picture;          // a bitmap file, empty when there is none
};

class TfrReport {
public:
    TfrReport();

    // Reads a template from the bytes of a .frf file. `fromFile` says the
    // bytes come from a file (a password-protected template asks for its
    // password only then).
    LoadResult LoadFromBytes(std::string_view bytes, TemplateHost& host, bool fromFile = false);
    // False, with no other effect, when the file does not exist (or cannot be
    // read, which the host is told); otherwise loads it, takes the path as the
    // file name, and returns true also when the load ended with a message.
    bool LoadFromFile(const QString& path, TemplateHost& host, LoadResult* result = nullptr);

    // Writes the template at the current version; sets the generator version
    // to 88 and the last-saved date to `now` first. Throws TemplateWriteError.
    std::string SaveToBytes(double now = storedNow());
    // Writes the file atomically (throws core::FileError); the file name stays.
    void SaveToFile(const QString& path);

    // The new-report template (.frt): description, optional bitmap picture,
    // then the report data without version byte, tag 0xFC or information.
    std::string SaveToTemplateBytes(const Lines& description, std::string_view bitmap);
    NewReportTemplate LoadFromTemplateBytes(std::string_view bytes, TemplateHost& host, LoadResult* result = nullptr);

    // The report stored in a form (property ReportForm): int 25, then when
    // `storeInForm` the length and bytes of a whole .frf template. Reading
    // without `storeInForm` leaves the report untouched.
    std::string WriteReportForm(bool storeInForm);
    void ReadReportForm(std::string_view bytes, bool storeInForm, TemplateHost& host);

    // Removes every page and object (the dictionary too); the information
    // fields stay.
    void Clear();
    // Empties the information fields; both dates become `now`.
    void ResetInformation(double now = storedNow());

    // "Memo" -> "Memo1": the base followed by the lowest number from 1 to 10000
    // no object of the report carries; empty when all are taken.
    AnsiString GenerateName(std::string_view base) const;
    TfrView* FindObject(std::string_view name) const;

    bool PrintToDefault = false;   // print to the current printer; the stored name is not selected
    bool DoublePass = false;
    AnsiString PrinterName;        // as read; the writer stores the current printer
    TfrPages Pages;
    TfrDataDictionary Dictionary;

    // Report information (also answered as system variables).
    AnsiString Comment;            // REPORTCOMMENT
    AnsiString ReportName;         // REPORTNAME
    AnsiString Author;             // REPORTAUTOR
    AnsiString VMajor, VMinor, VRelease, VBuild;
    AnsiString Password;           // the password itself, not its digits
    std::uint8_t GeneratorVersion = kGeneratorVersion;
    std::uint8_t PasswordProtected = 0;
    double CreateDate = 0;         // REPORTDATE
    double LastChange = 0;         // REPORTLASTCHANGE

    QString FileName;
    // Which field-alias names resolve to a dataset of the application; the
    // engine sets it. Without it no name resolves.
    std::function<bool(const AnsiString&)> DatasetExists;

private:
    friend class FrfReader;
    void WriteReportData(RecordWriter& out) const;
    void WriteInformation(RecordWriter& out) const;
};

} // namespace mirel::tmpl
