#include "engine/ui/PreparedTextSearch.h"

#include "core/Encoding.h"

#include <algorithm>
#include <climits>

namespace mirel::engine {

const std::vector<PreparedTextSearch::ObjectText>& PreparedTextSearch::PageTexts(int page) {
    if (m_texts.size() != m_pages.Pages.size())
        m_texts.assign(m_pages.Pages.size(), std::nullopt);
    auto& slot = m_texts[static_cast<size_t>(page)];
    if (!slot) {
        std::vector<ObjectText> texts;
        for (const auto& object : tmpl::readPreparedStream(m_pages.Pages[static_cast<size_t>(page)].Stream)) {
            QStringList lines;
            lines.reserve(static_cast<qsizetype>(object->Memo.size()));
            for (const AnsiString& line : object->Memo)
                lines << core::toUnicode(line);
            texts.push_back({lines.join(QLatin1Char('\n')),
                             QRect(object->Left, object->Top, object->Width, object->Height)});
        }
        slot = std::move(texts);
    }
    return *slot;
}

std::optional<TextMatch> PreparedTextSearch::Find(const QString& text, const TextMatch& from, bool forward,
                                                  Qt::CaseSensitivity cs) {
    const int pageCount = static_cast<int>(m_pages.Pages.size());
    if (text.isEmpty() || pageCount == 0)
        return std::nullopt;

    // The start page and the object index the search continues from on it
    // (exclusive): -1 before the first object, INT_MAX after the last.
    int page = from.page;
    int object = from.object;
    if (page < 0 || page >= pageCount) {
        page = forward ? 0 : pageCount - 1;
        object = forward ? -1 : INT_MAX;
    } else if (object < 0) {
        object = forward ? -1 : INT_MAX;
    }

    // Every page once, and the start page a second time for the objects
    // before (after) the start.
    bool wrapped = false;
    for (int step = 0; step <= pageCount; ++step) {
        const auto& texts = PageTexts(page);
        const int count = static_cast<int>(texts.size());
        if (forward) {
            for (int i = object >= count ? count : std::max(object + 1, 0); i < count; ++i)
                if (texts[static_cast<size_t>(i)].text.contains(text, cs))
                    return TextMatch{page, i, texts[static_cast<size_t>(i)].frame, wrapped};
        } else {
            for (int i = object > count ? count - 1 : object - 1; i >= 0; --i)
                if (texts[static_cast<size_t>(i)].text.contains(text, cs))
                    return TextMatch{page, i, texts[static_cast<size_t>(i)].frame, wrapped};
        }
        if (forward) {
            if (++page == pageCount) {
                page = 0;
                wrapped = true;
            }
            object = -1;
        } else {
            if (--page < 0) {
                page = pageCount - 1;
                wrapped = true;
            }
            object = INT_MAX;
        }
    }
    return std::nullopt;
}

} // namespace mirel::engine
