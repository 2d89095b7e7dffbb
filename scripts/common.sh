# Shared by run.sh and test.sh: dependencies, builds and the Wine prefix.
# Everything here is idempotent: a second run installs and creates nothing.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ZRONDEL_BUILD:-$ROOT/build}

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          mingw-w64 g++-mingw-w64-i686-posix wine wine32:i386
          xvfb xauth x11-utils libx11-dev imagemagick fonts-liberation fonts-comic-neue locales
          python3-fusepy)

log() { printf '\n== %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs those of the named Debian packages that are not installed yet.
install_missing() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

install_deps() {
  install_missing "${PACKAGES[@]}"
  # Windows-1251 as the ANSI code page: Wine takes it from a Russian locale.
  if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    log "generating ru_RU.UTF-8"
    as_root sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
  fi
}

# Wine runs 32-bit Windows code in 32-bit Linux processes, which a kernel
# built or booted without IA32 emulation refuses ("Exec format error"). On
# such a kernel the code under Wine is a 64-bit build of the same sources,
# run by 64-bit Wine; what ships stays the 32-bit build. WINE_BITS says which
# one runs here, WINE_BUILD where it is built. ZRONDEL_WINE_BITS=64 runs the
# 64-bit build on a kernel that could run either, to see both widths.
choose_wine_bits() {
  [ -n "${WINE_BITS:-}" ] && return
  if [ "${ZRONDEL_WINE_BITS:-}" != 64 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    export WINE_BITS=32 WINE_BUILD="$BUILD/win"
  else
    [ "${ZRONDEL_WINE_BITS:-}" = 64 ] ||
      echo "this kernel does not run 32-bit x86 programs (IA32 emulation is off):" \
           "the Windows code runs under Wine as a 64-bit build of the same sources" >&2
    export WINE_BITS=64 WINE_BUILD="$BUILD/win64"
    install_missing wine64 g++-mingw-w64-x86-64-posix
  fi
}

# The shipped 32-bit build in $BUILD/win, and the 64-bit one in $BUILD/win64
# where that is what Wine runs here.
build_windows() {
  choose_wine_bits
  log "building for Windows (32-bit, MinGW-w64)"
  configure_and_build_windows "$BUILD/win" mingw-i686 || return
  [ "$WINE_BITS" = 32 ] && return
  log "building for Windows (64-bit, MinGW-w64), for Wine on this kernel"
  configure_and_build_windows "$BUILD/win64" mingw-x86_64
}

configure_and_build_windows() {
  cmake -S "$ROOT" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$2.cmake" >/dev/null &&
    cmake --build "$1"
}

# A Wine prefix inside the build folder, with the fonts the launcher asks for
# mapped to free look-alikes, and its windows left unmanaged: with no window
# manager on the display, hiding a managed window waits two seconds.
wine_environment() {
  choose_wine_bits
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
  if [ "$WINE_BITS" = 32 ]; then
    export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32
    return
  fi
  export WINEPREFIX="$BUILD/wineprefix64" WINEARCH=win64
  # Debian's "wine" always picks the 32-bit loader once wine32 is installed.
  local bin="$BUILD/wine64-bin"
  if [ ! -x "$bin/wine" ]; then
    mkdir -p "$bin"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$bin/wine"
    chmod +x "$bin/wine"
  fi
  case ":$PATH:" in *":$bin:"*) ;; *) export PATH="$bin:$PATH" ;; esac
}

prepare_wine_prefix() {
  wine_environment
  [ -f "$WINEPREFIX/.zrondel-ready-3" ] && return
  log "creating the Wine prefix (first time only)"
  rm -rf "$WINEPREFIX"
  xvfb-run -a wine wineboot -i >/dev/null 2>&1
  local key='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$key" /v "Courier New" /d "Liberation Mono" /f >/dev/null 2>&1
  # Comic Neue has no Cyrillic: the Russian captions would come out as Latin-1.
  wine reg add "$key" /v "Comic Sans MS" /d "Liberation Sans" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zrondel-ready-3"
}

# A copy of the prepared prefix whose display is at 144 DPI (150 %), for the
# journey that sees the launcher scaled: build/wineprefix-144dpi beside
# build/wineprefix (32-bit), build/wineprefix64-144dpi beside build/wineprefix64.
# Wine reads LogPixels when it starts. WINEPREFIX_144DPI names it.
prepare_wine_prefix_144dpi() {
  copy_wine_prefix 144dpi wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f || return
  export WINEPREFIX_144DPI="$WINEPREFIX-144dpi"
}

# A second prefix, with a wineserver of its own: a second session or PC
# running another launcher on the same folder. WINEPREFIX_SECOND names it.
prepare_second_wine_prefix() {
  copy_wine_prefix second || return
  export WINEPREFIX_SECOND="$WINEPREFIX-second"
}

# A copy of the prepared prefix beside it, $WINEPREFIX-<name>, made once;
# a command after the name finishes the copy, run in it.
copy_wine_prefix() {
  prepare_wine_prefix || return
  local copy="$WINEPREFIX-$1"
  [ -f "$copy/.zrondel-ready-$1" ] && return
  log "copying the Wine prefix for $1 (first time only)"
  wineserver -w
  rm -rf "$copy"
  cp -a "$WINEPREFIX" "$copy" || return
  if [ $# -gt 1 ]; then
    WINEPREFIX="$copy" "${@:2}" >/dev/null 2>&1 || return
    WINEPREFIX="$copy" wineserver -w
  fi
  touch "$copy/.zrondel-ready-$1"
}
