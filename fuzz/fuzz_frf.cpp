// Any bytes as a label template, a new-report template, a dictionary file and a
// form-stored report: the readers must not crash, hang, read out of bounds or
// allocate without bound, and what they leave must write and read back to the
// same bytes.

#include "template/TfrReport.h"

#include <cstdint>
#include <string_view>

using namespace mirel::tmpl;

namespace {

constexpr double kSaved = 45000.0;

void requireStableRoundTrip(TfrReport& report) {
    const std::string saved = report.SaveToBytes(kSaved);
    TfrReport again;
    RecordingHost quiet;
    again.LoadFromBytes(saved, quiet);
    if (!quiet.Messages().empty() || again.SaveToBytes(kSaved) != saved)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    {
        TfrReport report;
        RecordingHost host(mirel::AnsiString("pw"));
        report.LoadFromBytes(bytes, host, true);
        requireStableRoundTrip(report);
    }
    {
        TfrReport report;
        RecordingHost host;
        report.LoadFromTemplateBytes(bytes, host);
        requireStableRoundTrip(report);
    }
    {
        TfrDataDictionary dictionary;
        dictionary.LoadFromBytes(bytes);
        TfrDataDictionary again;
        again.LoadFromBytes(dictionary.SaveToBytes());
        if (again.SaveToBytes() != dictionary.SaveToBytes())
            __builtin_trap();
    }
    {
        TfrReport report;
        RecordingHost host;
        report.ReadReportForm(bytes, true, host);
    }
    return 0;
}
