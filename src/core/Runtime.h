#pragma once

namespace mirel::core {

// Gives the process a private runtime folder (XDG_RUNTIME_DIR) when the session
// has none, as in CI or over ssh, so Qt does not warn about it on every start.
// Call before the Qt application object is created.
void ensureRuntimeFolder();

} // namespace mirel::core
