#!/usr/bin/env bash
# Builds what ships twice, each time from an empty build folder, packs each
# build into a zip with fixed timestamps and sorted entries, and keeps the
# archive only when the two are byte for byte the same:
#   build/release/zrondel-<version>.zip
set -euo pipefail
source "$(dirname "$0")/common.sh"

PACKAGES+=(python3)
install_deps

VERSION=1.1.5.33
OUT="$BUILD/release"
ARCHIVE="$OUT/zrondel-$VERSION.zip"

# Builds only the shipped targets into $1 and packs them into $2.
build_and_pack() {
  local build=$1 archive=$2
  rm -rf "$build"
  cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$build" --target zrondel vcontrols readme >/dev/null
  cp "$ROOT/LICENSE" "$build/dist/LICENSE"
  python3 - "$build/dist" "$archive" <<'PY'
import os, sys, zipfile
folder, archive = sys.argv[1], sys.argv[2]
names = sorted(["LICENSE", "readme.txt", "vcontrols.dll", "zrondel.exe"])
with zipfile.ZipFile(archive, "w") as out:
    for name in names:
        entry = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 0  # MS-DOS: no Unix owner or mode bits
        entry.external_attr = 0x20  # the archive attribute, as Explorer sets it
        with open(os.path.join(folder, name), "rb") as source:
            out.writestr(entry, source.read(), compresslevel=9)
PY
}

mkdir -p "$OUT"
log "release build 1 of 2"
build_and_pack "$OUT/build-1" "$OUT/first.zip"
log "release build 2 of 2"
build_and_pack "$OUT/build-2" "$OUT/second.zip"
if ! cmp -s "$OUT/first.zip" "$OUT/second.zip"; then
  log "FAILED: two builds of the same sources gave different archives"
  exit 1
fi
mv "$OUT/first.zip" "$ARCHIVE"
rm -f "$OUT/second.zip"
log "$ARCHIVE ($(stat -c %s "$ARCHIVE") bytes, sha256 $(sha256sum "$ARCHIVE" | cut -d' ' -f1))"
unzip -l "$ARCHIVE" 2>/dev/null || python3 -m zipfile -l "$ARCHIVE"
