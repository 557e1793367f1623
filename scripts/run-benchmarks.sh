#!/usr/bin/env bash
# Runs every benchmark program and script under bench/ against the given build.
set -euo pipefail
build=${1:-build/bench}
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
for b in "$build"/bench/*_bench; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" || status=1
done
for s in "$here"/bench/*.sh; do
    [ -x "$s" ] || continue
    echo "== $(basename "$s")"
    "$s" "$build" || status=1
done
exit $status
