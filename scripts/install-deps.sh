#!/usr/bin/env bash
# Installs every Debian 12 package mirel needs to build, test, benchmark and run.
# Idempotent: when everything is present it only asks dpkg and returns.
# Works as root or through sudo.
#   --bench   also the peer programs only the benchmarks run (glabels)
set -euo pipefail

bench=0
for arg in "$@"; do
    case "$arg" in
        --bench) bench=1 ;;
        *) echo "install-deps: unknown option $arg (known: --bench)" >&2; exit 2 ;;
    esac
done

packages=(
    # toolchain
    build-essential cmake ninja-build ccache pkg-config git
    clang libclang-rt-14-dev
    # Qt 6: Core, Gui, Widgets, Sql (+ drivers), PrintSupport, Test, Svg
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev
    libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libqt6sql6-mysql
    # the code store's bulk writes use the SQLite C API on the QSQLITE handle
    libsqlite3-dev
    # pictures in templates
    libjpeg62-turbo-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    libzxing-dev libzint-dev zint
    sqlite3 poppler-utils xvfb xauth
    # bench/texttools.sh: GNU time for peak memory (split, paste, seq are coreutils)
    time
    # fonts: metric-compatible Arial / Courier New / Times New Roman, and a CJK face for 宋体
    fonts-liberation2 fonts-noto-cjk
)
if [ "$bench" -eq 1 ]; then
    packages+=(
        # bench/print.sh: glabels-3-batch prints the same labels beside mirel-cli
        glabels
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    sudo=(sudo)
else
    echo "install-deps: need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
