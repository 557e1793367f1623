#include "codes/CodeList.h"

#include "codes/CodeStoreError.h"
#include "core/Files.h"

#include <cassert>

namespace mirel::codes {

void CodeList::clear() {
    m_text.clear();
    m_ends.clear();
}

void CodeList::reserve(std::int64_t lines, std::int64_t bytes) {
    m_ends.reserve(static_cast<size_t>(lines));
    m_text.reserve(static_cast<size_t>(bytes));
}

void CodeList::append(std::string_view line) {
    assert(line.find_first_of("\r\n") == std::string_view::npos);
    m_text += line;
    m_ends.push_back(m_text.size());
    m_text += "\r\n";
}

std::string_view CodeList::line(std::int64_t index) const {
    const auto i = static_cast<size_t>(index);
    const size_t begin = i == 0 ? 0 : m_ends[i - 1] + 2;
    return std::string_view(m_text).substr(begin, m_ends[i] - begin);
}

void exportCodeList(const QString& path, const CodeList& list) {
    try {
        core::writeFileAtomically(path, list.text());
    } catch (const core::FileError& e) {
        throw CodeStoreError(e.what());
    }
}

} // namespace mirel::codes
