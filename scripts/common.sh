# Shared by run.sh and test.sh: dependencies, builds and the Wine prefix.
# Everything here is idempotent: a second run installs and creates nothing.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ZRONDEL_BUILD:-$ROOT/build}

PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
          mingw-w64 g++-mingw-w64-i686-posix wine wine32:i386
          xvfb xauth x11-utils libx11-dev imagemagick fonts-liberation fonts-comic-neue locales)

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

build_windows() {
  log "building for Windows (32-bit, MinGW-w64)"
  cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$BUILD/win"
}

# A 32-bit Wine prefix inside the build folder, with the fonts the launcher
# asks for mapped to free look-alikes, and its windows left unmanaged: with no
# window manager on the display, hiding a managed window waits two seconds.
wine_environment() {
  export WINEPREFIX="$BUILD/wineprefix"
  export WINEARCH=win32
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
}

# Wine runs the launcher's 32-bit code as 32-bit Linux processes: a kernel
# built or booted without IA32 emulation refuses them ("Exec format error").
kernel_runs_32bit_programs() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 && return
  echo "this kernel does not run 32-bit x86 programs (IA32 emulation is off), so Wine cannot start here" >&2
  return 1
}

prepare_wine_prefix() {
  kernel_runs_32bit_programs || return 1
  wine_environment
  [ -f "$WINEPREFIX/.zrondel-ready-3" ] && return
  log "creating the Wine prefix (first time only)"
  rm -rf "$WINEPREFIX"
  xvfb-run -a wineboot -i >/dev/null 2>&1
  local key='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$key" /v "Courier New" /d "Liberation Mono" /f >/dev/null 2>&1
  # Comic Neue has no Cyrillic: the Russian captions would come out as Latin-1.
  wine reg add "$key" /v "Comic Sans MS" /d "Liberation Sans" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.zrondel-ready-3"
}
