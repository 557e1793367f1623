#include "core/Runtime.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace mirel::core {

void ensureRuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/runtime-" + std::to_string(getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()) {
        ::chmod(folder.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray(folder.c_str()));
    }
}

} // namespace mirel::core
