# Shared settings of the build, test, run and benchmark scripts (sourced).
#
# The shipped programs are 32-bit.  Where the kernel runs 32-bit code, Wine's
# 32-bit loader runs them as they are.  Some kernels have 32-bit emulation
# switched off; there only the 64-bit loader starts, so the Windows tests and the
# demo run a 64-bit build of the same sources, and the 32-bit programs are built
# (and checked to link) beside it.
GELMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export GELMO_ROOT

if [ -z "${GELMO_WIN_ARCH:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then GELMO_WIN_ARCH=i686; else GELMO_WIN_ARCH=x86_64; fi
fi
export GELMO_WIN_ARCH
if [ "$GELMO_WIN_ARCH" = i686 ]; then
  GELMO_WINE_LOADER=/usr/lib/wine/wine; export WINEARCH=win32
else
  GELMO_WINE_LOADER=/usr/lib/wine/wine64; export WINEARCH=win64
fi
export GELMO_WINE_LOADER

GELMO_BUILD=${GELMO_BUILD:-$GELMO_ROOT/build}
GELMO_WIN_BUILD=$GELMO_BUILD/win-$GELMO_WIN_ARCH
GELMO_SHIP_BUILD=$GELMO_BUILD/win-i686
GELMO_NATIVE_BUILD=$GELMO_BUILD/native
export GELMO_BUILD GELMO_WIN_BUILD GELMO_SHIP_BUILD GELMO_NATIVE_BUILD

export WINEPREFIX=${WINEPREFIX:-$GELMO_BUILD/wineprefix-$GELMO_WIN_ARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# no Mono or Gecko installer prompts in a fresh prefix
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# code page 932 for the ANSI calls; programs with Japanese names need the locale
export LC_ALL=ja_JP.UTF-8
# the music tests play into ALSA's null device; keep PulseAudio out of the way
export PULSE_SERVER=none

# wineserver of the same build as the loader
gelmo_wineserver() {
  if [ "$GELMO_WIN_ARCH" = i686 ]; then /usr/lib/wine/wineserver32 "$@"; else /usr/lib/wine/wineserver64 "$@"; fi
}

gelmo_ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$GELMO_WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1 || true
    gelmo_wineserver -w
  fi
  # The dialog's Japanese font, ＭＳ Ｐゴシック (and its fixed-pitch sibling),
  # drawn with Debian's IPA fonts.
  if ! grep -q 'Fonts\\\\Replacements' "$WINEPREFIX/user.reg" 2>/dev/null; then
    local key='HKCU\Software\Wine\Fonts\Replacements'
    "$GELMO_WINE_LOADER" reg add "$key" /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1 || true
    "$GELMO_WINE_LOADER" reg add "$key" /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1 || true
    gelmo_wineserver -w
  fi
}

# Unix path of the prefix's C:\ drive
gelmo_drive_c() { printf '%s/drive_c' "$WINEPREFIX"; }
