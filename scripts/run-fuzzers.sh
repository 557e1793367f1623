#!/usr/bin/env bash
# Runs each libFuzzer target for a fixed time (FUZZ_SECONDS, default 60), seeded
# with its corpus folder under fuzz/.
set -euo pipefail
build=${1:-build/fuzz}
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
status=0
for f in "$build"/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus="$build/fuzz/corpus-$name"
    mkdir -p "$corpus"
    seeds="$here/fuzz/seeds/${name#fuzz_}"
    echo "== $name for ${seconds}s"
    if [ -d "$seeds" ]; then
        "$f" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" "$seeds" || status=1
    else
        "$f" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" || status=1
    fi
done
exit $status
