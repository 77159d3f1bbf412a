#!/usr/bin/env bash
# The real program on a private Xvfb with openbox, driven with keys as a person would: a done
# event edited back to active fires again; two of five rows are deleted; Save and Load go
# through Qt's own file dialogs while automatic saves stay on events.ini; Clear asks, and with
# Exit leaves an empty list for the next start. Screenshots stay in BUILD_DIR/e2e-shots/events.
# Usage: events_xvfb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init events_xvfb "$build/e2e-shots/events" openbox
title='^Dorvane 1\.6$'

xvfb_start 1024x768
start_openbox
app_prepare "$build"
files=$work/files
mkdir -p "$files"
i=0
for row in "01.03.2099|Dentist|Active" "02.03.2099|Taxes|Active" "03.03.2099|Garden|Done" \
  "04.03.2099|Library|Active" "05.03.2099|Passport|Active"; do
  IFS='|' read -r date name status <<<"$row"
  printf '[Event%d]\nDate=%s\nTime=09:00:00\nCountdown=0\nTitle=%s\nMessage=About %s\nStatus=%s\n' \
    "$i" "$date" "$name" "$name" "$status"
  i=$((i + 1))
done >"$app/events.ini"
printf '[Options]\nLanguage=English\nEvents=5\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"

app_start
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
shot main

# 1. The done event in row 2 goes back to active with a new time, and fires again.
xdotool key Home Down Down alt+e Down Return
wait_window 10 '^ Edit Event$' || fail "Events > Edit did not open the Edit dialog"
# The focus starts on OK; the tab order is OK, Cancel, Title, Text, Date, Time, Status. Date
# and time of one moment, so that midnight cannot come between them.
read -r day due < <(date -d '+8 seconds' '+%d.%m.%Y %H:%M:%S')
xdotool key Tab Tab Tab Tab Home
xdotool type --delay 20 "${day//./}"
xdotool key Tab Home
xdotool type --delay 20 "${due//:/}"
xdotool key Tab Up
shot edit-dialog
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return
wait_until 10 gone '^ Edit Event$' || fail "OK did not close the Edit dialog"
[ "$(ini_value "$app/events.ini" Event2 Date) $(ini_value "$app/events.ini" Event2 Time)" = "$day $due" ] ||
  fail "the edited date and time were not saved"
[ "$(ini_value "$app/events.ini" Event2 Status)" = Active ] || fail "the event is not active again"
other_box() { visible "$title" | grep -vx "$main"; }
wait_until 20 other_box || fail "the edited event did not fire"
box=$(other_box | head -1)
shot alarm-box
[ "$(ini_value "$app/events.ini" Event2 Status)" = Done ] || fail "the fired event is not done"
xdotool windowactivate --sync "$box" key Return
wait_until 10 not other_box || fail "the alarm box did not close"
echo "ok: a done event edited back to active fired at $due"

# 2. Rows 1 and 3 of five: the others stay, in their order.
xdotool windowactivate --sync "$main" key Home Down ctrl+Down ctrl+Down ctrl+space
shot two-rows-selected
xdotool key alt+e Up Return
wait_window 10 '^Delete$' || fail "Events > Delete asked nothing"
shot delete-box
xdotool key Return
wait_until 10 gone '^Delete$' || fail "the delete box did not close"
wait_until 5 grep -qx 'Events=3' "$app/dorvane.ini" || fail "the settings do not count 3 events"
[ "$(titles "$app/events.ini" 3 | paste -sd,)" = Dentist,Garden,Passport ] ||
  fail "wrong events left: $(titles "$app/events.ini" 3 | paste -sd,)"
echo "ok: rows 1 and 3 deleted; events.ini and the count hold the other three"

