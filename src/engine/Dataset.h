#pragma once
// Datasets: what a data band runs over. A run starts with First() on the first
// record and goes on with Next() until Eof(); each record prints one label. The
// record counter (RecNo) is 0 on the first record of a run and one more on each
// following record; after the run, and between runs, it keeps its last value, so
// the label variable "no" can read it at any time.
//
// The adapters templates bind their bands to carry the component names
// `frDBDataSet1` (the code store) and `frDBDataSet2` (an external table); a band
// whose data source is a number N runs over N empty records.

#include "engine/Value.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace mirel::engine {

// Where a run ends: at the last record of the source, or after RangeEndCount
// records (a print job limits the code store to its quantity this way).
enum class TfrRangeEnd { reLast, reCount };

class TfrDataset {
public:
    explicit TfrDataset(AnsiString name) : m_name(std::move(name)) {}
    virtual ~TfrDataset() = default;
    TfrDataset(const TfrDataset&) = delete;
    TfrDataset& operator=(const TfrDataset&) = delete;

    // The component name templates use ("frDBDataSet1").
    const AnsiString& Name() const { return m_name; }

    TfrRangeEnd RangeEnd() const { return m_rangeEnd; }
    void SetRangeEnd(TfrRangeEnd value) { m_rangeEnd = value; }
    // A negative count is taken as 0: a run never reads the whole source by accident.
    std::int64_t RangeEndCount() const { return m_rangeEndCount; }
    void SetRangeEndCount(std::int64_t value) { m_rangeEndCount = value < 0 ? 0 : value; }

    // Starts a run on the first record; the counter becomes 0. Throws
    // DatasetError when the source cannot be read.
    void First();
    void Next();
    bool Eof() const;
    std::int64_t RecNo() const { return m_recNo; }

    // A field of the current record: nullopt when the dataset has no field of that
    // name (letter case ignored, as field names in templates are), a null value
    // when there is no current record.
    std::optional<Value> FieldValue(std::string_view field) const;

    // The number of records a run will give when cheaply known (for progress), or -1.
    std::int64_t RecordCountHint() const;

protected:
    // The source's own operations. SourceFirst is called with the number of
    // records the run may take at most (-1: all), so a source can limit its query.
    virtual void SourceFirst(std::int64_t limit) = 0;
    virtual void SourceNext() = 0;
    virtual bool SourceEof() const = 0;
    virtual bool SourceHasField(std::string_view field) const = 0;
    virtual Value SourceField(std::string_view field) const = 0;
    virtual std::int64_t SourceCount() const { return -1; }

private:
    std::int64_t limit() const { return m_rangeEnd == TfrRangeEnd::reCount ? m_rangeEndCount : -1; }

    AnsiString m_name;
    TfrRangeEnd m_rangeEnd = TfrRangeEnd::reLast;
    std::int64_t m_rangeEndCount = 0;
    std::int64_t m_recNo = 0;
    bool m_started = false;
};

// A dataset that cannot be opened or read; the message says which and why.
class DatasetError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// N records without fields: a band whose data source is the number N.
class EmptyRecordsDataset final : public TfrDataset {
public:
    EmptyRecordsDataset(AnsiString name, std::int64_t count) : TfrDataset(std::move(name)), m_count(count) {}

protected:
    void SourceFirst(std::int64_t) override { m_position = 0; }
    void SourceNext() override { ++m_position; }
    bool SourceEof() const override { return m_position >= m_count; }
    bool SourceHasField(std::string_view) const override { return false; }
    Value SourceField(std::string_view) const override { return {}; }
    std::int64_t SourceCount() const override { return m_count; }

private:
    std::int64_t m_count;
    std::int64_t m_position = 0;
};

// Reads a band's data source "N": a decimal number whose first digit is 1 to 9.
// nullopt for anything else (a dataset name).
std::optional<std::int64_t> emptyRecordCount(std::string_view dataSource);

} // namespace mirel::engine
