#include "codes/CodeLines.h"

#include "core/Text.h"

namespace mirel::codes {
namespace {

// Position of the first TAB, else of the first space, else npos.
size_t fieldBreak(std::string_view s) {
    const size_t tab = s.find('\t');
    return tab != std::string_view::npos ? tab : s.find(' ');
}

} // namespace

ImportFields splitImportLine(std::string_view line) {
    ImportFields fields;
    const size_t p = fieldBreak(line);
    std::string_view rest = line;
    if (p != std::string_view::npos) {
        fields.no = line.substr(0, p);
        rest = line.substr(p + 1);
    }
    rest = core::trimBlanks(rest);
    const size_t q = fieldBreak(rest);
    if (q != std::string_view::npos) {
        fields.key0 = rest.substr(0, q);
        rest = rest.substr(q + 1);
    }
    fields.key1 = core::trimBlanks(rest);
    return fields;
}

void appendExportLine(std::string& out, std::string_view no, std::string_view key0, std::string_view key1) {
    out += no;
    if (key0.empty()) {
        out += ' ';
    } else {
        out += '\t';
        out += key0;
        out += '\t';
    }
    out += key1;
    out += "\r\n";
}

} // namespace mirel::codes
