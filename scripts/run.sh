#!/usr/bin/env bash
# Starts mirel from its build folder; without a display, runs the main job headless.
set -euo pipefail
bin=${1:-build/default/bin}
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/mirel"
fi
echo "run: no display; showing what mirel-cli can do instead"
QT_QPA_PLATFORM=offscreen "$bin/mirel-cli" --help
