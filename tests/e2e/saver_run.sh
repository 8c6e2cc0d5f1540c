#!/usr/bin/env bash
# ゲルモ.scr /s end to end: the hand-off bitmaps for each combination of
# object and background kinds, the renderer started and watched, the saver
# ending soon after the renderer's window has gone, and nothing else ending it.
#   saver_run.sh PATH-TO-SCR PATH-TO-RENDERER TEST.MP3 TEST.WAV SONGS-FOLDER
. "$(dirname "$0")/lib.sh"
scr=$1
renderer=$2
mp3=$3
wav=$4
songs=$5
info=$GELMO_NATIVE_BUILD/tools/gelmo_bmp_info
sound_runs=$GELMO_NATIVE_BUILD/tools/gelmo_sound_runs
drive_c=$(gelmo_drive_c)
app=$drive_c/gelmo-saver
rm -rf "$app"; mkdir -p "$app"
trap 'rm -rf "$app"' EXIT
cp "$scr" "$app/ゲルモ.scr"
cp "$renderer" "$app/ゲルモ.dll"
# pictures: the sample landscape (640x480) as BMP and JPEG, the plasma tile (256x256)
"$GELMO_WINE_LOADER" "$GELMO_WIN_BUILD/tools/gelmo_sample_pictures.exe" 'C:\gelmo-saver\object.bmp' 'C:\gelmo-saver\back.bmp'
convert "$app/object.bmp" -quality 92 "$app/object.jpg"

# settings file in code page 932: keys OBJ区分, OBJﾌｧｲﾙ, BACK区分, BACKﾌｧｲﾙ, BACKｶﾗｰ
# and BGM区分, BGMﾘﾋﾟｰﾄ, BGMﾌｧｲﾙ, and 全画面 when it is given
write_settings() {  # OBJKIND OBJFILE BACKKIND BACKFILE BACKCOLOUR [BGMKIND BGMFILE [FILLSCREEN]]
  printf '[Section]\r\nOBJ\x8b\xe6\x95\xaa= %s\r\nOBJ\xcc\xa7\xb2\xd9=%s\r\nBACK\x8b\xe6\x95\xaa= %s\r\nBACK\xcc\xa7\xb2\xd9=%s\r\nBACK\xb6\xd7\xb0= %s\r\n' \
    "$1" "$2" "$3" "$4" "$5" >"$app/ゲルモ.ini"
  printf 'BGM\x8b\xe6\x95\xaa= %s\r\nBGM\xd8\xcb\xdf\xb0\xc4= 0\r\nBGM\xcc\xa7\xb2\xd9=%s\r\n' "${6:-0}" "${7:-}" >>"$app/ゲルモ.ini"
  [ -z "${8:-}" ] || printf '\x91\x53\x89\xe6\x96\xca= %s\r\n' "$8" >>"$app/ゲルモ.ini"
}

# the folder of pictures of 8c (key ｽﾗｲﾄﾞﾌｫﾙﾀﾞ), 5 s each (ｽﾗｲﾄﾞ間隔)
slide_settings() {
  printf '\xbd\xd7\xb2\xc4\xde\xcc\xab\xd9\xc0\xde=C:\\gelmo-saver\\slides\r\n\xbd\xd7\xb2\xc4\xde\x8a\xd4\x8a\x75= 5\r\n' >>"$app/ゲルモ.ini"
}

# Sound goes to a file through ALSA, so that a test can tell it was played.
capture=$(mktemp -d)
printf 'pcm.!default { type file slave.pcm "null" file "%s/out.raw" format "raw" }\npcm.null { type null }\n' \
  "$capture" >"$capture/alsa.conf"
loudest() {  # the largest sample magnitude captured so far, 0..1
  [ -s "$capture/out.raw" ] || { echo 0; return; }
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$capture/out.raw" -n stat 2>&1 | awk '/Maximum amplitude/ {print $3}'
}
louder_than() { awk -v a="$(loudest)" -v b="$1" 'BEGIN { exit !(a > b) }'; }

