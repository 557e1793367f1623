#include "engine/Dataset.h"

#include <algorithm>

namespace mirel::engine {

void TfrDataset::First() {
    m_recNo = 0;
    m_started = true;
    SourceFirst(limit());
}

void TfrDataset::Next() {
    if (Eof())
        return;
    ++m_recNo;
    if (limit() >= 0 && m_recNo >= limit())
        return;   // the range is used up: the source is not read further
    SourceNext();
}

bool TfrDataset::Eof() const {
    if (!m_started)
        return true;
    if (limit() >= 0 && m_recNo >= limit())
        return true;
    return SourceEof();
}

std::optional<Value> TfrDataset::FieldValue(std::string_view field) const {
    if (!SourceHasField(field))
        return std::nullopt;
    if (Eof())
        return Value();
    return SourceField(field);
}

std::int64_t TfrDataset::RecordCountHint() const {
    const std::int64_t count = SourceCount();
    if (limit() < 0)
        return count;
    return count < 0 ? limit() : std::min(count, limit());
}

std::optional<std::int64_t> emptyRecordCount(std::string_view dataSource) {
    if (dataSource.empty() || dataSource.front() < '1' || dataSource.front() > '9' || dataSource.size() > 18)
        return std::nullopt;
    std::int64_t n = 0;
    for (char c : dataSource) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace mirel::engine
