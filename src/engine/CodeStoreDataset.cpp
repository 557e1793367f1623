#include "engine/CodeStoreDataset.h"

namespace mirel::engine {

void CodeStoreDataset::SetStore(const codes::CodeStore* store) {
    m_store = store;
    m_reader.reset();
}

void CodeStoreDataset::SourceFirst(std::int64_t limit) {
    m_reader.reset();
    if (!m_store)
        return;
    try {
        m_reader.emplace(m_store->reader(limit));
    } catch (const codes::CodeStoreError& e) {
        throw DatasetError(e.what());
    }
}

void CodeStoreDataset::SourceNext() {
    if (!m_reader)
        return;
    try {
        m_reader->next();
    } catch (const codes::CodeStoreError& e) {
        throw DatasetError(e.what());
    }
}

bool CodeStoreDataset::SourceEof() const { return !m_reader || m_reader->atEnd(); }

bool CodeStoreDataset::SourceHasField(std::string_view field) const { return codes::codeFieldIndex(field) >= 0; }

Value CodeStoreDataset::SourceField(std::string_view field) const {
    const int index = codes::codeFieldIndex(field);
    const codes::CodeRecord& record = m_reader->current();
    if (index == 0)
        return Value::integer(record.id);
    return Value::string(codes::codeFieldText(record, index));
}

std::int64_t CodeStoreDataset::SourceCount() const {
    return m_store && m_store->isOpen() ? m_store->count() : -1;
}

} // namespace mirel::engine
