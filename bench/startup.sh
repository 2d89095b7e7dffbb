#!/usr/bin/env bash
# Start-up time of the launcher against a minimal round window (median of
# RUNS first starts each, under Wine on Xvfb) and the launcher's size and
# imports. Prints a Markdown table.
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
RUNS=${RUNS:-15}
install_deps
build_windows >/dev/null
prepare_wine_prefix
work="$BUILD/bench-startup"
rm -rf "$work" && mkdir -p "$work"
cp "$BUILD/win/dist/zrondel.exe" "$BUILD/win/bench/minimal_round.exe" "$BUILD/win/bench/startup_bench.exe" "$work/"
cd "$work"
winwork="Z:${work//\//\\}"
measure() {
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c \
    "wine startup_bench.exe '$winwork\\$1' '$2' '$3' $RUNS; wineserver -k" | tr -d '\r' | tail -1
}
launcher=$(measure zrondel.exe ZR_Main_Window_Class 'Ta[V]en Software [Z] Rondel')
minimal=$(measure minimal_round.exe MinimalRound 'Minimal round')
size=$(stat -c %s zrondel.exe)
imports=$(LC_ALL=C i686-w64-mingw32-objdump -p zrondel.exe | awk '/DLL Name/ {print $3}' | sort | paste -sd ' ')
echo "| measure | value |"
echo "|---|---|"
echo "| launcher, start to visible ring (median of $RUNS) | $launcher ms |"
echo "| minimal round window (median of $RUNS) | $minimal ms |"
echo "| ratio | $(LC_ALL=C awk -v a="$launcher" -v b="$minimal" 'BEGIN { printf "%.2f", a / b }') |"
echo "| zrondel.exe, stripped | $size bytes ($(( (size + 1023) / 1024 )) KiB) |"
echo "| imported DLLs | $imports |"
