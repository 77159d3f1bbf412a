#!/usr/bin/env bash
# The real program on a private Xvfb with openbox: an event is added through the Add dialog
# with the keyboard alone, reaches the events file at once, and fires a few seconds later.
# Usage: add_event_xvfb_test.sh PATH/TO/dorvane
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init add_event_xvfb "$build/e2e-shots/add-event" openbox
two_main_titles() { (($(xdotool search --onlyvisible --name '^Dorvane 1\.6$' | wc -l) >= 2)); }
fired() { grep -qx 'Status=Done' "$app/events.ini"; }

xvfb_start 1024x768
start_openbox
app_prepare "$build"
printf '[Options]\nLanguage=English\nEvents=0\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"

# Never across midnight: the dialog proposes today's date.
if ((10#$(date +%H%M%S) > 235945)); then sleep 20; fi
app_start
wait_window 30 '^Dorvane 1\.6$' || fail "the main window did not appear"

xdotool key alt+e Return
wait_window 10 '^ Add Event$' || fail "Events > Add did not open the Add dialog"
# The focus starts on OK; the tab order is OK, Cancel, Title, Text, Time.
due=$(date -d '+5 seconds' +%H%M%S)
xdotool key Tab Tab
xdotool type --delay 20 'Xvfb reminder'
xdotool key Tab
xdotool type --delay 20 'It fired'
xdotool key Tab Home
xdotool type --delay 20 "$due"
shot add-dialog
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab Return
wait_until 5 gone '^ Add Event$' || fail "OK did not close the dialog"

grep -qx 'Title=Xvfb reminder' "$app/events.ini" || fail "the new event is not in the events file"
grep -qx "Time=${due:0:2}:${due:2:2}:${due:4:2}" "$app/events.ini" || fail "the typed time was not stored"
grep -qx 'Status=Active' "$app/events.ini" || fail "the new event is not active"
grep -qx 'Events=1' "$app/dorvane.ini" || fail "the settings do not count the new event"
echo "ok: the event typed into the Add dialog is on disk at once"

wait_until 15 fired || fail "the event did not fire"
wait_until 5 two_main_titles || fail "no alarm message appeared"
shot alarm-box
echo "PASS: the event added with the keyboard fired at ${due:0:2}:${due:2:2}:${due:4:2}"
