#!/usr/bin/env bash
# The code store side by side with the sqlite3 shell, on one machine in one run:
#   - mirel-cli codes generate of N codes (default 1,000,000) into a fresh store,
#     against the shell's .import of the same N rows into the same table reg
#     (target: at most 1.5 times the shell's time);
#   - peak memory of the generation and of an import of N lines (target: 200 MB);
#   - delete-all of N codes (target: under one second, process start included);
#   - export and import of N records, for information.
# Times are the best of RUNS runs of the whole process, start-up included.
# Usage: bench/codes.sh [BUILD_DIR]   (default build/bench)
set -euo pipefail
build=${1:-build/bench}
cli=$build/bin/mirel-cli
count=${CODES_BENCH_COUNT:-1000000}
runs=${CODES_BENCH_RUNS:-3}
[ -x "$cli" ] || { echo "codes.sh: no $cli (build the bench preset first)" >&2; exit 1; }
command -v sqlite3 >/dev/null || { echo "codes.sh: needs the sqlite3 shell" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# True when a numeric comparison such as "1.2 < 1.5" holds.
holds() { awk "BEGIN { exit !($1) }"; }
# Wall time of one command in seconds, its output discarded.
elapsed() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>"$work/stderr" || { cat "$work/stderr" >&2; return 1; }
    end=$(date +%s%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'
}
# The best of $runs runs; `prepare` runs before each (not timed).
best() {
    local prepare=$1; shift
    local best="" t
    for _ in $(seq "$runs"); do
        eval "$prepare"
        t=$(elapsed "$@")
        if [ -z "$best" ] || holds "$t < $best"; then best=$t; fi
    done
    echo "$best"
}
# Peak resident memory of one command in MB.
peak() {
    /usr/bin/time -v "$@" 2>"$work/time" >/dev/null
    awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$work/time"
}

# The rows the shell imports: those of a generated store, as CSV (ID, NO, key0, key1),
# into a table made by the store's own CREATE TABLE.
"$cli" codes generate --db "$work/seed.csh" --seed abcd --count "$count"
sqlite3 -csv "$work/seed.csh" "SELECT ID, NO, key0, key1 FROM reg ORDER BY ID" >"$work/rows.csv"
schema=$(sqlite3 "$work/seed.csh" .schema)
"$cli" codes export --db "$work/seed.csh" -o "$work/records.txt"

shell=$(best "rm -f '$work/shell.db'; sqlite3 '$work/shell.db' '$schema'" \
    sqlite3 "$work/shell.db" ".import --csv $work/rows.csv reg")
ours=$(best "rm -f '$work/fresh.csh'" \
    "$cli" codes generate --db "$work/fresh.csh" --seed abcd --count "$count")
[ "$(sqlite3 "$work/shell.db" 'SELECT count(*) FROM reg')" = "$count" ]
[ "$(sqlite3 "$work/fresh.csh" 'SELECT count(*) FROM reg')" = "$count" ]
ratio=$(awk -v a="$ours" -v b="$shell" 'BEGIN { printf "%.2f", a / b }')

rm -f "$work/fresh.csh"
generateMB=$(peak "$cli" codes generate --db "$work/fresh.csh" --seed abcd --count "$count")
importMB=$(peak "$cli" codes import --db "$work/fresh.csh" "$work/records.txt")
import=$(best "" "$cli" codes import --db "$work/fresh.csh" "$work/records.txt")
export=$(best "" "$cli" codes export --db "$work/fresh.csh" -o "$work/out.txt")
cmp -s "$work/out.txt" "$work/records.txt"
delete=$(best "cp '$work/seed.csh' '$work/full.csh'" "$cli" codes delete --db "$work/full.csh")
[ "$(sqlite3 "$work/full.csh" 'SELECT count(*) FROM reg')" = 0 ]

verdict() { if holds "$1"; then echo ok; else echo OVER; fi; }
printf '%-44s %10s %10s\n' "codes, $count records" "seconds" "target"
printf '%-44s %10s\n' "sqlite3 shell .import (CSV rows)" "$shell"
printf '%-44s %10s %10s  ratio %s  %s\n' "mirel-cli codes generate" "$ours" "1.5x" "$ratio" "$(verdict "$ratio <= 1.5")"
printf '%-44s %10s %10s  %s\n' "mirel-cli codes delete (full store)" "$delete" "1.0" "$(verdict "$delete < 1.0")"
printf '%-44s %10s\n' "mirel-cli codes import" "$import"
printf '%-44s %10s\n' "mirel-cli codes export" "$export"
printf '%-44s %10s %10s  %s\n' "peak memory, generate (MB)" "$generateMB" "200" "$(verdict "$generateMB < 200")"
printf '%-44s %10s %10s  %s\n' "peak memory, import (MB)" "$importMB" "200" "$(verdict "$importMB < 200")"
holds "$ratio <= 1.5 && $delete < 1.0 && $generateMB < 200 && $importMB < 200"
