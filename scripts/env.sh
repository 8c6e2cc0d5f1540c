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
  # A shell that started before setup generated it cannot take it on itself
  # (glibc opens the locale archive once in a process's life) and would warn;
  # the programs it starts open the archive afresh and get it.
  export LC_ALL=ja_JP.UTF-8 2>/dev/null
  # the music tests play into ALSA's null device; keep PulseAudio out of the way
  export PULSE_SERVER=none
}

# One line saying which Windows build runs, and why.
gelmo_say_wine() { echo "Windows programs: $GELMO_WIN_REASON"; }

# wineserver of the same build as the loader
gelmo_wineserver() {
  if [ "$GELMO_WIN_ARCH" = i686 ]; then /usr/lib/wine/wineserver32 "$@"; else /usr/lib/wine/wineserver64 "$@"; fi
}

# One persistent wineserver, primed (services and desktop up front), so that
# every Wine program after it comes up in about a second; and its end.  Neither
# keeps the caller's output open: a test started inside ctest would otherwise
# be waited for until the wineserver ends.
gelmo_wine_up() {
  gelmo_wineserver -p </dev/null >/dev/null 2>&1
  "$GELMO_WINE_LOADER" wineboot </dev/null >/dev/null 2>&1
}
gelmo_wine_down() { gelmo_wineserver -k 2>/dev/null; gelmo_wineserver -w 2>/dev/null; }

