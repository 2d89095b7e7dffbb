# Shared by run.sh and test.sh: dependencies, builds and the Wine prefix.
# Everything here is idempotent: a second run installs and creates nothing.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ZRONDEL_BUILD:-$ROOT/build}

# What every run needs; a package of these that cannot be installed stops
# the script before it builds anything.
PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          mingw-w64 g++-mingw-w64-i686-posix wine
          xvfb xauth x11-utils libx11-dev imagemagick fonts-liberation fonts-comic-neue locales
          python3-fusepy)
# 32-bit Wine, for the 32-bit route. A mirror whose i386 index is half
# synced cannot serve it; the Windows code then runs on the 64-bit route.
PACKAGES_32BIT_WINE=(wine32:i386)
PACKAGES_64BIT_WINE=(wine64 g++-mingw-w64-x86-64-posix)

log() { printf '\n== %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

APT_OUTPUT=$BUILD/apt-output.txt

# apt-get with its arguments, tried up to 3 times a few seconds apart: a
# mirror in the middle of a sync fails for a moment. What apt said the last
# time is in $APT_OUTPUT.
apt_retried() {
  local try
  mkdir -p "$BUILD"
  for try in 1 2 3; do
    as_root env DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>&1 | tee "$APT_OUTPUT"
    [ "${PIPESTATUS[0]}" -eq 0 ] && return 0
    [ "$try" -lt 3 ] && { echo "apt-get $1 failed (try $try of 3); trying again in 5 s" >&2; sleep 5; }
  done
  return 1
}

APT_UPDATED=
apt_update_once() {
  [ -n "$APT_UPDATED" ] && return
  APT_UPDATED=1
  # A list that still fails is not the end: the packages may be in the
  # lists that did come; the install says whether they are.
  apt_retried update -qq || echo "apt-get update failed 3 times; going on with the package lists there are" >&2
}

# Installs those of the named Debian packages that are not installed yet;
# false, with apt's words in $APT_OUTPUT and the packages in $NOT_INSTALLED,
# when they cannot be installed.
try_install() {
  NOT_INSTALLED=()
  for package in "$@"; do
    installed "$package" || NOT_INSTALLED+=("$package")
  done
  [ ${#NOT_INSTALLED[@]} -eq 0 ] && return
  log "installing ${NOT_INSTALLED[*]}"
  if [[ " ${NOT_INSTALLED[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    APT_UPDATED=
  fi
  apt_update_once
  apt_retried install -y -qq --no-install-recommends "${NOT_INSTALLED[@]}"
}

# The same, where nothing can go on without them: stops the script at once,
# naming the packages, what apt said and what to try.
install_missing() {
  try_install "$@" && return
  {
    log "FAILED: cannot install ${NOT_INSTALLED[*]}"
    echo "apt-get said:"
    grep -E '^(E|W):' "$APT_OUTPUT" | tail -n 8 | sed 's/^/  /'
    echo "Nothing was built. Try again later: a package mirror in the middle of a sync serves"
    echo "a package again once it is done. Where only i386 packages fail, the 64-bit route needs"
    echo "none: ZRONDEL_WINE_BITS=64 bash scripts/$(basename "$0")"
  } >&2
  exit 1
}

install_deps() {
  install_missing "${PACKAGES[@]}"
  if [ "${ZRONDEL_WINE_BITS:-}" != 64 ] && ! try_install "${PACKAGES_32BIT_WINE[@]}"; then
    echo "32-bit Wine (${NOT_INSTALLED[*]}) cannot be installed now: the Windows code runs on the 64-bit route; the shipped 32-bit build is still built" >&2
  fi
  choose_wine_bits
  # Windows-1251 as the ANSI code page: Wine takes it from a Russian locale;
  # Windows-1252 and an English interface for the second session of the
  # two-prefix journey and for the journey that reads the English menus.
  generate_locale ru_RU
  generate_locale en_US
}

# Generates the UTF-8 locale of that name unless it is there.
generate_locale() {
  locale -a 2>/dev/null | grep -qi "^$1\.utf-\?8\$" && return
  log "generating $1.UTF-8"
  as_root sed -i "s/^# *\($1.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^$1.UTF-8 UTF-8" /etc/locale.gen || echo "$1.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}

# Wine runs 32-bit Windows code in 32-bit Linux processes, which a kernel
# built or booted without IA32 emulation refuses ("Exec format error"), and
# which needs 32-bit Wine installed. Without either, the code under Wine is
# a 64-bit build of the same sources, run by 64-bit Wine; what ships stays
# the 32-bit build. WINE_BITS says which one runs here, WINE_BUILD where it
# is built. ZRONDEL_WINE_BITS=64 runs the 64-bit build on a machine that
# could run either, to see both widths.
choose_wine_bits() {
  [ -n "${WINE_BITS:-}" ] && return
  if [ "${ZRONDEL_WINE_BITS:-}" != 64 ] && installed wine32:i386 && /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    export WINE_BITS=32 WINE_BUILD="$BUILD/win"
    return
  fi
  if [ "${ZRONDEL_WINE_BITS:-}" != 64 ] && installed wine32:i386; then
    echo "this kernel does not run 32-bit x86 programs (IA32 emulation is off):" \
         "the Windows code runs under Wine as a 64-bit build of the same sources" >&2
  fi
  export WINE_BITS=64 WINE_BUILD="$BUILD/win64"
  install_missing "${PACKAGES_64BIT_WINE[@]}"
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
