#pragma once
// frDBDataSet1: the code-store adapter. One record per anti-counterfeit code, in
// the store's order (ID order), streamed through a CodeReader so a run over a
// million codes holds one record at a time. Fields: ID (whole number), NO, key0,
// key1 (texts).

#include "codes/CodeStore.h"
#include "engine/Dataset.h"

#include <optional>

namespace mirel::engine {

inline constexpr char kCodeStoreAdapterName[] = "frDBDataSet1";

class CodeStoreDataset final : public TfrDataset {
public:
    CodeStoreDataset() : TfrDataset(kCodeStoreAdapterName) {}

    // The store the adapter reads (not owned); none: the dataset has no records.
    void SetStore(const codes::CodeStore* store);
    const codes::CodeStore* Store() const { return m_store; }

protected:
    void SourceFirst(std::int64_t limit) override;
    void SourceNext() override;
    bool SourceEof() const override;
    bool SourceHasField(std::string_view field) const override;
    Value SourceField(std::string_view field) const override;
    std::int64_t SourceCount() const override;

private:
    const codes::CodeStore* m_store = nullptr;
    std::optional<codes::CodeReader> m_reader;
};

} // namespace mirel::engine
