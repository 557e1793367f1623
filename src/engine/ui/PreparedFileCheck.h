#pragma once
// What the preview checks before it replaces the pages it shows with those of
// a .frp file: that the file holds every page entry it announces, each ending
// where its end offset says and inside the file. The reader itself takes what
// it can from any file; the preview refuses a file it could show only in part.

#include <string_view>

namespace mirel::engine {

enum class PreparedFileProblem {
    None,
    Empty,        // no bytes at all
    Damaged,      // cut short, or entries whose offsets do not fit the file
    Compressed,   // page data stored by a compressor this system lacks
};

PreparedFileProblem checkPreparedFile(std::string_view bytes);

} // namespace mirel::engine
