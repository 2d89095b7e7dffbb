#!/usr/bin/env bash
# Installs what is missing, builds the launcher and starts it under Wine.
# Without a display of your own it runs on a virtual one (Xvfb).
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_deps
build_windows
prepare_wine_prefix
log "starting the launcher (its settings.dat is written beside it in $WINE_BUILD/dist)"
cd "$WINE_BUILD/dist"
if [ -n "${DISPLAY:-}" ]; then
  wine zrondel.exe
else
  echo "no DISPLAY: running on a virtual screen; close the launcher with 'wineserver -k'"
  xvfb-run -a -s "-screen 0 1280x1024x24" wine zrondel.exe
fi