# 3. Save to a chosen file, Load another one; the automatic save still writes events.ini.
xdotool key alt+f Down Return
wait_window 10 '^Save As$' || fail "File > Save opened no dialog"
shot save-dialog
xdotool key ctrl+a
xdotool type --delay 10 "$files/saved.ini"
xdotool key Return
wait_until 10 gone '^Save As$' || fail "the Save dialog did not close"
wait_until 5 test -s "$files/saved.ini" || fail "Save wrote nothing"
[ "$(titles "$files/saved.ini" 3 | paste -sd,)" = Dentist,Garden,Passport ] || fail "Save wrote the wrong events"
printf '[Event0]\nDate=06.06.2099\nTime=08:00:00\nTitle=Loaded one\nMessage=From a chosen file\nStatus=Active\n' >"$files/other.ini"
printf '[Event1]\nDate=07.06.2099\nTime=08:30:00\nTitle=Loaded two\nMessage=From a chosen file\nStatus=Active\n' >>"$files/other.ini"
before=$(md5sum "$app/events.ini" "$files/saved.ini" "$files/other.ini")
xdotool key alt+f Return
wait_window 10 '^Open$' || fail "File > Load opened no dialog"
shot load-dialog
xdotool key ctrl+a
xdotool type --delay 10 "$files/other.ini"
xdotool key Return
wait_until 10 gone '^Open$' || fail "the Load dialog did not close"
wait_until 5 window_active "$main" || fail "the main window did not get the focus back"
shot loaded
[ "$(md5sum "$app/events.ini" "$files/saved.ini" "$files/other.ini")" = "$before" ] ||
  fail "Load wrote a file"
# Edit writes the default file before its dialog opens. Home alone does not select the row that
# is already current; Space does.
xdotool key Home space alt+e Down Return
wait_window 10 '^ Edit Event$' || fail "Events > Edit did not open the Edit dialog"
# The window manager's close (Escape is no way out of the dialog).
xdotool key alt+F4
wait_until 10 gone '^ Edit Event$' || fail "Alt+F4 did not close the Edit dialog"
[ "$(titles "$app/events.ini" 2 | paste -sd,)" = "Loaded one,Loaded two" ] ||
  fail "the automatic save did not write the loaded events to events.ini"
grep -qx 'Events=2' "$app/dorvane.ini" || fail "the settings do not count the loaded events"
[ "$(md5sum "$files/saved.ini" "$files/other.ini")" = "$(echo "$before" | tail -2)" ] ||
  fail "the automatic save wrote a chosen file"
echo "ok: Save and Load through the file dialogs; automatic saves still go to events.ini"

# 4. Clear asks first, then Exit: the next start shows no events, and events.ini holds none.
before=$(md5sum "$app/events.ini")
xdotool key alt+f Down Down Return
wait_until 10 other_box || fail "Clear asked nothing"
shot clear-question
xdotool windowactivate --sync "$(other_box | head -1)" key Return
wait_until 10 not other_box || fail "the question did not close"
shot cleared
[ "$(md5sum "$app/events.ini")" = "$before" ] || fail "Clear wrote events.ini"
xdotool windowactivate --sync "$main" key alt+f Up Return
wait_ended 20 "$program"
grep -qx 'Events=0' "$app/dorvane.ini" || fail "Exit after Clear did not write a count of 0"
! grep -q '^\[Event' "$app/events.ini" || fail "events.ini kept the cleared events"

app_start
wait_window 30 "$title" || fail "the main window did not come back"
main=$window
# With a row, Home and Space would select it and Edit would open the dialog; with none, Edit
# asks for one.
xdotool key Home space alt+e Down Return
wait_until 10 other_box || fail "Edit on the empty list showed no box"
visible '^ Edit Event$' && fail "the list was not empty after Clear and Exit"
shot empty-after-restart
xdotool windowactivate --sync "$(other_box | head -1)" key Return
wait_until 10 not other_box || fail "the box did not close"
xdotool windowactivate --sync "$main" key alt+f Up Return
wait_ended 20 "$program"
grep -qx 'Events=0' "$app/dorvane.ini" || fail "the second run did not keep the count of 0"
echo "PASS: edit, delete, save and load, clear and exit, each seen on disk"
