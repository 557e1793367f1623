#!/usr/bin/env bash
# Starts mirel from its home folder: the folder of the built binaries (the
# default templates are copied into 模板/ there by the build; the empty code
# store and the db/ folder are made on first start), or MIREL_HOME when set, or
# the user's data folder when the binaries' folder is not writable, as mirel
# itself decides. Without a display it runs the main job headless instead: 100
# fresh codes into the home folder's dbno.csh, then 模板/infoNO.frf printed over
# them to labels.pdf.
#
#   scripts/run.sh [BIN_DIR]      (make run: BIN_DIR = build/default/bin)
set -euo pipefail
bin=$(cd "${1:-build/default/bin}" && pwd)
for program in mirel mirel-cli; do
    if [ ! -x "$bin/$program" ]; then
        echo "run: $bin/$program is not built; run 'make build' first" >&2
        exit 1
    fi
done

if [ -n "${MIREL_HOME:-}" ]; then
    home=$MIREL_HOME
elif [ -w "$bin" ]; then
    home=$bin
else
    home=${XDG_DATA_HOME:-$HOME/.local/share}/mirel
fi
mkdir -p "$home/模板" "$home/db"
home=$(cd "$home" && pwd)
export MIREL_HOME=$home

# The default templates of the build, where the home folder lacks them (an
# edited template is never replaced).
if [ -d "$bin/模板" ] && [ "$bin/模板" != "$home/模板" ]; then
    for shipped in "$bin/模板"/*; do
        [ -f "$shipped" ] || continue
        target="$home/模板/$(basename "$shipped")"
        [ -e "$target" ] || { cp "$shipped" "$target.part" && chmod u+rw "$target.part" && mv "$target.part" "$target"; }
    done
fi

cd "$home"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin/mirel"
fi

# Headless: nothing is shown, so draw on the offscreen platform and keep the
# output to what the operator needs.
export QT_QPA_PLATFORM=offscreen
cli="$bin/mirel-cli"
store="$home/dbno.csh"
echo "run: no display; running the main job headless in $home"
"$cli" codes generate --db "$store" --seed abcd --count 100 >/dev/null
echo "run: 100 codes generated into $store"

template="$home/模板/infoNO.frf"
if [ ! -f "$template" ]; then
    echo "run: no default template at $template; the codes are ready in $store"
    exit 0
fi
# The label data as the main window last saved it, when it has.
settings=()
[ -f "$home/system.ini" ] && settings=(--settings "$home/system.ini")
pdf="$home/labels.pdf"

# A mirel-cli that prints to PDF itself (print -o); otherwise the prepared
# labels (.frp) are painted into the PDF by 'render'.
if "$cli" print --help 2>/dev/null | grep -qE '(^|[[:space:],])-o([[:space:],]|$)'; then
    "$cli" print "$template" --db "$store" --quantity 100 "${settings[@]}" -o "$pdf" >/dev/null
else
    frp=$(mktemp --suffix=.frp)
    trap 'rm -f "$frp"' EXIT
    "$cli" print "$template" --db "$store" --quantity 100 "${settings[@]}" --frp "$frp" >/dev/null
    "$cli" render "$frp" -o "$pdf" >/dev/null
fi
echo "run: labels printed to $pdf"
