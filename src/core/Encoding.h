#pragma once
// Text at the boundary between the system code page and Unicode.
//
// Inside the cores and the template model, text is a byte string in the system
// code page. We use GB18030 for it: byte-identical to GB2312 and GBK for every
// character they hold, and able to encode every Unicode character, so nothing an
// operator types is ever lost. Qt widgets, file names and console output are
// Unicode; convert once, at that boundary, with these helpers.

#include <QString>
#include <string>
#include <string_view>

namespace mirel {

// A byte string in the system code page (the name the stored formats use).
using AnsiString = std::string;

namespace core {

// Code page bytes to Unicode. A byte sequence that is not valid GB18030 becomes
// U+FFFD for each offending byte; valid text round-trips through fromUnicode().
QString toUnicode(std::string_view ansi);
std::string toUtf8(std::string_view ansi);

// Unicode to code page bytes. Every Unicode scalar value has a GB18030 form;
// unpaired surrogates become '?'.
AnsiString fromUnicode(const QString& text);
AnsiString fromUtf8(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (pure ASCII included).
bool isValidUtf8(std::string_view bytes);

// Reads the bytes of a text file as the system reads text files: UTF-8 when they
// carry a UTF-8 byte-order mark (which is dropped) or are valid UTF-8, otherwise
// code page bytes. Returns code page bytes either way.
AnsiString textFileToAnsi(std::string_view fileBytes);

} // namespace core
} // namespace mirel
