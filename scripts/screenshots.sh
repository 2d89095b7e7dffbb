#!/usr/bin/env bash
# The README's pictures: the ring with a tooltip, the main menu, the slot menu
# and the hint dialog, taken from the shipped launcher under Wine on a virtual
# screen, driven by xdotool as a hand would, written to docs/.
set -euo pipefail
source "$(dirname "$0")/common.sh"

if [ -z "${ZRONDEL_SHOTS_DISPLAY:-}" ]; then
  install_deps
  install_missing xdotool
  build_windows >/dev/null
  prepare_wine_prefix
  exec env ZRONDEL_SHOTS_DISPLAY=1 xvfb-run -a -s "-screen 0 640x480x24" bash "$0"
fi

wine_environment
work="$BUILD/screenshots"
rm -rf "$work" && mkdir -p "$work"
cp "$WINE_BUILD"/dist/* "$work/"

# settings.dat, byte by byte: little-endian counts, texts with their zero.
int32() { local v=$(($1 & 0xffffffff)) s=""; for shift in 0 8 16 24; do s+=$(printf '\\x%02x' $(((v >> shift) & 255))); done; printf "$s"; }
text() { int32 "${#1}"; [ -z "$1" ] || printf '%s\0' "$1"; }
declare -A target=([0]='C:\windows\notepad.exe' [1]='C:\windows\regedit.exe'
                   [7]='C:\windows\system32\winemine.exe' [12]='C:\windows\system32\cmd.exe'
                   [18]='C:\windows\system32\taskmgr.exe' [3]='https://www.winehq.org/'
                   [4]='::{20D04FE0-3AEA-1069-A2D8-08002B30309D}')
declare -A hint=([0]='Notepad' [1]='Registry' [7]='Minesweeper' [12]='Command line' [18]='Task manager'
                 [3]='WineHQ' [4]='This PC')
{
  printf 'ZRondelV3\0'
  int32 24
  for slot in $(seq 0 23); do
    if [ -n "${target[$slot]:-}" ]; then
      text "${target[$slot]}"; text ''; text ''; text "${hint[$slot]}"
    else
      int32 0
    fi
  done
  printf '\x01\x01'; int32 60; int32 60   # hide after launch, show at start, left, top
} >"$work/settings.dat"

trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$work"
wine zrondel.exe &
ring_shown() { xdotool search --name '^Ta\[V\]en Software' >/dev/null 2>&1; }
# Generous: a prefix's first boot on a slow machine takes minutes.
for _ in $(seq 3000); do ring_shown && break; sleep 0.2; done
ring_shown || { echo "the ring did not show within 10 minutes" >&2; exit 1; }
# Wine's own tray window would sit over the ring's corner; it may come a
# moment after the ring.
for _ in $(seq 25); do
  xdotool search --name '^Wine System Tray$' windowmove 470 430 >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 1

# A hand arrives at a point: buttons light up on the way in, not on a jump.
approach() { xdotool mousemove $(($1 - 4)) $(($2 - 3)); sleep 0.2; xdotool mousemove "$1" "$2"; sleep 0.8; }
shot() { import -window root -crop "$2" +repage "$ROOT/docs/$1.png"; echo "docs/$1.png"; }
registry=(238 144)   # the middle of the Registry sector, the ring at (60, 60)

approach "${registry[@]}"
shot ring 420x300+0+0

approach 204 93      # This PC's sector, the link beside it
shot places 420x300+0+0

approach 160 160     # the hub
xdotool click 3; sleep 1
shot mainmenu 420x300+0+0
xdotool key Escape; sleep 0.5

approach "${registry[@]}"
xdotool click 3; sleep 1
shot slotmenu 420x300+0+0
xdotool key Down Down Down Return; sleep 1.5   # "Hint"
shot editdlg 420x300+0+0
xdotool key Escape; sleep 0.5
