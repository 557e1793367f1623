// Any bytes as a prepared report file: the reader must not crash, hang, read
// out of bounds or allocate without bound; every page stream is read as the
// preview would, and the file writes and reads back to the same bytes.

#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <cstdint>
#include <string_view>

using namespace mirel::tmpl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TfrReport report;
    TfrPreparedPages pages;
    pages.LoadFromBytes(bytes, report);
    for (const TfrPreparedPage& page : pages.Pages) {
        const ViewList views = readPreparedStream(page.Stream);
        // What was read writes and reads back unchanged.
        const std::string stream = writePreparedStream(views);
        if (writePreparedStream(readPreparedStream(stream)) != stream)
            __builtin_trap();
    }
    const std::string saved = pages.SaveToBytes(report);
    TfrReport again;
    TfrPreparedPages back;
    back.LoadFromBytes(saved, again);
    if (back.SaveToBytes(again) != saved)
        __builtin_trap();
    return 0;
}
