#!/usr/bin/env bash
# The real program on a private Xvfb with openbox and trayer as the notification area, driven
# with keys and the mouse as a person would: the language switches to Russian and back, the
# window goes to the tray and comes back on a double click, a second start brings the first
# back, and both the tray menu's Exit and the main menu's Exit keep the events and the settings.
# Screenshots stay in BUILD_DIR/e2e-shots/session.
# Usage: session_xvfb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init session_xvfb "$build/e2e-shots/session" openbox trayer
title='^Dorvane 1\.6$'

xvfb_start 1024x768
start_openbox
start_trayer
app_prepare "$build"
# No events at first: nothing but the choice itself can write the language.
printf '[Options]\nLanguage=English\nEvents=0\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"

# A file to load: only the shutdown writes its events into events.ini.
mkdir -p "$work/files"
i=0
for name in Bank Market Gym; do
  printf '[Event%d]\nDate=1%d.04.2099\nTime=18:00:00\nCountdown=0\nTitle=%s\nMessage=About %s\nStatus=Активно\n' \
    "$i" "$i" "$name" "$name"
  i=$((i + 1))
done >"$work/files/loaded.ini"

# check_files LANGUAGE STATUS: the settings and the three loaded events as they must be on disk.
check_files() {
  local line
  for line in "Language=$1" "Events=3" "Sound Play=1"; do
    grep -qx "$line" "$app/dorvane.ini" || fail "the settings lack $line"
  done
  [ "$(titles "$app/events.ini" 3 | paste -sd,)" = Bank,Market,Gym ] ||
    fail "events.ini does not hold the loaded events"
  for i in 0 1 2; do
    [ "$(ini_value "$app/events.ini" "Event$i" Status)" = "$2" ] || fail "event $i is not '$2'"
  done
}
# settings_caption english|russian EXPECTED: opens Options > Settings and checks its caption ($caption).
settings_caption() {
  xdotool windowactivate --sync "$main"
  if [ "$1" = english ]; then
    xdotool key alt+o Return
  else
    menu_bar_click "$main" || fail "the menu bar did not open"
    xdotool key Right Right Return # from File to Options, whose first item is Settings
  fi
  wait_window 10 '^ ' || fail "the Settings dialog did not open"
  caption=$(window_title "$window")
  [ "$caption" = "$2" ] || fail "the Settings dialog is captioned '$caption' in $1, not '$2'"
}
settings_close() {
  xdotool key Escape
  wait_until 10 gone "^$caption\$" || fail "Escape did not close the Settings dialog"
}
to_tray() {
  xdotool windowminimize --sync "$main"
  wait_until 10 gone "$title" || fail "the minimized window is still on screen"
}
icon_double_click() {
  tray_icon_centre dorvane || fail "no icon in the panel"
  xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
}

app_start
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
first=$program
shot main-english

# 5. Options > Language > Russian: captions change, and the settings take the choice at once,
# as they take the Settings dialog's.
xdotool key alt+o Down Right Down
wait_until 5 menu_shown || fail "the Language menu did not open"
shot language-menu
xdotool key Return
wait_until 5 grep -qx 'Language=Russian' "$app/dorvane.ini" || fail "the settings do not hold Russian"
wait_until 5 not menu_shown || fail "the menu did not close"
shot main-russian
settings_caption russian " Параметры"
# "Play sound" is the second check box; the settings file takes it at the end.
xdotool key Tab space
shot settings-russian
settings_close
echo "ok: in Russian the Settings dialog is captioned '$caption'"

# 6. Minimized into the tray, back on a double click on the icon.
to_tray
shot minimized
icon_double_click
wait_until 10 visible "$title" || fail "a double click on the icon did not restore the window"
shot restored
echo "ok: minimized into the tray and restored by a double click on the icon"

# 7. The tray menu's Exit writes the events and the settings. The events loaded from another
# file reach events.ini at the shutdown only.
xdotool windowactivate --sync "$main"
menu_bar_click "$main" || fail "the menu bar did not open"
xdotool key Down Return
wait_window 10 '^Открыть$' || fail "Файл > Загрузить opened no dialog"
xdotool key ctrl+a
xdotool type --delay 10 "$work/files/loaded.ini"
xdotool key Return
wait_until 10 gone '^Открыть$' || fail "the Load dialog did not close"
[ ! -e "$app/events.ini" ] || fail "Load wrote events.ini"
shot loaded-russian
tray_icon_centre dorvane || fail "no icon in the panel"
xdotool mousemove "$x" "$y" click 3
wait_until 10 menu_shown || fail "a right click on the icon opened no menu"
shot tray-menu
# Away from the menu, so that the pointer does not choose the item.
xdotool mousemove 10 700 key Up Return
wait_ended 20 "$first"
check_files Russian Активно
echo "ok: the tray menu's Exit kept the events and the settings"

app_start
wait_window 30 "$title" || fail "the main window did not come back"
main=$window
first=$program
settings_caption russian " Параметры" # the next start is in Russian too
settings_close
xdotool windowactivate --sync "$main"
menu_bar_click "$main" || fail "the menu bar did not open"
xdotool key Right Right Down Right Return # Options > Language > English
wait_until 5 grep -qx 'Language=English' "$app/dorvane.ini" || fail "the settings do not hold English"
settings_caption english " Settings"
shot settings-english
settings_close
echo "ok: back in English the Settings dialog is captioned '$caption'"

# 8. A second start brings the first back from the tray and ends.
to_tray
app_start
wait_ended 30 "$program"
wait_until 10 visible "$title" || fail "the second start did not bring the first back"
kill -0 "$first" || fail "the first instance ended"
(($(visible "$title" | wc -l) == 1)) || fail "two main windows are on screen"
shot second-start
echo "ok: a second start brought the first back and ended"

# 7. The main menu's Exit writes them too.
xdotool windowactivate --sync "$main" key alt+f Up Return
wait_ended 20 "$first"
check_files English Active
echo "PASS: language, tray, second start and both exits, each seen on disk"