saver_pid=
renderer_wid=
start_saver() {  # ARGUMENTS...
  rm -f "$drive_c/Gelmo01.bmp" "$drive_c/Gelmo02.bmp"
  # Wine's cursor trace shows each ShowCursor call with its thread.
  WINEDEBUG=-all,+cursor "$GELMO_WINE_LOADER" 'C:\gelmo-saver\ゲルモ.scr' "$@" >/dev/null 2>"$capture/trace" &
  saver_pid=$!
  renderer_wid=$(wait_window Gelmo_VC)
  [ -n "$renderer_wid" ]
}

# Escape in the renderer; the saver must follow within its 500 ms watch (and
# the music's half-second fade, where music plays).
end_saver() {  # CASE [SECONDS]
  if [ -z "$renderer_wid" ]; then  # no renderer came: nothing to end it with
    check "$1: saver ends after the renderer's window has gone" false
    gelmo_end_programs; wait "$saver_pid" 2>/dev/null  # a renderer that came late too
    return
  fi
  escape_down "$renderer_wid"
  local gone_at
  for ((i = 0; i < 100; i++)); do xwininfo -id "$renderer_wid" >/dev/null 2>&1 || break; sleep 0.05; done
  gone_at=$(now)
  escape_up "$renderer_wid"
  wait_gone "$saver_pid" 5 && local ended=yes || local ended=no
  check "$1: saver ends after the renderer's window has gone" test $ended = yes
  check "$1: ... within ${2:-1.0} s of it" elapsed_below "$gone_at" "$(now)" "${2:-1.0}"
  wait "$saver_pid" 2>/dev/null
  check "$1: hand-off bitmaps stay on disk" test -f "$drive_c/Gelmo01.bmp" -a -f "$drive_c/Gelmo02.bmp"
}

# Calls that show the cursor again: the renderer's one at Escape, plus the
# saver's at its end when it was started with /s (and had hidden it).
cursor_shows() { grep -c 'NtUserShowCursor 1,' "$capture/trace"; }
saver_hid_first() {  # the first call of all is the saver's hiding one, and that thread shows it once
  local tid
  tid=$(grep -m1 'NtUserShowCursor' "$capture/trace" | cut -d: -f1)
  grep -q "^$tid:trace:cursor:NtUserShowCursor 0, count=-1" "$capture/trace" &&
    test "$(grep -c "^$tid:trace:cursor:NtUserShowCursor 1," "$capture/trace")" = 1
}

bitmap() { "$info" "$drive_c/$1" "${@:2}"; }
screen=$(xwininfo -root | awk '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print w, h}')
window_size() { [ -n "$renderer_wid" ] && window_geometry "$renderer_wid" | cut -d' ' -f3,4; }

# 1. desktop snapshot for both, at screen size; other input does not end it
write_settings 0 "" 1 "" 0
check "desktop/desktop: renderer window appears" start_saver /s
check "desktop/desktop: object bitmap is the screen ($screen)" test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2)" = "$screen"
check "desktop/desktop: background bitmap is the same snapshot" cmp -s "$drive_c/Gelmo01.bmp" "$drive_c/Gelmo02.bmp"
check "desktop/desktop: the renderer keeps its 1024x768 window" test "$(window_size)" = "1024 768"
xdotool windowfocus "$renderer_wid" 2>/dev/null; xdotool key a space Return 2>/dev/null
xdotool mousemove 300 300 click 1 mousemove 600 500 2>/dev/null; sleep 1.5
check "desktop/desktop: keys and mouse end neither program" kill -0 "$saver_pid"
end_saver desktop/desktop
check "desktop/desktop (/s): the saver hid the cursor and gave it back once" saver_hid_first
check "desktop/desktop (/s): two calls show the cursor (renderer, saver)" test "$(cursor_shows)" = 2

