#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test:
# the native tests (with AddressSanitizer and UBSan), a bounded fuzz run of
# the settings reader, and the Windows tests under Wine on an Xvfb display.
# With --repeat N each Windows test program runs N times unless it fails
# first, and so do the 144-DPI and the English journeys: a test that fails
# one run in three shows up here, not in a landing.
set -uo pipefail
source "$(dirname "$0")/common.sh"

FUZZ_SECONDS=${ZRONDEL_FUZZ_SECONDS:-30}
REPEAT=1
if [ "${1:-}" = --repeat ]; then
  REPEAT=${2:-}
  [[ "$REPEAT" =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [--repeat N]" >&2; exit 2; }
fi
failures=()

install_deps

log "native build and tests"
if CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
     -DZRONDEL_SANITIZE=ON >/dev/null && cmake --build "$BUILD/native"; then
  (cd "$BUILD/native" && ctest --output-on-failure --timeout 300) || failures+=(native)
else
  failures+=(native-build)
fi

# A fuzzer from the seeds its seed writer makes, for the seconds given:
# any crash, sanitizer report or leak fails the run.
fuzz() {
  local name=$1 seconds=$2
  rm -rf "$BUILD/fuzz/$name-seeds" "$BUILD/fuzz/$name-corpus"
  mkdir -p "$BUILD/fuzz/$name-seeds" "$BUILD/fuzz/$name-corpus"
  "$BUILD/fuzz/tests/fuzz/${name}_seeds" "$BUILD/fuzz/$name-seeds" &&
    (cd "$BUILD/fuzz" && ./tests/fuzz/${name}_fuzz -max_total_time="$seconds" -print_final_stats=1 \
       "$name-corpus" "$name-seeds" 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY|Done') &&
    ! ls "$BUILD"/fuzz/crash-* "$BUILD"/fuzz/leak-* "$BUILD"/fuzz/timeout-* >/dev/null 2>&1
}

log "fuzzing the settings reader for ${FUZZ_SECONDS} s and the drag formats for $((FUZZ_SECONDS * 2 / 3)) s"
if CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
     -DZRONDEL_FUZZ=ON >/dev/null && cmake --build "$BUILD/fuzz"; then
  fuzz settings "$FUZZ_SECONDS" || failures+=(fuzz)
  fuzz drag $((FUZZ_SECONDS * 2 / 3)) || failures+=(fuzz-drag)
else
  failures+=(fuzz-build)
fi

log "Windows build and tests under Wine"
if ! build_windows; then
  failures+=(windows-build)
elif ! prepare_wine_prefix; then
  failures+=(wine)
else
  trap 'wineserver -k 2>/dev/null; [ -z "${WINEPREFIX_144DPI:-}" ] || WINEPREFIX="$WINEPREFIX_144DPI" wineserver -k 2>/dev/null
        [ -z "${WINEPREFIX_SECOND:-}" ] || WINEPREFIX="$WINEPREFIX_SECOND" wineserver -k 2>/dev/null' EXIT
  # The journeys drop files through the X server with the native drop tool.
  (cd "$WINE_BUILD" && ZRONDEL_XDND_DROP="$BUILD/native/tests/journeys/xdnd_drop" \
     xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300 \
       --repeat until-fail:"$REPEAT") || failures+=(windows)
  wineserver -k 2>/dev/null
  # The one journey at 150 %, in a prefix of its own whose display is at
  # 144 DPI; the run above skips it, and here it must run and pass.
  if ! prepare_wine_prefix_144dpi; then
    failures+=(wine-144dpi)
  else
    # Its output is shown; a skip or a failure leaves no "1 test passed".
    for ((run = 1; run <= REPEAT; run++)); do
      output=$(cd "$WINE_BUILD/tests/journeys" && WINEPREFIX="$WINEPREFIX_144DPI" timeout 300 \
         xvfb-run -a -s "-screen 0 1280x1024x24" wine journey_tests.exe --gtest_filter='*At144Dpi*' 2>&1)
      printf '%s\n' "$output"
      WINEPREFIX="$WINEPREFIX_144DPI" wineserver -k 2>/dev/null
      grep -q '^\[  PASSED  \] 1 test\.' <<<"$output" || { failures+=(windows-144dpi); break; }
    done
  fi
  # The one journey in English: an English user in the same prefix, for
  # whom the menus are English; the Russian run above skips it, and here it
  # must run and pass.
  for ((run = 1; run <= REPEAT; run++)); do
    output=$(cd "$WINE_BUILD/tests/journeys" && LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 timeout 300 \
       xvfb-run -a -s "-screen 0 1280x1024x24" wine journey_tests.exe --gtest_filter='*InEnglish*' 2>&1)
    printf '%s\n' "$output"
    wineserver -k 2>/dev/null
    grep -q '^\[  PASSED  \] 1 test\.' <<<"$output" || { failures+=(windows-english); break; }
  done
  if ! prepare_second_wine_prefix; then
    failures+=(wine-second)
  else
    output=$(cd "$WINE_BUILD/tests/journeys" && ZRONDEL_XDND_DROP="$BUILD/native/tests/journeys/xdnd_drop" \
       ZRONDEL_SECOND_WINE="env -u WINESERVERSOCKET LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 WINEPREFIX=$WINEPREFIX_SECOND $(command -v wine)" timeout 300 \
       xvfb-run -a -s "-screen 0 1280x1024x24" wine journey_tests.exe --gtest_filter='*TwoLaunchers*' 2>&1)
    printf '%s\n' "$output"
    grep -q '^\[  PASSED  \] 1 test\.' <<<"$output" || failures+=(windows-two-prefixes)
    wineserver -k 2>/dev/null
    WINEPREFIX="$WINEPREFIX_SECOND" wineserver -k 2>/dev/null
  fi
fi

if [ ${#failures[@]} -gt 0 ]; then
  log "FAILED: ${failures[*]}"
  exit 1
fi
log "all tests passed"
