#!/usr/bin/env bash
# The performance report: builds what it needs, measures everything in one
# run on one Xvfb display and writes bench/REPORT.md.
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
RUNS=${RUNS:-15}
REST_MS=${REST_MS:-10000}
work="$BUILD/bench-report"

if [ -z "${ZRONDEL_REPORT_DISPLAY:-}" ]; then
  install_deps
  install_missing gnome-pie dbus
  build_windows >/dev/null
  cmake -S "$ROOT" -B "$BUILD/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD/bench" --target editor_bench save_bench >/dev/null
  prepare_wine_prefix
  rm -rf "$work" && mkdir -p "$work/inprocess"
  # The launcher with what ships beside it, in-process too: without
  # vcontrols.dll every start would stop at its "Error" box.
  cp "$WINE_BUILD"/dist/* "$WINE_BUILD"/bench/*.exe "$work/"
  cp "$WINE_BUILD/bench/inprocess/tooltip_bench.exe" "$WINE_BUILD/dist/vcontrols.dll" "$work/inprocess/"
  # One display for every measurement, the peer's included.
  exec env ZRONDEL_REPORT_DISPLAY=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0"
fi

wine_environment
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$work"
winwork="Z:${work//\//\\}"
figures="$work/figures.txt"
: >"$figures"
put() { echo "$1 $2" >>"$figures"; }
get() { awk -v k="$1" '$1 == k { print $2; exit }' "$figures"; }
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
TICK=$(getconf CLK_TCK)

# Start-up to a visible ring.
put launcher_startup_ms "$(wine startup_bench.exe "$winwork\\zrondel.exe" ZR_Main_Window_Class 'Ta[V]en Software [Z] Rondel' "$RUNS" | tr -d '\r' | tail -1)"
put minimal_startup_ms "$(wine startup_bench.exe "$winwork\\minimal_round.exe" MinimalRound 'Minimal round' "$RUNS" | tr -d '\r' | tail -1)"

# At rest, seen from a Windows process and from Linux.
at_rest() { # name exe class title
  local out="$work/rest-$1.txt" pid=""
  wine rest_bench.exe "$winwork\\$2" "$3" "$4" 3000 "$REST_MS" >"$out" &
  local bench=$!
  for _ in $(seq 200); do grep -q resting "$out" 2>/dev/null && break; sleep 0.1; done
  pid=$(pgrep -f "^Z:.*\\\\$2\$" | head -1 || true)
  local before=$(cpu_ticks "$pid")
  put "$1_rss_kb" "$(rss_kb "$pid")"
  wait "$bench" || true
  put "$1_linux_cpu_ms" $(( ($(cpu_ticks "$pid") - before) * 1000 / TICK ))
  tr -d '\r' <"$out" | sed "s/^/$1_/" >>"$figures"
}
at_rest launcher zrondel.exe ZR_Main_Window_Class 'Ta[V]en Software [Z] Rondel'
at_rest minimal minimal_round.exe MinimalRound 'Minimal round'

# The peer: gnome-pie on the same display, its own D-Bus session and home.
peer_home=$(mktemp -d) && mkdir -p "$peer_home/.config"
HOME="$peer_home" dbus-run-session -- bash -c '
  gnome-pie >"'"$work"'/gnome-pie.log" 2>&1 & pid=$!
  sleep 5
  if [ -d /proc/$pid ]; then
    echo "gnomepie_rss_kb $(awk "/^VmRSS/ { print \$2 }" /proc/$pid/status)"
    before=$(awk "{ print \$14 + \$15 }" /proc/$pid/stat)
    sleep '"$(( REST_MS / 1000 ))"'
    after=$(awk "{ print \$14 + \$15 }" /proc/$pid/stat)
    echo "gnomepie_cpu_ms $(( (after - before) * 1000 / '"$TICK"' ))"
    kill $pid; wait $pid 2>/dev/null
  else
    wait $pid; echo "gnomepie_failed exit-$?"
  fi' >>"$figures" 2>/dev/null || true
rm -rf "$peer_home"

# In-process: tooltip latency and messages at rest.
(cd inprocess && wine tooltip_bench.exe 1000 "$REST_MS" | tr -d '\r') >>"$figures"

# A save of a full table, under Wine and natively.
wine save_bench.exe "$winwork\\save.dat" 1000 | tr -d '\r' | sed 's/^/wine_/' >>"$figures"
"$BUILD/bench/bench/save_bench" "$work/save.dat" 1000 | sed 's/^/native_/' >>"$figures"
wineserver -k

# Size and imports of what ships, the 32-bit build.
shipped="$BUILD/win/dist/zrondel.exe"
size=$(stat -c %s "$shipped")
imports=$(LC_ALL=C i686-w64-mingw32-objdump -p "$shipped" | awk '/DLL Name/ {print $3}' | sort | paste -sd ' ')
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
rest_messages=$(awk '$1 == "rest_message" { printf "%s%s %s", sep, $2, $3; sep = ", " }' "$figures")
gnome_pie="$(get gnomepie_rss_kb) KiB"
[ -n "$(get gnomepie_rss_kb)" ] || gnome_pie="did not start: $(get gnomepie_failed); see the log: $(tail -3 "$work/gnome-pie.log" | tr '\n' ' ')"

{
  echo "# Performance report"
  echo
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') by \`bash bench/report.sh\`, all in one run on one Xvfb display."
  echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) CPUs, $(uname -sr); $(wine --version), running the $WINE_BITS-bit build."
  echo
  echo "| measure | [Z] Rondel | minimal round window | ratio / peer |"
  echo "|---|---:|---:|---|"
  echo "| start to visible ring, median of $RUNS first starts | $(get launcher_startup_ms) ms | $(get minimal_startup_ms) ms | ratio $(ratio "$(get launcher_startup_ms)" "$(get minimal_startup_ms)") |"
  echo "| private bytes at rest (GetProcessMemoryInfo PrivateUsage, from another process) | $(get launcher_private_bytes) | $(get minimal_private_bytes) | Wine reports 0 when it does not count them |"
  echo "| working set at rest (same call) | $(get launcher_working_set) B | $(get minimal_working_set) B | ratio $(ratio "$(get launcher_working_set)" "$(get minimal_working_set)") |"
  echo "| Linux VmRSS of the wine process at rest | $(get launcher_rss_kb) KiB | $(get minimal_rss_kb) KiB | gnome-pie at rest: $gnome_pie |"
  echo "| CPU time over $((REST_MS / 1000)) s at rest (GetProcessTimes) | $(get launcher_cpu_ms) ms | $(get minimal_cpu_ms) ms | |"
  echo "| CPU time over $((REST_MS / 1000)) s at rest (Linux /proc stat) | $(get launcher_linux_cpu_ms) ms | $(get minimal_linux_cpu_ms) ms | gnome-pie: $(get gnomepie_cpu_ms) ms |"
  echo "| zrondel.exe size, stripped (32-bit, as shipped) | $size B ($(( (size + 1023) / 1024 )) KiB) | | |"
  echo "| imported DLLs | $imports | | |"
  echo
  echo "In-process (the launcher linked into the bench, its ring on screen, the pointer moved onto an outer sector with a hint):"
  echo
  echo "| measure | median | 99th percentile | rounds |"
  echo "|---|---:|---:|---:|"
  echo "| posted WM_MOUSEMOVE through the loop until the tooltip is visible | $(get posted_shown_median_us) µs | $(get posted_shown_p99_us) µs | $(get posted_rounds) ($(get posted_misses) missed) |"
  echo "| the same, until it is painted | $(get posted_painted_median_us) µs | $(get posted_painted_p99_us) µs | |"
  echo "| real SendInput move until the tooltip is visible | $(get real_shown_median_us) µs | $(get real_shown_p99_us) µs | $(get real_rounds) ($(get real_misses) missed) |"
  echo "| the same, until it is painted | $(get real_painted_median_us) µs | $(get real_painted_p99_us) µs | |"
  echo "| floor: a bare popup with the tooltip's styles and size, MoveWindow and SW_SHOWNOACTIVATE | $(get floor_shown_median_us) µs | $(get floor_shown_p99_us) µs | $(get floor_rounds) |"
  echo "| save of a full 24-slot table with 259-character texts ($(get native_save_bytes) B), native Release | $(get native_save_median_us) µs | $(get native_save_p99_us) µs | $(get native_save_runs) |"
  echo "| the same under Wine | $(get wine_save_median_us) µs | $(get wine_save_p99_us) µs | $(get wine_save_runs) |"
  echo
  echo "The floor is what this Wine and X server take to move and show a window of the tooltip's kind, with nothing of the launcher in it; the tooltip rows include it, with the sector's hover repaint and the tooltip fitting itself to text and icon."
  echo
  echo "At rest for $((REST_MS / 1000)) s with the pointer away (tooltip visible: $(get rest_tooltip_visible)): $(get rest_posted) messages taken from the queue (WH_GETMESSAGE), $(get rest_sent) sent (WH_CALLWNDPROC)${rest_messages:+ ($rest_messages)}; CPU time of the process $(get rest_cpu_ms) ms."
  echo
  echo "Line editor, one typed character with a full history (native Release):"
  echo
  "$BUILD/bench/bench/editor_bench"
} >"$ROOT/bench/REPORT.md"
cat "$ROOT/bench/REPORT.md"
