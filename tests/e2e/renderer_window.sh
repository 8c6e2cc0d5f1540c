#!/usr/bin/env bash
# The renderer as the saver starts it: its window, its indifference to other
# input, and a clean exit code 0 within a second of Escape held down; then with
# "/fill", its window over the whole screen, drawn to the edges.
#   renderer_window.sh PATH-TO-RENDERER
. "$(dirname "$0")/lib.sh"
renderer=$1
drive_c=$(gelmo_drive_c)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -f "$drive_c/Gelmo01.bmp" "$drive_c/Gelmo02.bmp"   # untextured: white surfaces

# Starts the renderer and waits for its window: sets pid, wid and geometry
# ("x y width height"); ends the script when no window comes.
start_renderer() {  # LABEL [SWITCH]
  WINEDEBUG=-all,+debugstr,+wgl "$GELMO_WINE_LOADER" "$renderer" ${2:-} 2>"$work/stderr" &
  pid=$!
  wid=$(wait_window Gelmo_VC)
  check "${1}window Gelmo_VC appears" test -n "$wid"
  [ -n "$wid" ] || { kill "$pid"; finish; }
  geometry=$(window_geometry "$wid")
}

start_renderer ""
check "window is 1024x768 at the top-left corner (got $geometry)" test "$geometry" = "0 0 1024 768"
traced() {  # PATTERN: Wine may write the trace a little after the window shows
  local i
  for ((i = 0; i < 60; i++)); do
    grep -Eq "$1" "$work/stderr" && return 0
    sleep 0.05
  done
  return 1
}
check "debug line names the pixel format" traced 'PixelFormat Selected: [1-9][0-9]*\\nBPP: (24|32)\\n'
# Frames paced by the display: the driver is asked for one per refresh.
check "the renderer asks for a swap interval of 1" traced 'wglSwapIntervalEXT \(1\)'

# other keys, through the focus and sent to the window, and mouse clicks
xdotool windowfocus --sync "$wid" 2>/dev/null
xdotool key a space Return F1 2>/dev/null
xdotool key --window "$wid" q Tab 2>/dev/null
xdotool mousemove 500 400 click 1 click 3 mousemove 20 20 2>/dev/null
sleep 1
check "other keys and mouse clicks do not end the renderer" kill -0 "$pid"

import -window root "$work/a.png"
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')
whitest() { convert "$work/$1" -crop "$2" -format '%[fx:maxima.r*255]' info:; }
darkest() { convert "$work/$1" -crop "$2" -format '%[fx:minima.r*255]' info:; }
edges=("16x$((screen_h - 40))+$((screen_w - 16))+20" "$((screen_w - 40))x16+20+$((screen_h - 16))")
check "untextured surfaces are white" test "$(darkest a.png 1024x768+0+0)" -ge 254
check "the desktop shows beyond the window" test "$(whitest a.png "${edges[0]}")" -lt 254 -a "$(whitest a.png "${edges[1]}")" -lt 254

start=$(now)
escape_down "$wid"
wait_gone "$pid" 5 && gone=yes || gone=no
ended=$(now)
[ $gone = yes ] || kill "$pid"
wait "$pid"; rc=$?
escape_up "$wid"
check "process ended after Escape" test $gone = yes
check "exit code is 0 (got $rc)" test "$rc" = 0
check "ended within a second of Escape ($(awk -v a="$start" -v b="$ended" 'BEGIN{printf "%.3f s", b-a}'))" elapsed_below "$start" "$ended" 1.0

# Fill mode: one window over the screen, the scene right up to its edges.
start_renderer "/fill: " /fill
check "/fill: window covers the screen (got $geometry)" test "$geometry" = "0 0 $screen_w $screen_h"
sleep 1
import -window root "$work/fill.png"
check "/fill: the scene reaches the right and bottom edges" test "$(darkest fill.png "${edges[0]}")" -ge 254 -a "$(darkest fill.png "${edges[1]}")" -ge 254
escape_down "$wid"
wait_gone "$pid" 5 && gone=yes || gone=no
[ $gone = yes ] || kill "$pid"
wait "$pid"; rc=$?
escape_up "$wid"
check "/fill: Escape ends it with exit code 0 (got $rc)" test $gone = yes -a "$rc" = 0
finish