# 2. picture file (JPEG) for the sheet; background kind 1 takes the object picture
write_settings 1 'C:\gelmo-saver\object.jpg' 1 "" 0
check "picture/desktop: renderer window appears" start_saver /s
check "picture/desktop: object bitmap holds the whole picture (640 480)" test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2)" = "640 480"
check "picture/desktop: background bitmap is the object picture, not the desktop" cmp -s "$drive_c/Gelmo01.bmp" "$drive_c/Gelmo02.bmp"
end_saver picture/desktop

# 2b. a portrait phone photo, stored on its side with the EXIF tag that turns
# it upright (orientation 6): the sheet is upright, red above blue, and
# reduced to 2048 pixels on its long side
convert -size 3024x2016 xc:red xc:blue -append -rotate 270 -quality 90 "$app/phone.jpg"
exiftool -q -overwrite_original '-Orientation#=6' "$app/phone.jpg"
write_settings 1 'C:\gelmo-saver\phone.jpg' 0 "" 0
check "phone photo: renderer window appears" start_saver /s
read -r w h top bottom < <(bitmap Gelmo01.bmp 768,200 768,1848)
check "phone photo: object bitmap is upright and reduced (1536 2048, got $w $h)" test "$w $h" = "1536 2048"
channels() { printf '%d %d %d' "0x${1:0:2}" "0x${1:2:2}" "0x${1:4:2}"; }
red() { read -r r g b < <(channels "$1"); [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; }
blue() { read -r r g b < <(channels "$1"); [ "$b" -gt 200 ] && [ "$r" -lt 60 ] && [ "$g" -lt 60 ]; }
check "phone photo: red above ($top), blue below ($bottom)" eval 'red "$top" && blue "$bottom"'
end_saver "phone photo"

# 3. desktop snapshot for the sheet, a picture file (BMP) for the backdrop
write_settings 0 "" 2 'C:\gelmo-saver\back.bmp' 0
check "desktop/picture: renderer window appears" start_saver /s
check "desktop/picture: object bitmap is the screen" test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2)" = "$screen"
check "desktop/picture: background bitmap is the picture (256 256)" test "$(bitmap Gelmo02.bmp 0,0 | cut -d' ' -f1,2)" = "256 256"
check "desktop/picture: ... with the picture's pixels" test "$(bitmap Gelmo02.bmp 0,0 | cut -d' ' -f3)" = "$("$info" "$app/back.bmp" 0,0 | cut -d' ' -f3)"
end_saver desktop/picture

# 4. plain red background at the work surface's size; empty command line
write_settings 1 'C:\gelmo-saver\object.bmp' 0 "" 255
check "picture/colour, no switch: renderer window appears" start_saver
check "picture/colour: background bitmap is plain red 73x77" test "$(bitmap Gelmo02.bmp 0,0 72,76 36,38)" = "73 77 FF0000 FF0000 FF0000"
check "picture/colour: object bitmap is the BMP picture" test "$(bitmap Gelmo01.bmp 100,400 | cut -d' ' -f1-3)" = "$("$info" "$app/object.bmp" 100,400)"
end_saver picture/colour
check "picture/colour (no switch): only the renderer shows the cursor" test "$(cursor_shows)" = 1

# 5. music files by their lower-case extensions, played while the saver runs
cp "$mp3" "$app/song.mp3"
cp "$wav" "$app/tune.wav"
for music in song.mp3 tune.wav; do
  rm -f "$capture/out.raw"
  write_settings 0 "" 0 "" 0 2 "C:\\gelmo-saver\\$music"
  export ALSA_CONFIG_PATH=$capture/alsa.conf
  check "$music: renderer window appears" start_saver /s
  unset ALSA_CONFIG_PATH
  sleep 3
  check "$music: the music is heard (peak $(loudest))" louder_than 0.2
  end_saver "$music" 2.0
done

