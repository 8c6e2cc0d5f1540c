#!/usr/bin/env bash
# The setup program end to end, in a Wine prefix of its own made fresh: a
# silent install over another screen saver, what it writes in the registry,
# the saver started as the system starts it, an upgrade over the user's
# settings and an open settings dialog, the quiet uninstall, and all of it
# again in a folder named with a space and Japanese characters.
#   setup_program.sh SETUP.EXE SCR DLL VERSION
. "$(dirname "$0")/lib.sh"
setup=$1 scr=$2 dll=$3 version=$4
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
trap 'gelmo_wineserver -k 2>/dev/null; gelmo_wineserver -w 2>/dev/null; rm -rf "$work"' EXIT
wine() { "$GELMO_WINE_LOADER" "$@" </dev/null 2>/dev/null; }
"$GELMO_WINE_LOADER" wineboot -i </dev/null >/dev/null 2>&1
drive_c=$(gelmo_drive_c)
cp "$setup" "$drive_c/gelmo-setup.exe"

desk='HKCU\Control Panel\Desktop'
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gelmo'
previous='C:\windows\system32\scrnsave.scr'
wine reg add "$desk" /v SCRNSAVE.EXE /d "$previous" /f >/dev/null
wine reg add "$desk" /v ScreenSaveActive /d 0 /f >/dev/null

# One value of a key as `reg export` writes it (UTF-16 whatever the code
# page): a string without its quotes and escapes, or dword:XXXXXXXX.
value() {  # KEY NAME
  wine reg export "$1" "C:\\export.reg" /y >/dev/null || return 1
  iconv -f UTF-16 -t UTF-8 "$drive_c/export.reg" | tr -d '\r' |
    awk -v name="\"$2\"" 'index($0, name "=") == 1 { v = substr($0, length(name) + 2)
      if (v ~ /^"/) { v = substr(v, 2, length(v) - 2); gsub(/\\\\/, "\\", v); gsub(/\\"/, "\"", v) }
      print v }'
}
unix_path() { wine winepath -u "$1"; }
same_file() { [ "$(realpath -e "$1" 2>/dev/null)" = "$(realpath -e "$2" 2>/dev/null)" ]; }

# The saver as the system starts it: the program the SCRNSAVE.EXE value
# names, with /s; its renderer must open, and Escape ends both.  Escape is
# held until the saver has gone: the renderer sees it at a repaint, and one
# let go before its first frame (it may still be loading the pictures) is
# missed.
saver_from_value() {
  local program saver renderer gone=0
  program=$(value "$desk" SCRNSAVE.EXE)
  "$GELMO_WINE_LOADER" "$program" /s </dev/null >/dev/null 2>&1 &
  saver=$!
  renderer=$(wait_window Gelmo_VC)
  [ -n "$renderer" ] || { gelmo_end_programs; return 1; }  # a renderer that came late too
  escape_down "$renderer"
  wait_gone $saver 10 || { gone=1; kill $saver; }
  escape_up "$renderer"
  return $gone
}

# Everything one install must leave, in folder $1.
check_installed() {  # FOLDER CASE
  local dir=$1 case=$2 unix
  unix=$(unix_path "$dir")
  check "$case: both programs as built, and the uninstaller" \
    eval 'cmp -s "$scr" "$unix/ゲルモ.scr" && cmp -s "$dll" "$unix/ゲルモ.dll" && test -f "$unix/gelmo-uninstall.exe"'
  check "$case: SCRNSAVE.EXE names the installed ゲルモ.scr" \
    same_file "$(unix_path "$(value "$desk" SCRNSAVE.EXE)")" "$unix/ゲルモ.scr"
  check "$case: ScreenSaveActive is 1" test "$(value "$desk" ScreenSaveActive)" = 1
  check "$case: the entry's name, version, publisher and icon" eval \
    '[ "$(value "$entry" DisplayName)" = ゲルモ ] && [ "$(value "$entry" DisplayVersion)" = "$version" ] &&
     [ -n "$(value "$entry" Publisher)" ] && [ "$(value "$entry" DisplayIcon)" = "$dir\\ゲルモ.scr" ]'
  check "$case: the entry's folder, size and uninstall commands" eval \
    '[ "$(value "$entry" InstallLocation)" = "$dir" ] && [[ "$(value "$entry" EstimatedSize)" =~ ^dword:0000[0-9a-f]{4}$ ]] &&
     [ "$(value "$entry" UninstallString)" = "\"$dir\\gelmo-uninstall.exe\"" ] &&
     [ "$(value "$entry" QuietUninstallString)" = "\"$dir\\gelmo-uninstall.exe\" /S" ]'
  check "$case: NoModify and NoRepair" eval \
    '[ "$(value "$entry" NoModify)" = dword:00000001 ] && [ "$(value "$entry" NoRepair)" = dword:00000001 ]'
  check "$case: the saver started from SCRNSAVE.EXE shows the renderer and ends on Escape" saver_from_value
}

