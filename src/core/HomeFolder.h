#pragma once
// The application's home folder: where system.ini, dbno.csh, 模板/ and db/ live.

#include <QString>

namespace mirel::core {

// The folder of the executable, as the program has always kept its files there.
// When that folder is not writable (a system-wide install) the same layout lives
// in the user's data folder (~/.local/share/mirel), created on first use. The
// environment variable MIREL_HOME, when set, names the folder instead (portable
// installs and tests). Absolute path, no trailing separator.
QString homeFolder();

// homeFolder() joined with a relative name, e.g. homePath("system.ini").
QString homePath(const QString& relative);

// The folder of the running executable (absolute, no trailing separator),
// available before any QCoreApplication exists.
QString executableFolder();

// Replaces the home folder for the rest of the process (tests); an empty path
// restores the normal lookup.
void setHomeFolderOverride(const QString& folder);

} // namespace mirel::core