# 5b. songs as they are heard, silences at their true length: a PulseAudio
# null sink of this script's own, recorded while the saver plays into it
# (ALSA's file device above has no clock).  Tones of 440, 660 and 880 Hz stand
# for three songs in three formats; a damaged file and a text file beside them.
gelmo_sound_server "$capture/pulse"
mkdir -p "$app/songs/more"
cp "$songs/a440.mp3" "$songs/b660.flac" "$app/songs/"
cp "$songs/c880.m4a" "$app/songs/more/"
head -c 20000 /dev/urandom >"$app/songs/damaged.mp3"
echo "not a song" >"$app/songs/notes.txt"
# The songs heard, one letter each (a 440 Hz, b 660 Hz, c 880 Hz), and the
# longest silence between two of them in ms, while the saver runs for
# SECONDS with the settings already written.
hear() {  # SECONDS [SEED]
  PULSE_SERVER=$GELMO_PULSE_SERVER parec -d cap.monitor --format=s16le --rate=48000 --channels=2 --raw \
    >"$capture/heard.raw" &
  local recorder=$!
  sleep 0.5
  GELMO_SHUFFLE_SEED=${2:-} PULSE_SERVER=$GELMO_PULSE_SERVER start_saver /s
  sleep "$1"
  end_saver "music heard" 2.0
  kill "$recorder"; wait "$recorder" 2>/dev/null
  "$sound_runs" "$capture/heard.raw" 48000 >"$capture/heard"
  # A blip of a few ms within a song (the sound device of this loaded
  # machine falling behind a moment) does not make it two songs: the parts
  # of one tone that together last no longer than one song are one.
  heard=$(awk '$1 == "silence" { quiet = $3 - $2 }
    $1 == "sound" && $3 - $2 >= 200 {
      tone = $4 < 550 ? "a" : $4 < 770 ? "b" : "c"
      if (tone == last && quiet < 100 && length_ + $3 - $2 < 1700) { length_ += $3 - $2; next }
      printf "%s", tone; last = tone; length_ = $3 - $2 }' "$capture/heard")
  longest_silence=$(awk '$1 == "silence" && $3 - $2 > m { m = $3 - $2 } END { print m + 0 }' "$capture/heard")
}
# The music fades out as the saver ends: the last 100 ms heard are less than
# half as loud as the 100 ms half a second before them.
fade_peaks() {  # the loudest sample of those two stretches
  local end peak
  end=$(awk '$1 == "sound" { e = $3 } END { print e / 1000 }' "$capture/heard")
  peak() {
    sox -t raw -r 48000 -e signed -b 16 -c 2 "$capture/heard.raw" -n trim "$(awk -v e="$end" -v b="$1" 'BEGIN { print e - b }')" 0.1 stat 2>&1 |
      awk '/Maximum amplitude/ { print $3 }'
  }
  echo "$(peak 0.6) $(peak 0.1)"
}
fades_out() { awk -v early="$1" -v late="$2" 'BEGIN { exit !(early > 0.2 && late < early / 2) }'; }
# Every song once a round, and no round starting with the song before: some
# alignment of the heard letters (the first song may have been cut short as
# the sound device started) makes at least two whole rounds of all three.
in_rounds() {  # LETTERS
  local s=$1 offset k ok
  for offset in 0 1 2; do
    ok=yes; k=$offset
    while ((k + 3 <= ${#s})); do
      local r=${s:k:3}
      [ "${r:0:1}" != "${r:1:1}" ] && [ "${r:0:1}" != "${r:2:1}" ] && [ "${r:1:1}" != "${r:2:1}" ] || ok=no
      ((k == 0)) || [ "${s:k-1:1}" != "${s:k:1}" ] || ok=no
      k=$((k + 3))
    done
    [ $ok = yes ] && ((k - offset >= 6)) && return 0
  done
  return 1
}
printf 'BGM\xcc\xab\xd9\xc0\xde=C:\\gelmo-saver\\songs\r\n' >"$capture/folder.ini"  # BGMﾌｫﾙﾀﾞ
write_settings 0 "" 0 "" 0 3 ""
cat "$capture/folder.ini" >>"$app/ゲルモ.ini"
hear 12 1
first=$heard
check "a folder of songs: all three heard, each once a round, the damaged file passed over ($heard)" in_rounds "$heard"
check "a folder of songs: under 100 ms of silence between two songs (longest $longest_silence ms)" test "$longest_silence" -lt 100
peaks=$(fade_peaks)
check "a folder of songs: the music fades out as the saver ends (peaks $peaks)" fades_out $peaks
write_settings 0 "" 0 "" 0 3 ""
cat "$capture/folder.ini" >>"$app/ゲルモ.ini"
hear 12 2
check "a folder of songs: another seed, another order ($first, then $heard)" test "$first" != "$heard"
check "a folder of songs, second run: each once a round ($heard)" in_rounds "$heard"
write_settings 0 "" 0 "" 0 2 'C:\gelmo-saver\song.mp3'
hear 7
sounding=$(awk '$1 == "sound" { t += $3 - $2 } END { print t + 0 }' "$capture/heard")
check "a single MP3 repeats: sound for $sounding ms of 7 s, more than twice its 2 s" test "$sounding" -gt 4000
check "a single MP3 repeats with under 100 ms of silence (longest $longest_silence ms)" test "$longest_silence" -lt 100
kill "$GELMO_PULSE_PID" 2>/dev/null; wait "$GELMO_PULSE_PID" 2>/dev/null

# 6. audio CD without a drive: the saver runs and ends as usual
write_settings 0 "" 0 "" 0 1 ""
check "audio CD, no drive: renderer window appears" start_saver /s
sleep 1
check "audio CD, no drive: the saver keeps running" kill -0 "$saver_pid"
end_saver "audio CD"

# 7. every screen filled: the renderer is asked for it; the snapshot is still the screen
write_settings 0 "" 1 "" 0 0 "" 1
check "fill screen: renderer window appears" start_saver /s
check "fill screen: the renderer's window covers the screen ($screen)" test "$(window_size)" = "$screen"
check "fill screen: object bitmap is the screen" test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2)" = "$screen"
end_saver "fill screen"

# 8. other ANSI code pages: the settings are read, the renderer is found and
# started, and the dialog writes the very bytes it writes on a Japanese system
confirm_dialog() {  # the dialog's 設定 button, clicked as a user would
  local wid
  "$GELMO_WINE_LOADER" 'C:\gelmo-saver\ゲルモ.scr' /c 2>/dev/null &
  local pid=$!
  wid=$(wait_window '<ゲルモ>')
  # Focused, the pointer moved onto the button and over it (its hover
  # tracking starts at a move inside it), then the button pressed and let go.
  # The window may be mapped a while before it takes clicks: try again while
  # it stays open.
  local try
  [ -n "$wid" ] && for ((try = 0; try < 10; try++)); do
    sleep 1
    xdotool windowfocus --sync "$wid" 2>/dev/null
    xdotool mousemove --window "$wid" 322 473; sleep 0.3
    xdotool mousemove --window "$wid" 324 474; sleep 0.3
    xdotool mousedown 1; sleep 0.2; xdotool mouseup 1
    wait_gone "$pid" 2 && break
  done
  wait_gone "$pid" 10 || kill "$pid"
  wait "$pid" 2>/dev/null
  [ -n "$wid" ]
}
write_settings 1 'C:\gelmo-saver\object.jpg' 1 "" 255.0 0 "" 1
cp "$app/ゲルモ.ini" "$capture/given.ini"
confirm_dialog
cp "$app/ゲルモ.ini" "$capture/written-932.ini"
# (the colour is given as 255.0 and saved as 255: a saved file differs from the given one)
check "code page 932: the dialog saves twelve keys" test "$(grep -c = "$capture/written-932.ini")" = 12 -a -n "$(cmp "$capture/given.ini" "$capture/written-932.ini")"
for locale in en_US.UTF-8:1252 zh_CN.UTF-8:936 hi_IN.UTF-8:65001; do
  export LC_ALL=${locale%%:*}
  cp=${locale##*:}
  write_settings 1 'C:\gelmo-saver\object.jpg' 1 "" 255 0 "" 1
  check "code page $cp: renderer window appears" start_saver /s
  check "code page $cp: the settings are read (the picture is on the sheet)" test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2)" = "640 480"
  check "code page $cp: ... and the screen is filled" test "$(window_size)" = "$screen"
  end_saver "code page $cp"
  write_settings 1 'C:\gelmo-saver\object.jpg' 1 "" 255.0 0 "" 1
  check "code page $cp: the settings dialog opens" confirm_dialog
  check "code page $cp: the dialog writes the same bytes as on code page 932" cmp "$capture/written-932.ini" "$app/ゲルモ.ini"
done
export LC_ALL=ja_JP.UTF-8

# 8b. Notepad's "Unicode" (UTF-16 LE after its mark), with a section of the
# user's own: the saver reads the chosen picture, and the dialog saves the
# file in code page 932 with that section as it was
write_settings 1 'C:\gelmo-saver\object.jpg' 1 "" 255.0 0 "" 1
printf '[Other]\r\nmine=\x95\x5c\r\n' >>"$app/ゲルモ.ini"
{ printf '\xff\xfe'; iconv -f CP932 -t UTF-16LE "$app/ゲルモ.ini"; } >"$capture/unicode.ini"
cp "$capture/unicode.ini" "$app/ゲルモ.ini"
check "UTF-16 settings: renderer window appears" start_saver /s
check "UTF-16 settings: the settings are read (the picture is on the sheet)" test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2)" = "640 480"
end_saver "UTF-16 settings"
cp "$capture/unicode.ini" "$app/ゲルモ.ini"
confirm_dialog
{ cat "$capture/written-932.ini"; printf '[Other]\r\nmine=\x95\x5c\r\n'; } >"$capture/expected.ini"
check "UTF-16 settings: the dialog saves them in 932, the other section kept" cmp "$capture/expected.ini" "$app/ゲルモ.ini"

# 8c. a folder of pictures, 5 s each: four plain colours (1600x1200) in four formats, one
# in a folder inside, one named in letters code page 932 lacks, a damaged
# file, and files that claim 30000 x 30000 pixels (refused unopened, and not
# tried again).  The centre of the sheet, sampled for
# 25 s over a grey backdrop, shows all four colours, none twice before all
# four, never a white or black sheet, from one renderer throughout.
slides=$app/slides
mkdir -p "$slides/inner"
convert -size 1600x1200 xc:'#ff0000' "$slides/red.png"
convert -size 1600x1200 xc:'#00ff00' -quality 95 "$slides/green.jpg"
convert -size 1600x1200 xc:'#0000ff' BMP3:"$slides/inner/blue.bmp"
convert -size 1600x1200 xc:'#ffff00' "$slides/jaune d'été.gif"
head -c 3000 /dev/urandom >"$slides/damaged.jpg"
cp "$GELMO_WIN_BUILD"/tests/pictures/claims-30000.{png,gif,tif} "$slides/"
write_settings 2 "" 0 "" 8421504
slide_settings
check "folder: renderer window appears" start_saver /s
renderer_pid=$(pgrep -f -n 'gelmo-saver.ゲルモ.dll')
# The colour of the screen at each point given (X,Y): the hue of the mean of
# the 9x9 pixels around it, or black, white or mixed (a fade, the grey
# backdrop); one line each.  The sample is the window's centre.
colours_at() {
  import -silent -window root "$capture/shot.png" 2>/dev/null
  local point
  for point in "$@"; do
    convert "$capture/shot.png" -crop "9x9+$((${point%,*} - 4))+$((${point#*,} - 4))" -resize '1x1!' \
      -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]\n' info:
  done |
    awk '{ r = $1; g = $2; b = $3; hi = r; lo = r
           if (g > hi) hi = g; if (b > hi) hi = b; if (g < lo) lo = g; if (b < lo) lo = b
           if (hi < 40) { print "black"; next } if (lo > 215) { print "white"; next }
           if ((hi - lo) / hi < 0.25) { print "mixed"; next }
           if (hi == r) h = 60 * (g - b) / (hi - lo); else if (hi == g) h = 120 + 60 * (b - r) / (hi - lo); else h = 240 + 60 * (r - g) / (hi - lo)
           if (h < 0) h += 360
           if (h < 25 || h > 335) print "red"; else if (h > 40 && h < 80) print "yellow"
           else if (h > 95 && h < 145) print "green"; else if (h > 215 && h < 265) print "blue"; else print "mixed" }'
}
sample() { colours_at 512,384; }
seen="" run_colour="" run_length=0 shades=""
sleep 1  # the window is black until its first frame, whatever the picture
end_at=$(($(date +%s) + 25))
while [ "$(date +%s)" -lt "$end_at" ]; do
  c=$(sample)
  shades+=" $c"
  if [ "$c" = "$run_colour" ]; then run_length=$((run_length + 1)); else run_colour=$c run_length=1; fi
  # a colour held for three samples in a row is a picture shown, not a fade
  if [ $run_length = 3 ] && [ "$c" != mixed ] && [ "${seen##* }" != "$c" ]; then seen+=" $c"; fi