# The quiet uninstall as Windows runs it; its copy in %TEMP% goes on after
# the program named there has returned, so the prefix is waited for.
quiet_uninstall() {  # FOLDER CASE
  local dir=$1 case=$2 unix command
  unix=$(unix_path "$dir")
  command=$(value "$entry" QuietUninstallString)
  : >"$drive_c/Gelmo01-2.bmp"  # as a saver on two monitors leaves it
  [[ $command =~ ^\"([^\"]+)\"\ (.*)$ ]]
  wine "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
  gelmo_wineserver -w
  check "$case: the uninstall removes both programs and the uninstaller" \
    eval '! test -e "$unix/ゲルモ.scr" -o -e "$unix/ゲルモ.dll" -o -e "$unix/gelmo-uninstall.exe"'
  check "$case: ... and the Apps & Features entry" eval '! wine reg query "$entry" >/dev/null'
  check "$case: ... and puts the previous screen saver back" \
    eval '[ "$(value "$desk" SCRNSAVE.EXE)" = "$previous" ] && [ "$(value "$desk" ScreenSaveActive)" = 0 ]'
  check "$case: ... and the hand-off bitmaps" \
    eval '! test -e "$drive_c/Gelmo01.bmp" -o -e "$drive_c/Gelmo02.bmp" -o -e "$drive_c/Gelmo01-2.bmp"'
}

# 1, 2: a silent install into the default folder.
wine "C:\\gelmo-setup.exe" /S
check "silent setup ends with 0" test $? = 0
local_app=$(wine cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
default=$local_app'\Programs\ゲルモ'
check_installed "$default" default
unix=$(unix_path "$default")

# 3: the user's settings survive an upgrade byte for byte, with the settings
# dialog open: a silent setup ends it, and the programs are replaced.
printf '[Section]\r\nOBJ\x8b\xe6\x95\xaa= 0\r\nBACK\xb6\xd7\xb0= 255\r\n' >"$unix/ゲルモ.ini"
cp "$unix/ゲルモ.ini" "$work/settings.ini"
printf 'not the renderer' >"$unix/ゲルモ.dll"
wine "$default\\ゲルモ.scr" /c &
dialog=$!
check "upgrade: the settings dialog is open" test -n "$(wait_window '<ゲルモ>')"
wine "C:\\gelmo-setup.exe" /S
check "upgrade: a silent setup over the open dialog ends with 0" test $? = 0
check "upgrade: ... and ends the dialog" wait_gone $dialog 5
check "upgrade: ゲルモ.ini is kept byte for byte" cmp -s "$work/settings.ini" "$unix/ゲルモ.ini"
check "upgrade: both programs are replaced" eval 'cmp -s "$dll" "$unix/ゲルモ.dll" && cmp -s "$scr" "$unix/ゲルモ.scr"'
check "upgrade: the previous screen saver is still the one to put back" \
  test "$(value "$entry" PreviousScreenSaver)" = "$previous"

# 4: the quiet uninstall keeps the settings.
quiet_uninstall "$default" default
check "default: the uninstall keeps ゲルモ.ini" cmp -s "$work/settings.ini" "$unix/ゲルモ.ini"

# 5: /D= with a space and Japanese characters.  /D= takes the rest of the
# command line unquoted, as cmd passes it.
folder='C:\スクリーン セーバー\ゲルモ'
wine cmd /c "C:\\gelmo-setup.exe /S /D=$folder"
gelmo_wineserver -w
check_installed "$folder" "/D="
unix=$(unix_path "$folder")
quiet_uninstall "$folder" "/D="
check "/D=: the folder is removed with the programs" test ! -e "$unix"

# The interactive uninstall, by keyboard: the page opens on "設定も削除する",
# Space ticks it, Enter uninstalls, and the settings go with the programs.
wine "C:\\gelmo-setup.exe" /S
unix=$(unix_path "$default")
cp "$work/settings.ini" "$unix/ゲルモ.ini"
command=$(value "$entry" UninstallString)
wine "${command//\"/}" &
page=$(wait_window 'ゲルモ アンインストール')
sleep 1  # the page is laid out and has put the focus on its check box
xdotool mousemove --window "$page" 20 20 click 1; sleep 0.5
xdotool key space; sleep 0.3; xdotool key Return
# The last page's 閉じる, once the work is done (its caption gains a blank).
uninstaller_open() { [ -n "$(gelmo_find_window '^ゲルモ アンインストール')" ]; }
for ((i = 0; i < 40; i++)); do
  sleep 0.5
  [ -e "$unix" ] || ! uninstaller_open || xdotool key Return
  uninstaller_open || break
done
gelmo_wineserver -w
check "ticked: the interactive uninstall removes ゲルモ.ini and the folder" test ! -e "$unix"
finish
