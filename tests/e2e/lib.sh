# Helpers of the end-to-end scripts; they run inside scripts/wine-session.
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/env.sh"
set -u
gelmo_choose_wine

failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
finish() { [ "$failures" = 0 ] && echo "all checks passed" || echo "$failures check(s) failed"; exit $((failures > 0)); }

# Seconds since the epoch, with fractions.
now() { date +%s.%N; }
elapsed_below() { awk -v a="$1" -v b="$2" -v limit="$3" 'BEGIN { exit !(b - a < limit) }'; }

# Waits for a top-level window with exactly this caption; prints its X id.
wait_window() { gelmo_wait_window "^$1\$" "${2:-30}"; }

# A script stopped at its time limit cannot end the programs it started, and
# their windows would stand in front of the next script's: each script starts
# with none running.
gelmo_end_programs

# Where a window is and how big: "x y width height".
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# Waits up to $2 seconds for process $1 to end; true if it did.
wait_gone() {
  local i
  for ((i = 0; i < $2 * 20; i++)); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
  return 1
}

# Escape held down in a window, then let go.  The key-up also goes through the
# X server's own keyboard, so that Wine does not keep Escape down for the next
# window to see.
escape_down() { xdotool keydown --window "$1" Escape; }
escape_up() { xdotool keyup --window "$1" Escape 2>/dev/null; xdotool keyup Escape 2>/dev/null; true; }
