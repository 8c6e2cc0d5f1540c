# Shared settings of the build, test, run and benchmark scripts (sourced).
#
# The shipped programs are 32-bit (build/win-i686, always built with its
# tests).  Where the kernel runs 32-bit code, Wine's 32-bit loader runs them as
# they are.  Some kernels have 32-bit emulation switched off; there only the
# 64-bit loader starts, so the Windows tests and the demo run a 64-bit build of
# the same sources (build/win-x86_64).  Which one runs can only be told once
# Wine is installed: scripts call gelmo_choose_wine after scripts/setup.
GELMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
GELMO_BUILD=${GELMO_BUILD:-$GELMO_ROOT/build}
GELMO_SHIP_BUILD=$GELMO_BUILD/win-i686
GELMO_NATIVE_BUILD=$GELMO_BUILD/native
export GELMO_ROOT GELMO_BUILD GELMO_SHIP_BUILD GELMO_NATIVE_BUILD

# Picks the Windows build and Wine loader that run on this machine (once; the
# choice is handed down to child scripts through the environment) and sets
# what every Wine program here needs.  GELMO_WIN_ARCH=i686|x86_64 overrides.
gelmo_choose_wine() {
  if [ -z "${GELMO_WIN_ARCH:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
      GELMO_WIN_ARCH=i686 GELMO_WIN_REASON="i686 build under the 32-bit loader"
    elif [ -x /usr/lib/wine/wine ]; then
      GELMO_WIN_ARCH=x86_64 GELMO_WIN_REASON="x86_64 build: this kernel runs no 32-bit code"
    else
      GELMO_WIN_ARCH=x86_64 GELMO_WIN_REASON="x86_64 build: Wine's 32-bit loader is not installed"
    fi
  fi
  : "${GELMO_WIN_REASON:=$GELMO_WIN_ARCH build, chosen by GELMO_WIN_ARCH}"
  if [ "$GELMO_WIN_ARCH" = i686 ]; then
    GELMO_WINE_LOADER=/usr/lib/wine/wine; WINEARCH=win32
  else
    GELMO_WINE_LOADER=/usr/lib/wine/wine64; WINEARCH=win64
  fi
  GELMO_WIN_BUILD=$GELMO_BUILD/win-$GELMO_WIN_ARCH
  WINEPREFIX=${WINEPREFIX:-$GELMO_BUILD/wineprefix-$GELMO_WIN_ARCH}
  export GELMO_WIN_ARCH GELMO_WIN_REASON GELMO_WINE_LOADER GELMO_WIN_BUILD WINEARCH WINEPREFIX
  export WINEDEBUG=${WINEDEBUG:--all}
  # no Mono or Gecko installer prompts in a fresh prefix
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  # Code page 932 for the ANSI calls; programs with Japanese names need the
  # locale, which scripts/setup generates (so it is only named after that).
  export LC_ALL=ja_JP.UTF-8
  # the music tests play into ALSA's null device; keep PulseAudio out of the way
  export PULSE_SERVER=none
}

# One line saying which Windows build runs, and why.
gelmo_say_wine() { echo "Windows programs: $GELMO_WIN_REASON"; }

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
