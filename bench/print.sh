#!/usr/bin/env bash
# Printing labels to PDF beside glabels batch mode:
#   mirel-cli print TEMPLATE --db STORE -o OUT.pdf   vs   glabels-3-batch -o OUT.pdf TEMPLATE.glabels
# over the same serials (our code store, glabels' CSV), with the same sheet
# (A4, 50 x 30 mm labels, 3 x 9) and objects: the glabels template of
# ../shared/peers/ and our equivalent made by mirel-print-bench-template.
# Runs alternate, 10,000 labels each; mirel alone also prints 1,000 and
# 100,000. Then labels per second of the default template infoNO.frf (with its
# PDF417) to PDF and to 300 dpi PNG pages.
# Targets: at least 10 times faster than glabels on 10,000 labels, peak memory
# (max RSS) under 300 MB, 100,000 labels at most about 10 times 10,000.
# Usage: bench/print.sh [BUILD_DIR]   (default build/bench)
#   PRINT_RUNS=2 (runs of each, the best time and the largest peak count)
#   PRINT_PEERS=/work/shared/peers (where label-50x30-a4.glabels.in lies)
#   PRINT_DEFAULT_LABELS=2400 (labels of the default template)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build/bench}
build=$(cd "$build" && pwd)
cli="$build/bin/mirel-cli"
maker="$build/bench/mirel-print-bench-template"
for tool in "$cli" "$maker"; do
    if [ ! -x "$tool" ]; then
        echo "print.sh: $tool is missing; build first (make bench)" >&2
        exit 1
    fi
done
peers=${PRINT_PEERS:-$here/../shared/peers}
[ -f "$peers/label-50x30-a4.glabels.in" ] || peers=/work/shared/peers
glabels_in="$peers/label-50x30-a4.glabels.in"
if ! command -v glabels-3-batch > /dev/null; then
    echo "print.sh: glabels-3-batch is missing (scripts/install-deps.sh --bench installs it)" >&2
    exit 1
fi
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8
runs=${PRINT_RUNS:-2}
default_labels=${PRINT_DEFAULT_LABELS:-2400}
work=$(mktemp -d "${TMPDIR:-/tmp}/mirel-print.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Elapsed seconds and max RSS (KB) of one run into $work/last.
timed() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > "$work/stdout" 2> "$work/stderr" || {
        echo "print.sh: failed: $*" >&2
        cat "$work/stderr" >&2
        exit 1
    }
    tail -n 1 "$work/time" > "$work/last"
}
# Keeps the best time and the largest peak of a named measurement.
declare -A best peak
keep() {   # name
    local seconds kb
    read -r seconds kb < "$work/last"
    if [ -z "${best[$1]:-}" ] || awk -v a="$seconds" -v b="${best[$1]}" 'BEGIN { exit !(a < b) }'; then
        best[$1]=$seconds
    fi
    if [ -z "${peak[$1]:-}" ] || [ "$kb" -gt "${peak[$1]}" ]; then peak[$1]=$kb; fi
}
mb() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# The serials: one code store per quantity (seed "abcd", 10-character codes),
# and the same 10,000 codes as glabels' CSV.
"$maker" "$work/bench.frf"
for n in 1000 10000 100000; do
    "$cli" codes generate --seed abcd --count "$n" --db "$work/store-$n.csh" --list "$work/list-$n.txt" > /dev/null
done
{ echo SERIAL; tr -d '\r' < "$work/list-10000.txt" | awk '{ print $2 }'; } > "$work/serials.csv"
sed "s|@CSV@|$work/serials.csv|" "$glabels_in" > "$work/label.glabels"
echo "template: A4, 50 x 30 mm labels 3 x 9; static text, \"No. \" + serial, Code 128 of the serial"

mirel_print() {   # labels  out.pdf
    timed "$cli" print "$work/bench.frf" --db "$work/store-$1.csh" --quantity "$1" -o "$2"
    local want="{\"pages\":$(( ($1 + 26) / 27 )),\"labels\":$1}"
    if [ "$(cat "$work/stdout")" != "$want" ]; then
        echo "print.sh: mirel-cli printed $(cat "$work/stdout"), not $want" >&2
        exit 1
    fi
}

for _ in $(seq "$runs"); do
    timed glabels-3-batch -o "$work/glabels.pdf" "$work/label.glabels"
    keep glabels
    mirel_print 10000 "$work/mirel.pdf"
    keep mirel10000
done
for _ in $(seq "$runs"); do
    mirel_print 1000 "$work/mirel.pdf"
    keep mirel1000
    mirel_print 100000 "$work/mirel.pdf"
    keep mirel100000
done

status=0
printf '%-26s %8s %9s\n' "" seconds "peak MB"
printf '%-26s %8.2f %9s\n' "glabels-3-batch 10,000" "${best[glabels]}" "$(mb "${peak[glabels]}")"
for n in 1000 10000 100000; do
    printf '%-26s %8.2f %9s\n' "mirel-cli print $n" "${best[mirel$n]}" "$(mb "${peak[mirel$n]}")"
    if [ "${peak[mirel$n]}" -ge $((300 * 1024)) ]; then
        echo "  peak memory 300 MB or more"
        status=1
    fi
done
speedup=$(awk -v g="${best[glabels]}" -v m="${best[mirel10000]}" 'BEGIN { printf "%.1f", (m > 0 ? g / m : 0) }')
scale=$(awk -v a="${best[mirel100000]}" -v b="${best[mirel10000]}" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }')
echo "10,000 labels: glabels / mirel time ratio $speedup (target 10 or more)"
echo "100,000 / 10,000 labels time ratio $scale (target about 10)"
if awk -v r="$speedup" 'BEGIN { exit !(r < 10) }'; then echo "  less than 10 times faster than glabels"; status=1; fi
if awk -v r="$scale" 'BEGIN { exit !(r > 12) }'; then echo "  100,000 labels cost more than 12 times 10,000"; status=1; fi

# The default template with its PDF417 (a 2D-code text of Chinese and a line
# break), labels per second to PDF and to 300 dpi PNG pages.
default="$here/data/模板/infoNO.frf"
"$cli" codes generate --seed abcd --count "$default_labels" --db "$work/store-default.csh" > /dev/null
for output in pdf png; do
    unset 'best[default]' 'peak[default]'
    for _ in $(seq "$runs"); do
        rm -rf "$work/pages" "$work/default.pdf"
        if [ "$output" = pdf ]; then
            target=(-o "$work/default.pdf")
        else
            target=(--png "$work/pages" --dpi 300)
        fi
        timed "$cli" print "$default" --db "$work/store-default.csh" --quantity "$default_labels" \
            --var $'二维码=产品：苹果\n批号：26' "${target[@]}"
        keep default
    done
    rate=$(awk -v n="$default_labels" -v s="${best[default]}" 'BEGIN { printf "%.0f", (s > 0 ? n / s : 0) }')
    printf 'infoNO.frf %d labels to %-10s %6.2f s %6s MB  %s labels/s\n' "$default_labels" \
        "$([ "$output" = pdf ] && echo PDF || echo "300 dpi PNG")" "${best[default]}" "$(mb "${peak[default]}")" "$rate"
done
exit $status