done
first_four=$(tr ' ' '\n' <<<"$seen" | sed '/^$/d' | head -n 4 | sort -u | tr '\n' ' ')
check "folder: all four colours, none twice before all four (shown:$seen)" test "$first_four" = "blue green red yellow "
check "folder: never a white or black sheet (samples:$shades)" eval '! grep -Eq "black|white" <<<"$shades"'
check "folder: the renderer is the same process throughout" test "$(pgrep -f -n 'gelmo-saver.ゲルモ.dll')" = "$renderer_pid"
end_saver folder

# 9. a desk of two monitors of different shapes side by side: the primary, 16:9,
# at the origin, and a portrait one right of it.  Filled, each shows the whole
# scene in its own shape: the plain red backdrop at its four corners, the green
# sheet at its centre.  Not filled, the renderer's window is where it always is.
convert -size 320x240 xc:'#00ff00' BMP3:"$app/green.bmp"
gelmo_desk_open 1280x720 960x1080 && desk=yes || desk=no
check "two monitors: the desk opens" test $desk = yes
if [ $desk = yes ]; then
  write_settings 1 'C:\gelmo-saver\green.bmp' 0 "" 255 0 "" 1
  check "two monitors, filled: renderer window appears" start_saver /s
  geometry=$(window_geometry "$renderer_wid")
  check "two monitors, filled: the window covers both ($geometry)" test "$geometry" = "0 0 2240 1080"
  sleep 1
  import -window root "$capture/desk.png"
  colour_at() {  # X Y: the mean red, green and blue (0..255) of the 9x9 pixels around it
    convert "$capture/desk.png" -crop "9x9+$(($1 - 4))+$(($2 - 4))" -resize '1x1!' \
      -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:
  }
  backdrop() { [ "$1" -gt 80 ] && [ "$2" -lt $(($1 / 3)) ] && [ "$3" -lt $(($1 / 3)) ]; }  # R G B: red
  sheet() { [ "$2" -gt 80 ] && [ "$2" -gt $(($3 * 2)) ]; }                                   # R G B: green shows
  for monitor in "1280 720 0 0 16:9 primary" "960 1080 1280 0 portrait"; do
    read -r w h x y name <<<"$monitor"
    for corner in "$((x + 8)) $((y + 8))" "$((x + w - 9)) $((y + 8))" "$((x + 8)) $((y + h - 9))" "$((x + w - 9)) $((y + h - 9))"; do
      colour=$(colour_at $corner)
      check "two monitors, filled: the $name monitor shows the backdrop at its corner $corner ($colour)" backdrop $colour
    done
    colour=$(colour_at $((x + w / 2)) $((y + h / 2)))
    check "two monitors, filled: ... and the sheet at its centre ($colour)" sheet $colour
  done
  end_saver "two monitors, filled"

  # Filled, with the folder of four colours, 5 s each: every monitor its own
  # picture, the two changing in turn.  Sampled about once a second for 30 s
  # at both sheet centres: never the same colour on both, each monitor
  # changing at least twice, and the changes of the two at least 1 s apart.
  # A monitor's colour is the one seen in two samples in a row: halfway
  # through a fade from green to red, a sample looks yellow.
  write_settings 2 "" 0 "" 8421504 0 "" 1
  slide_settings
  check "two monitors, a folder: renderer window appears" start_saver /s
  renderer_pid=$(pgrep -f -n 'gelmo-saver.ゲルモ.dll')
  sleep 1
  start=$(now) samples=0 same="" held=("" "") changes=("" "") pending=("" "")
  while elapsed_below "$start" "$(now)" 30; do
    at=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }')
    mapfile -t c < <(colours_at 640,360 1760,540)
    samples=$((samples + 1))
    for m in 0 1; do
      # a change: a colour other than the one held, seen twice in a row, dated by its first sight
      if [ "${c[m]}" = mixed ] || [ "${c[m]}" = "${held[m]}" ]; then pending[m]=""
      elif [ "${pending[m]%@*}" = "${c[m]}" ]; then
        [ -z "${held[m]}" ] || changes[m]+=" ${pending[m]#*@}"
        held[m]=${c[m]} pending[m]=""
      else pending[m]="${c[m]}@$at"
      fi
    done
    [ -z "${held[0]}" ] || [ "${held[0]}" != "${held[1]}" ] || [ "${c[0]} ${c[1]}" != "${held[0]} ${held[1]}" ] ||
      same+=" $at:${c[0]}"
  done
  check "two monitors, a folder: never one colour on both sheets ($samples samples;${same:- none the same})" \
    eval '[ -z "$same" ] && [ "$samples" -ge 6 ]'
  for m in 0 1; do
    check "two monitors, a folder: monitor $((m + 1)) changes at least twice (at${changes[m]} s)" \
      test "$(wc -w <<<"${changes[m]}")" -ge 2
  done
  closest=$(awk -v a="${changes[0]}" -v b="${changes[1]}" 'BEGIN { n = split(a, x, " "); k = split(b, y, " "); m = 99
    for (i = 1; i <= n; i++) for (j = 1; j <= k; j++) { d = x[i] - y[j]; if (d < 0) d = -d; if (d < m) m = d } print m }')
  check "two monitors, a folder: the two change at least 1 s apart (closest $closest s)" \
    awk -v d="$closest" 'BEGIN { exit !(d >= 1) }'
  check "two monitors, a folder: the renderer is the same process throughout" \
    test "$(pgrep -f -n 'gelmo-saver.ゲルモ.dll')" = "$renderer_pid"
  end_saver "two monitors, a folder"
  check "two monitors, a folder: each monitor's 1600x1200 pictures are reduced to its long side (1280, 1080)" \
    test "$(bitmap Gelmo01.bmp | cut -d' ' -f1,2) $(bitmap Gelmo01-2.bmp | cut -d' ' -f1,2)" = "1280 960 1080 810"

  write_settings 1 'C:\gelmo-saver\green.bmp' 0 "" 255
  check "two monitors, not filled: renderer window appears" start_saver /s
  geometry=$(window_geometry "$renderer_wid")
  check "two monitors, not filled: 1024x768 at the primary's top-left corner ($geometry)" test "$geometry" = "0 0 1024 768"
  end_saver "two monitors, not filled"
  gelmo_desk_close
fi

rm -rf "$capture"
finish
