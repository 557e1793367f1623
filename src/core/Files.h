#pragma once
// Whole-file reading and crash-safe writing.

#include <QString>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mirel::core {

// A file that cannot be read or written; the message names the file and the reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads a whole file as bytes; throws FileError naming the file when it is
// missing or unreadable.
std::string readFileBytes(const QString& path);

// Writes a file atomically: the bytes go to a temporary file in the same folder,
// which then replaces the target by a rename, so a crash leaves either the old
// file or the new one, never half of one. Throws FileError on failure (the
// target is then unchanged).
void writeFileAtomically(const QString& path, std::string_view bytes);

} // namespace mirel::core