# A desk of several monitors inside the current display (the virtual screen of
# scripts/wine-session, or a real one): a nested X server, Xephyr, with one X
# screen for each monitor, joined by Xinerama into one root and laid out left
# to right in the order given, the first one the primary.  Wine's display
# driver sees one monitor however many the X server has, and says nothing,
# unless
#  - the i386 libXinerama and libXrandr are installed: the 32-bit driver loads
#    them at run time (dlopen), so no package depends on them and an install
#    without recommends leaves them out (scripts/setup names them);
#  - the RandR extension is off (-extension RANDR): where the server has it,
#    the driver asks RandR, and Xephyr's RandR has one output for the whole root.
# The wineserver's desktop reads the monitors when it starts, so it is started
# again on the desk, and again on the display before when the desk closes.
#   gelmo_desk_open WIDTHxHEIGHT...  (sets DISPLAY to the desk; false if none came)
#   gelmo_desk_close
gelmo_desk_open() {
  local n=20 screen args=() i
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  for screen in "$@"; do args+=(-screen "$screen"); done
  Xephyr ":$n" +xinerama -extension RANDR -ac -nolisten tcp "${args[@]}" >/dev/null 2>&1 &
  GELMO_DESK_PID=$! GELMO_DESK_BEFORE=$DISPLAY
  for ((i = 0; ; i++)); do
    xdpyinfo -display ":$n" >/dev/null 2>&1 && break
    if [ $i = 100 ] || ! kill -0 "$GELMO_DESK_PID" 2>/dev/null; then
      kill "$GELMO_DESK_PID" 2>/dev/null; return 1
    fi
    sleep 0.1
  done
  gelmo_wine_down
  export DISPLAY=:$n
  gelmo_wine_up
}
gelmo_desk_close() {
  gelmo_wine_down
  kill "$GELMO_DESK_PID" 2>/dev/null; wait "$GELMO_DESK_PID" 2>/dev/null
  export DISPLAY=$GELMO_DESK_BEFORE
  gelmo_wine_up
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

# The X id of the first top-level window whose caption matches the pattern.
# This xdotool ends with an X error when any window goes away while it looks
# (a closing dialog, say): such a search is made again, never taken for "none".
gelmo_find_window() {  # PATTERN
  local found i
  for ((i = 0; i < 20; i++)); do
    if found=$(xdotool search --name "$1" 2>&1); then grep -m 1 -E '^[0-9]+$' <<<"$found"; return; fi
    grep -q 'X Error' <<<"$found" || return 1
  done
  return 1
}
# Waits up to SECONDS for such a window; prints its X id.
gelmo_wait_window() {  # PATTERN SECONDS
  local until=$((SECONDS + $2))
  until gelmo_find_window "$1"; do
    [ "$SECONDS" -lt "$until" ] || return 1
    sleep 0.2
  done
}
# Ends every ゲルモ program running in the session (Wine names a process after
# its file) and waits for them to go.
gelmo_end_programs() {
  local i
  pkill -x 'ゲルモ\.(scr|dll)' || return 0
  for ((i = 0; i < 50; i++)); do pgrep -x 'ゲルモ\.(scr|dll)' >/dev/null || return 0; sleep 0.1; done
  pkill -9 -x 'ゲルモ\.(scr|dll)'; true
}

# Unix path of the prefix's C:\ drive
gelmo_drive_c() { printf '%s/drive_c' "$WINEPREFIX"; }

# A PulseAudio server of the caller's own in DIR, with one null sink "cap"
# whose monitor records in real time what is played into it (ALSA's file
# device has no clock): the music's end-to-end checks and benchmark.  Sets
# GELMO_PULSE_SERVER (for PULSE_SERVER) and GELMO_PULSE_PID.
gelmo_sound_server() {  # DIR
  local i
  mkdir -p "$1"
  printf 'load-module module-null-sink sink_name=cap rate=48000 channels=2\nset-default-sink cap\nload-module module-native-protocol-unix socket=%s/socket auth-anonymous=1\n' \
    "$1" >"$1/default.pa"
  HOME=$1 XDG_RUNTIME_DIR=$1 pulseaudio -n -F "$1/default.pa" --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=false --log-target=stderr 2>"$1/log" &
  GELMO_PULSE_PID=$!
  GELMO_PULSE_SERVER=unix:$1/socket
  for ((i = 0; i < 50; i++)); do [ -S "$1/socket" ] && break; sleep 0.1; done
}

# The benchmarks' reports are lines "NAME VALUE": one value of a report, the
# median of values given one a line, and a ratio to two places.
gelmo_field() { awk -v k="$1" '$1 == k {print $2}' "$2"; }
gelmo_median() { sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
# The machine a benchmark ran on, for its first line: cores, processor, Wine
# and the Windows programs' width.
gelmo_machine() {
  echo "$(nproc) cores, $(awk -F: '/model name/ {print $2; exit}' /proc/cpuinfo | sed 's/^ *//'); Wine $("$GELMO_WINE_LOADER" --version) ($GELMO_WIN_ARCH build)"
}
gelmo_ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
# Peak resident memory (VmHWM) of the newest process whose command line holds
# $1, read until it ends, in MiB; 0 when none starts within 6 s.
gelmo_peak_mib() {
  local pid="" kib=0 now i
  for ((i = 0; i < 600; i++)); do
    pid=$(pgrep -f -n "$1" || true)
    [ -z "$pid" ] || break
    sleep 0.01
  done
  [ -n "$pid" ] || { echo 0; return; }
  while now=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null) && [ -n "$now" ]; do
    kib=$now; sleep 0.02
  done
  echo $((kib / 1024))
}

# The screensaver program of an earlier revision, for a benchmark's "before":
# its sources taken with git archive into DIR/before-src, built (without
# tests) in DIR/before-ARCH (its ゲルモ.scr in scr/start there).
gelmo_build_saver_of() {  # REVISION DIR
  local tree=$2/before-src build=$2/before-$GELMO_WIN_ARCH
  rm -rf "$tree"; mkdir -p "$tree"
  git -C "$GELMO_ROOT" archive "$1" | tar -x -C "$tree"
  [ -f "$build/build.ninja" ] ||
    cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DGELMO_TESTS=OFF -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-$GELMO_WIN_ARCH.cmake" >/dev/null
  cmake --build "$build" --target gelmo_scr >/dev/null
}
