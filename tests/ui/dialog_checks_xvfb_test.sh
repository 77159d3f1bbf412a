#!/usr/bin/env bash
# The real program on a private Xvfb (1024x768) with openbox: the alarm box for twenty events
# stays on the screen with its OK; the Add dialog refuses an impossible date with a message box,
# stays open and writes nothing, then takes a real date; the Settings dialog opens at the same place
# the second time as the first; with the Add dialog open and minimised, the tray menu answers and
# Restore brings the window and the dialog back.
# Usage: dialog_checks_xvfb_test.sh PATH/TO/dorvane
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init dialog_checks_xvfb "$build/e2e-shots/dialog-checks" openbox
title='^Dorvane 1\.6$'

xvfb_start 1024x768
start_openbox
start_trayer
app_prepare "$build"
# Twenty events due in the same second, a few seconds after the start.
read -r day due < <(date -d '+6 seconds' '+%d.%m.%Y %H:%M:%S')
for ((i = 0; i < 20; i++)); do
  printf '[Event%d]\nDate=%s\nTime=%s\nCountdown=0\nTitle=Reminder %d\nMessage=Text %d\nStatus=Active\n' \
    "$i" "$day" "$due" "$i" "$i"
done >"$app/events.ini"
printf '[Options]\nLanguage=English\nEvents=20\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"

app_start
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
other_box() { visible "$title" | grep -vx "$main"; }
# geometry WINDOW: sets X, Y, WIDTH and HEIGHT of the window's client area.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

# 1. The alarm box for twenty events fits the screen.
wait_until 20 other_box || fail "the twenty events did not fire"
box=$(other_box | head -1)
shot alarm-box-20-events
geometry "$box"
((Y >= 0 && Y + HEIGHT <= 768)) || fail "the alarm box (${WIDTH}x$HEIGHT at $X,$Y) runs off the 1024x768 screen"
xdotool windowactivate --sync "$box" key Return
wait_until 10 not other_box || fail "OK did not close the alarm box"
echo "ok: the alarm box for twenty events is ${HEIGHT} pixels high, OK on the screen"

# 2. 31.02.2030 is refused with a box, the dialog stays open, nothing is written.
cp "$app/events.ini" "$work/events-before.ini"
xdotool key alt+e Return
wait_window 10 '^ Add Event$' || fail "Events > Add did not open the Add dialog"
add=$window
# The focus starts on OK; the tab order is OK, Cancel, Title, Text, Time, Date.
xdotool key Tab Tab
xdotool type --delay 20 'Checked date'
xdotool key Tab
xdotool type --delay 20 'Refused first'
xdotool key Tab Tab Home
xdotool type --delay 20 31022030
shot impossible-date
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return
wait_until 5 other_box || fail "no message box refused 31.02.2030"
shot impossible-date-refused
visible '^ Add Event$' >/dev/null || fail "the Add dialog closed on 31.02.2030"
cmp -s "$app/events.ini" "$work/events-before.ini" || fail "the events file changed on 31.02.2030"
xdotool windowactivate --sync "$(other_box | head -1)" key Return
wait_until 5 not other_box || fail "OK did not close the message box"
wait_until 5 window_active "$add" || fail "the Add dialog did not get the focus back"
echo "ok: 31.02.2030 was refused and nothing was written"

# 3. The focus is back on the date: a real date to come is taken.
xdotool key Home
xdotool type --delay 20 01012099
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return
wait_until 5 gone '^ Add Event$' || fail "OK did not close the dialog on 01.01.2099"
grep -qx 'Title=Checked date' "$app/events.ini" || fail "the new event is not in the events file"
grep -qx 'Date=01.01.2099' "$app/events.ini" || fail "the corrected date was not stored"
echo "ok: 01.01.2099 was taken"

# 4. The Settings dialog opens at the same place each time.
places=()
for opening in first second; do
  xdotool windowactivate --sync "$main" key alt+o Return
  wait_window 10 '^ Settings$' || fail "Options > Settings did not open the Settings dialog"
  geometry "$window"
  places+=("$X,$Y ${WIDTH}x$HEIGHT")
  shot "settings-$opening"
  xdotool key Escape
  wait_until 5 gone '^ Settings$' || fail "Escape did not close the Settings dialog"
done
[ "${places[0]}" = "${places[1]}" ] || fail "the Settings dialog moved: ${places[0]}, then ${places[1]}"
echo "ok: the Settings dialog opened at ${places[0]} both times"

# 5. The tray answers while a dialog is open, even minimised with the main window.
xdotool windowactivate --sync "$main" key alt+e Return
wait_window 10 '^ Add Event$' || fail "Events > Add did not open the Add dialog"
add=$window
xdotool windowminimize --sync "$add"
wait_until 10 gone '^ Add Event$' || fail "the Add dialog did not minimise"
shot add-minimised
tray_icon_centre dorvane || fail "no icon in the panel"
xdotool mousemove "$x" "$y" click 3
wait_until 10 menu_shown || fail "the tray menu did not open while the Add dialog was open"
shot tray-menu-over-dialog
# Away from the menu, so that the pointer does not choose the item; Restore is above Exit.
xdotool mousemove 10 700 key Up Up Return
wait_until 10 visible "$title" || fail "Restore did not bring the main window back"
wait_until 10 visible '^ Add Event$' || fail "Restore did not bring the Add dialog back"
shot restored
echo "PASS: the tray's Restore brought back the window and its open dialog"
