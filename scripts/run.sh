#!/usr/bin/env bash
# Starts mirel from its home folder, the folder of the built binaries (the
# default templates are copied into 模板/ there by the build; the empty code
# store and the db/ folder are made on first start). Without a display it runs
# the main job headless instead: 100 fresh codes into the home folder's
# dbno.csh, then 模板/infoNO.frf printed over them to labels.pdf.
set -euo pipefail
bin=$(cd "${1:-build/default/bin}" && pwd)
cd "$bin"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec ./mirel
fi

export QT_QPA_PLATFORM=offscreen
home=${MIREL_HOME:-$bin}
echo "run: no display; running the main job headless in $home"
./mirel-cli codes generate --seed abcd --count 100
echo "run: 100 codes generated into $home/dbno.csh"

# The print command of mirel-cli comes with the report engine.
if ! ./mirel-cli print --help 2>/dev/null | grep -q -- '-o'; then
    echo "run: this build of mirel-cli cannot print labels to PDF yet (no 'print -o'); the codes are ready in $home/dbno.csh"
    exit 0
fi
template="$home/模板/infoNO.frf"
if [ ! -f "$template" ]; then
    echo "run: no default template at $template; the codes are ready in $home/dbno.csh"
    exit 0
fi
./mirel-cli print "$template" --quantity 100 -o "$home/labels.pdf"
echo "run: labels printed to $home/labels.pdf"
