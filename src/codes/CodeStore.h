#pragma once
// The code store: the anti-counterfeit codes of the current label run, one row of
// table `reg` per code, in the SQLite file dbno.csh beside the executable.
//
// Table `reg`: `ID` INTEGER PRIMARY KEY, assigned by the database on insert (its
// order is the order of insertion and of printing); `NO`, `key0`, `key1` as text.
// Inside the program the fields are code page bytes (AnsiString); in the file they
// are UTF-8 text, so any SQLite tool shows them. A value that is not valid code
// page text is kept as a BLOB of its bytes, so nothing read from a file is ever
// lost.
//
// Every command runs in one transaction: it completes, or it leaves the store
// exactly as it was, also when it is cancelled through its progress callback or a
// callback throws. Errors are CodeStoreError, whose message names the file.

#include "codes/CodeList.h"
#include "codes/CodeStoreError.h"
#include "core/Encoding.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

struct sqlite3;

namespace mirel::codes {

namespace detail {
struct ReaderStatement;
}

// One row of table `reg`.
struct CodeRecord {
    std::int64_t id = 0;
    AnsiString no;
    AnsiString key0;
    AnsiString key1;

    friend bool operator==(const CodeRecord&, const CodeRecord&) = default;
};

// The fields of a code record in column order, as templates and the grid name them.
inline constexpr std::string_view kCodeFieldNames[] = {"ID", "NO", "key0", "key1"};

// Index of a field name in kCodeFieldNames (ASCII case ignored, as field names in
// templates are), or -1.
int codeFieldIndex(std::string_view name);

// The text of field `index` of a record (ID as decimal text); empty for a bad index.
AnsiString codeFieldText(const CodeRecord& record, int index);

// Progress of a long command: called with the records done so far and the total
// (first with 0, last with done == total, and often enough in between for a
// progress bar). Returning false cancels the command, which then leaves the store
// as it was.
using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Reads a quantity typed by the operator: a whole number of 0 or more, blanks
// around allowed. Throws CodeStoreError ("'12a' is not a valid quantity ...")
// otherwise; the caller checks it before touching the store.
std::int64_t parseQuantity(std::string_view text);

class CodeStore;

// Streams the store's records first to last in ID order without loading them all:
// the code-store adapter of print jobs reads the store through one. It starts on
// the first record (as a dataset after First()). Valid while its store lives; a
// store command or a close ends it (atEnd() becomes true).
class CodeReader {
public:
    CodeReader(CodeReader&&) noexcept;
    CodeReader& operator=(CodeReader&&) noexcept;
    ~CodeReader();

    // Starts again on the first record, with the same limit.
    void first();
    bool atEnd() const;
    // The current record; only while !atEnd().
    const CodeRecord& current() const { return m_current; }
    void next();
    // The record counter: 0 on the first record, one more on each following one.
    std::int64_t counter() const { return m_counter; }

private:
    friend class CodeStore;
    CodeReader(std::shared_ptr<detail::ReaderStatement> statement, std::int64_t limit);
    void fetch();

    std::shared_ptr<detail::ReaderStatement> m_statement;
    std::int64_t m_limit = -1;
    std::int64_t m_counter = 0;
    bool m_atEnd = true;
    CodeRecord m_current;
};

class CodeStore {
public:
    // Opens the store in `path`. A missing file is created with an empty table
    // `reg` (an empty file counts as missing: SQLite sees a new database in it).
    // A file that is not an SQLite database, or has no table `reg` with an
    // INTEGER PRIMARY KEY `ID` and the columns `NO`, `key0` and `key1`, is refused
    // with CodeStoreError and left byte-for-byte unchanged.
    explicit CodeStore(const QString& path);
    ~CodeStore();
    CodeStore(const CodeStore&) = delete;
    CodeStore& operator=(const CodeStore&) = delete;

    const QString& path() const { return m_path; }

    // Opens the store again (closing it first when open); the same checks as the
    // constructor.
    void open();
    // Closes the database file (nothing is pending: every command has committed
    // or rolled back). Commands on a closed store throw CodeStoreError.
    void close();
    bool isOpen() const;

    // The number of records; cached, so a grid may ask at every repaint.
    std::int64_t count() const;

    // Up to `limit` records from the record at `position` (0-based, in ID order):
    // the rows a grid shows around one scroll position. Cheap anywhere in a
    // million records when the IDs have no gaps (always after a generation or an
    // import); otherwise an SQL OFFSET, which walks the skipped rows.
    std::vector<CodeRecord> records(std::int64_t position, std::int64_t limit) const;
    // Up to `limit` records whose ID exceeds `afterId`, in ID order (keyset paging;
    // afterId 0 starts at the first record).
    std::vector<CodeRecord> recordsAfter(std::int64_t afterId, std::int64_t limit) const;

    // A reader over the records in ID order, stopping after `limit` records
    // (-1: all of them), as a print job's count range asks.
    CodeReader reader(std::int64_t limit = -1) const;

    // Deletes every record with one statement. The caller clears its code list.
    // Returns false when cancelled (before anything was deleted).
    bool deleteAll(const Progress& progress = {});

    // Replaces the store's records with `count` fresh codes, NO 1..count, key0
    // empty, key1 = Encipher(seed, kCodeKey, -1); `list` receives the lines
    // "k code". Returns false when cancelled. On failure or cancel the store and
    // `list` are unchanged. A negative count throws before anything happens.
    bool generate(std::string_view seed, std::int64_t count, CodeList& list, const Progress& progress = {});

    // Replaces the store's records with the lines of a text file, one record per
    // line in file order, fields as splitImportLine() gives them; `list` receives
    // the lines unchanged. The file is read (UTF-8 or code page text, CR LF / LF /
    // CR) before the store is touched, so an unreadable file changes nothing.
    // Returns false when cancelled; on failure or cancel store and list are
    // unchanged.
    bool importFile(const QString& file, CodeList& list, const Progress& progress = {});
    // The same for a file's bytes already read.
    bool importBytes(std::string_view fileBytes, CodeList& list, const Progress& progress = {});

    // Writes every record of the store, in ID order, one export line each
    // (appendExportLine), atomically to `file`.
    void exportTo(const QString& file) const;

    // Copies the database file byte for byte to `target`, which must not exist
    // (an exclusive create: an existing file is never overwritten or changed).
    // The store is closed for the copy and opened again after it, also when the
    // copy fails. Throws CodeStoreError naming the target on failure.
    void backupTo(const QString& target);

private:
    struct Insert;
    sqlite3* handle() const;
    void requireOpen() const;
    void execute(const char* sql) const;
    [[noreturn]] void fail(const QString& what) const;
    void refreshCount() const;
    void endReaders() const;
    bool replaceRecords(std::int64_t total, const Progress& progress,
                        const std::function<void(Insert&, std::int64_t)>& row);
    std::vector<CodeRecord> select(const char* sql, std::int64_t a, std::int64_t b) const;

    QString m_path;
    QString m_connection;   // this object's own Qt Sql connection name
    mutable std::int64_t m_count = 0;
    mutable std::int64_t m_firstId = 0;
    mutable bool m_dense = true;   // IDs are m_firstId .. m_firstId + m_count - 1
    mutable std::vector<std::weak_ptr<detail::ReaderStatement>> m_readers;
};

} // namespace mirel::codes
