#pragma once
// The plain text of a Rich Text Format document, for drawing rich text objects
// without a rich text engine: paragraphs and line breaks kept, formatting,
// tables of fonts, colours and styles, pictures and embedded objects dropped.

#include <QString>
#include <string_view>

namespace mirel::tmpl {

struct RichPlainText {
    QString text;            // paragraphs separated by '\n'
    int firstFontSize = 0;   // points of the first \fs in the body, 0 when none
};

// Reads `rtf` as far as it goes; text that is no RTF at all gives itself.
// Bytes of \'hh escapes are code page text (GB18030), \uN is Unicode.
RichPlainText richPlainText(std::string_view rtf);

} // namespace mirel::tmpl
