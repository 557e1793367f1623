#pragma once
// How the engine answers the names in a template's expressions, in this order:
//  1. the host's variable callback (OnGetValue; the label job answers its eight
//     label variables there, compared exactly);
//  2. the dictionary's variables, whose values are expressions themselves;
//  3. the system variables: PAGE#, TOTALPAGES, LINE#, LINETHROUGH#, COLUMN#,
//     CURRENT#, DATE, TIME and the report information fields (REPORTNAME ...);
//  4. a field of the dataset the printing band runs over ([key1]).
// Fields named with their dataset ([frDBDataSet1."key1"], also with the owner in
// front: [Form1.frDBDataSet1."key1"]) are looked up in the datasets the engine
// knows, directly or through the dictionary's field aliases. Dictionary,
// system variable, dataset and field names ignore the letter case of ASCII letters.

#include "engine/Dataset.h"
#include "engine/Expression.h"

#include <functional>
#include <optional>
#include <vector>

namespace mirel::tmpl {
class TfrReport;
}

namespace mirel::engine {

// The host's variable callback: given a name and an empty slot, it fills the slot
// for the names it answers and leaves it empty for the others.
using GetValueCallback = std::function<void(const AnsiString& name, std::optional<Value>& value)>;

// Where the engine is while a band prints: what the system variables answer.
struct PrintPosition {
    int page = 1;                    // PAGE#, from 1
    int totalPages = 0;              // TOTALPAGES (known in the second pass)
    std::int64_t line = 0;           // LINE# and CURRENT#: the record of the band's run, from 1
    std::int64_t lineThrough = 0;    // LINETHROUGH#: records printed so far in the whole report
    int column = 1;                  // COLUMN#, from 1
    TfrDataset* bandDataset = nullptr;   // whose fields bare names read
};

class ReportNames final : public NameResolver {
public:
    // `now` (stored date form) is what DATE and TIME answer for the whole job.
    ReportNames(const tmpl::TfrReport& report, GetValueCallback onGetValue, std::vector<TfrDataset*> datasets,
                double now);

    std::optional<Value> resolveName(const AnsiString& name) override;
    std::optional<Value> resolveField(const AnsiString& dataset, const AnsiString& field) override;

    // A dataset by its name, with or without owner, or through a field alias.
    TfrDataset* FindDataset(std::string_view name) const;

    PrintPosition position;
    // Set when an expression asked for TOTALPAGES: the engine then prepares twice.
    bool totalPagesAsked = false;

private:
    std::optional<Value> systemVariable(const AnsiString& name);

    const tmpl::TfrReport& m_report;
    GetValueCallback m_onGetValue;
    std::vector<TfrDataset*> m_datasets;
    double m_now;
};

} // namespace mirel::engine
