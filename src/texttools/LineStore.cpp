#include "texttools/LineStore.h"

#include "core/Files.h"
#include "texttools/OutputFile.h"

#include <algorithm>
#include <cstring>

namespace mirel::texttools {

LineStore::LineStore(AnsiString text) : m_text(std::move(text)) {
    m_starts.clear();
    const char* data = m_text.data();
    const std::size_t n = m_text.size();
    auto find = [&](std::size_t from, char byte) {
        const void* hit = std::memchr(data + from, byte, n - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - data) : n;
    };
    // The next CR and the next LF, each searched again only once passed, so
    // LF, CR LF and CR files all take one memchr step per line.
    std::size_t nextCr = find(0, '\r');
    std::size_t nextLf = find(0, '\n');
    std::size_t p = 0;
    while (p < n) {
        m_starts.push_back(p);
        if (nextCr < p)
            nextCr = find(p, '\r');
        if (nextLf < p)
            nextLf = find(p, '\n');
        const std::size_t b = std::min(nextCr, nextLf);
        if (b >= n)
            break;
        p = b + (data[b] == '\r' && b + 1 < n && data[b + 1] == '\n' ? 2 : 1);
    }
    m_starts.push_back(n);
}

LineStore LineStore::fromFile(const QString& path) {
    return LineStore(core::textFileToAnsi(core::readFileBytes(path)));
}

std::string_view LineStore::line(std::int64_t i) const {
    if (i < 0 || i >= size())
        return {};
    std::size_t begin = m_starts[static_cast<std::size_t>(i)];
    std::size_t end = m_starts[static_cast<std::size_t>(i) + 1];
    // A line holds no CR or LF, so what ends it is its line break.
    if (end > begin && m_text[end - 1] == '\n')
        --end;
    if (end > begin && m_text[end - 1] == '\r')
        --end;
    return std::string_view(m_text.data() + begin, end - begin);
}

void writeLineRange(const LineStore& lines, std::int64_t first, std::int64_t last, const QString& path) {
    OutputFile out(path);
    for (std::int64_t i = first; i <= last; ++i)
        out.writeLine(lines.line(i));
    out.commit();
}

} // namespace mirel::texttools
