#pragma once
// Cutting a text file of serials into pieces of a chosen number of lines.
//
// A piece is the run of source lines from its first to its last line (1-based,
// inclusive); a line past the end of the source is an empty line. Every piece is
// written as code page text, each line followed by CR LF. Both functions read the
// source twice, first to check it and then to copy, holding one read buffer and
// one write buffer whatever the size of the file.

#include <QString>
#include <cstdint>
#include <functional>

namespace mirel::texttools {

// The name of an automatic piece: the decimal number of its last line followed
// by the source's file name, in the source's folder. "/data/list.txt", 500 ->
// "/data/500list.txt"; "list.txt", 500 -> "500list.txt".
QString pieceFileName(const QString& sourcePath, std::int64_t lastLine);

// True when one of the pieces an automatic split from start..end of a source of
// `lineCount` lines, named after `namingFile`, would be written over `file`. The
// window names pieces after the file last opened, which need not be the source.
bool pieceWouldReplace(const QString& namingFile, std::int64_t start, std::int64_t end, std::int64_t lineCount,
                       const QString& file);

// Checks a piece request against a source of `lineCount` lines; throws
// TextToolError when start is not 1 or more, end is below start, or start lies
// past the last line.
void checkPiece(std::int64_t start, std::int64_t end, std::int64_t lineCount, const QString& sourcePath);

// Writes lines start..end of `source` to `target` (exact name). Nothing is
// written when the request fails checkPiece or the source cannot be read.
void writePiece(const QString& source, std::int64_t start, std::int64_t end, const QString& target);

// The automatic split: the piece start..end, then each following piece of the
// same length, for as long as a piece starts within the source; the last piece
// is filled up with empty lines. Pieces are named by pieceFileName and replace
// files of that name; `written` is called with each name once it is complete.
// The request is checked before anything is written.
void splitAutomatically(const QString& source, std::int64_t start, std::int64_t end,
                        const std::function<void(const QString&)>& written = {});

} // namespace mirel::texttools
