#include "engine/ui/PreparedFileCheck.h"

#include "template/RecordStream.h"

#include <cstdint>

namespace mirel::engine {

namespace {

// Walks the page entries the way the reader does: `fixed` bytes of paper
// settings after each end offset, then the page data up to the offset.
// `pageData` is told where each page's data lies.
template <class PageData>
bool entriesFit(tmpl::RecordReader& in, size_t fixed, PageData pageData) {
    if (in.Remaining() < 4)
        return false;
    const std::int32_t count = in.ReadInt();
    if (count < 0)
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        if (in.Remaining() < 4 + fixed)
            return false;
        const size_t start = in.Position();
        const std::int64_t end = in.ReadInt();
        if (end < static_cast<std::int64_t>(start + 4 + fixed) || end > static_cast<std::int64_t>(in.Size()))
            return false;
        in.Skip(fixed);
        if (!pageData(in.Buffer().substr(in.Position(), static_cast<size_t>(end) - in.Position())))
            return false;
        in.Seek(static_cast<size_t>(end));
    }
    return true;
}

} // namespace

PreparedFileProblem checkPreparedFile(std::string_view bytes) {
    if (bytes.empty())
        return PreparedFileProblem::Empty;
    tmpl::RecordReader in(bytes);
    int version = in.ReadByte();
    if (version < 24 || version > 31) {
        version = 0;
        in.Seek(0);
    }
    if (in.AtEnd())
        return PreparedFileProblem::Damaged;
    const std::uint8_t compression = in.ReadByte();
    if (compression != 0 && compression != 1 && compression != 255) {
        // The oldest layout: the printer name ends with a zero byte, each
        // entry holds size (word), width, height (ints), orientation and
        // use-margins bytes, then the page's metafile.
        in.Seek(0);
        if (bytes.find('\0') == std::string_view::npos)
            return PreparedFileProblem::Damaged;
        in.ReadOldLineList();
        return entriesFit(in, 12, [](std::string_view) { return true; }) ? PreparedFileProblem::None
                                                                          : PreparedFileProblem::Damaged;
    }
    // Printer name: word N, N bytes, one more byte.
    if (in.Remaining() < 2)
        return PreparedFileProblem::Damaged;
    const size_t nameLength = in.ReadWord();
    if (in.Remaining() < nameLength + 1)
        return PreparedFileProblem::Damaged;
    in.Skip(nameLength + 1);
    // Size word, width and height ints, orientation byte, since version 24 the
    // bin int, the use-margins byte, since 24 four margin ints.
    const size_t fixed = version > 23 ? 2 + 4 + 4 + 1 + 4 + 1 + 16 : 2 + 4 + 4 + 1 + 1;
    // Uncompressed page data is a page stream: empty, or its format version
    // byte and the object records.
    const auto pageStream = [compression](std::string_view data) {
        if (compression != 0 || data.empty())
            return true;
        const auto v = static_cast<std::uint8_t>(data.front());
        return v >= tmpl::kOldestVersion && v <= 31;
    };
    if (!entriesFit(in, fixed, pageStream))
        return PreparedFileProblem::Damaged;
    // The pages themselves are all there; only then does the compression
    // matter (a damaged compressed file is damaged first).
    if (compression != 0)
        return PreparedFileProblem::Compressed;
    return PreparedFileProblem::None;
}

} // namespace mirel::engine
