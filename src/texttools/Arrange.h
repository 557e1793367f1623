#pragma once
// Arranging serials in print order for sheets with several labels per page.
//
// With P pages of L labels, label position c (1..L) of page r (1..P) receives
// serial (c - 1) * P + r of the list, so each label position runs through a
// consecutive block of P serials from page to page. The arranged list holds the
// serials page by page: page 1 positions 1..L, then page 2, and so on. Serials
// are stored without surrounding blanks and control characters. A cell past the
// end of a short list stays empty: repeating a serial would print the same
// anti-counterfeit code on two labels.

#include "texttools/LineStore.h"

#include <QString>
#include <cstdint>

namespace mirel::texttools {

// 1-based number of the serial for label position `label` of page `page`.
constexpr std::int64_t serialNumberFor(std::int64_t pages, std::int64_t label, std::int64_t page) {
    return (label - 1) * pages + page;
}

// The serial of one cell from a list held in memory, trimmed; empty past its end.
std::string_view arrangedSerial(const LineStore& serials, std::int64_t pages, std::int64_t label, std::int64_t page);

// Throws TextToolError unless pages and labels are both above 0 and their
// product fits in 63 bits.
void checkArrangement(std::int64_t pages, std::int64_t labels);

// Writes the arranged list of a list held in memory to `target`, each serial
// followed by CR LF.
void writeArrangement(const LineStore& serials, std::int64_t pages, std::int64_t labels, const QString& target);

// The same from a file, streamed: one reader per label position walks its block
// of the file, so memory stays flat for any number of pages (about
// max(16 MB, labels x 4 KB) of buffers). Returns the number of serials in the
// source (fewer than pages x labels leaves cells empty). Nothing is written when
// the request fails checkArrangement or the source cannot be read.
std::int64_t arrangeFile(const QString& source, std::int64_t pages, std::int64_t labels, const QString& target);

} // namespace mirel::texttools
