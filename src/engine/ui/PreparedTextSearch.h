#pragma once
// Text search through prepared pages: the evaluated text lines every prepared
// object carries (a text object's printed text, a barcode's encoded text),
// compared as Unicode, so a search typed in the window finds code page text.
//
// Pages are read only as the search reaches them, and what they hold is kept
// for the next search, so searching 10,000 labels reads each page once.

#include "template/PreparedReport.h"

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

namespace mirel::engine {

// Where a search stands or what it found: an object of a page (indices from 0
// in page order and page stream order) and the object's frame in page units.
struct TextMatch {
    int page = -1;
    int object = -1;
    QRect frame;
    bool wrapped = false;   // the search went past the last (or first) page to find it

    bool valid() const { return page >= 0; }
};

class PreparedTextSearch {
public:
    explicit PreparedTextSearch(const tmpl::TfrPreparedPages& pages) : m_pages(pages) {}

    // The next object after `from` (the previous one before it when searching
    // backward) whose text contains `text`, going round past the end once. A
    // `from` without a page starts before the first object (after the last
    // going backward); one with a page but no object starts at that page's
    // beginning (end). Nothing for an empty text or when no object holds it.
    std::optional<TextMatch> Find(const QString& text, const TextMatch& from, bool forward = true,
                                  Qt::CaseSensitivity cs = Qt::CaseInsensitive);

    // Forgets what was read (the pages were replaced).
    void Reset() { m_texts.clear(); }

private:
    struct ObjectText {
        QString text;   // the object's lines joined by line feeds
        QRect frame;
    };
    const std::vector<ObjectText>& PageTexts(int page);

    const tmpl::TfrPreparedPages& m_pages;
    std::vector<std::optional<std::vector<ObjectText>>> m_texts;
};

} // namespace mirel::engine
