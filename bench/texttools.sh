#!/usr/bin/env bash
# The serial text tools beside the shell tools that do the same work:
#   mirel-cli split --auto   vs  GNU split -l 1000            (200 MB of 20-character serials)
#   mirel-cli arrange        vs  GNU split -l P + paste -d '\n' (10,000,000 serials, 2,500,000 pages of 4)
# Targets: at most 1.5 times the peer's time, under 64 MB peak memory (max RSS).
# Usage: bench/texttools.sh BUILD_DIR   (e.g. build/bench); prints the figures and ratios.
set -euo pipefail

build=${1:-build/bench}
cli="$build/bin/mirel-cli"
if [ ! -x "$cli" ]; then
    echo "texttools.sh: $cli is missing; build first" >&2
    exit 1
fi
cli=$(cd "$(dirname "$cli")" && pwd)/mirel-cli
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C
runs=${TEXTTOOLS_RUNS:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/mirel-texttools.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Best elapsed seconds and the largest max RSS (KB) of `runs` runs; `prepare`
# (not timed) runs before each.
measure() {
    local prepare=$1
    shift
    local best="" rss=0
    for _ in $(seq "$runs"); do
        eval "$prepare"
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" > /dev/null 2> "$work/stderr" || {
            cat "$work/stderr" >&2
            return 1
        }
        read -r seconds kb < <(tail -n 1 "$work/time")
        if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$seconds; fi
        [ "$kb" -gt "$rss" ] && rss=$kb
    done
    echo "$best $rss"
}

status=0
report() {   # name ours_s ours_kb peer_s peer_kb
    local ratio mb
    ratio=$(awk -v a="$2" -v b="$4" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
    mb=$(awk -v k="$3" 'BEGIN { printf "%.1f", k / 1024 }')
    printf '%-8s mirel-cli %6.2f s %6.1f MB | peer %6.2f s %6.1f MB | time ratio %s\n' \
        "$1" "$2" "$mb" "$4" "$(awk -v k="$5" 'BEGIN { printf "%.1f", k / 1024 }')" "$ratio"
    if awk -v r="$ratio" 'BEGIN { exit !(r > 1.5) }'; then echo "  over 1.5 times the peer's time"; status=1; fi
    if [ "$3" -ge $((64 * 1024)) ]; then echo "  peak memory 64 MB or more"; status=1; fi
}

# 20-character serials with CR LF, as the system writes text files.
lines200=$((200000000 / 22))
mkdir -p "$work/split" "$work/gnu"
seq -f $'BJ%018.0f\r' 1 "$lines200" > "$work/split/serials.txt"
mkdir -p "$work/arrange"
seq -f $'BJ%018.0f\r' 1 10000000 > "$work/arrange/serials.txt"
echo "split:   $(stat -c %s "$work/split/serials.txt") bytes, $lines200 serials, pieces of 1000 lines"
echo "arrange: $(stat -c %s "$work/arrange/serials.txt") bytes, 10000000 serials, 2500000 pages of 4"

clean_split='find "$work/split" -name "[0-9]*serials.txt" -delete'
clean_gnu='rm -rf "$work/gnu"; mkdir "$work/gnu"'
read -r ours_s ours_kb < <(measure "$clean_split" "$cli" split "$work/split/serials.txt" --start 1 --end 1000 --auto)
read -r gnu_s gnu_kb < <(measure "$clean_gnu" split -l 1000 -a 5 "$work/split/serials.txt" "$work/gnu/x")
# Same bytes in the same pieces (the last piece of ours is filled up with empty lines).
cmp "$work/split/1000serials.txt" "$work/gnu/xaaaaa"
cmp "$work/split/4000000serials.txt" "$work/gnu/$(cd "$work/gnu" && ls | sed -n 4000p)"
report split "$ours_s" "$ours_kb" "$gnu_s" "$gnu_kb"
eval "$clean_split"
rm -rf "$work/gnu" "$work/split"

cd "$work/arrange"
read -r ours_s ours_kb < <(measure "rm -f ours.txt" "$cli" arrange serials.txt --pages 2500000 --labels 4 -o ours.txt)
read -r peer_s peer_kb < <(measure "rm -f col.* paste.txt" bash -c \
    "split -l 2500000 -d -a 1 serials.txt col. && paste -d '\n' col.0 col.1 col.2 col.3 > paste.txt")
cmp ours.txt paste.txt
report arrange "$ours_s" "$ours_kb" "$peer_s" "$peer_kb"
exit $status
