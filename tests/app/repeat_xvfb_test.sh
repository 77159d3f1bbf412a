#!/usr/bin/env bash
# The real program on a private Xvfb with openbox and a tray: a daily event fires and moves to
# tomorrow on disk; Alt+S in an alarm box re-arms its event ten minutes ahead, with no copy; with
# Close To Tray=1 closing the window leaves the program running in the tray, where it still
# fires, and File > Exit ends it; with Start Hidden=1 a start shows only the tray icon, and the
# tray's Restore brings the window. Screenshots stay in BUILD_DIR/e2e-shots/repeat.
# Usage: repeat_xvfb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init repeat_xvfb "$build/e2e-shots/repeat" openbox trayer
title='^Dorvane 1\.6$'

xvfb_start 1024x768
start_openbox
start_trayer
app_prepare "$build"
# Dates and times of one moment, so that midnight cannot come between them.
read -r walk_day walk_time tomorrow < <(date -d '+8 seconds' '+%d.%m.%Y %H:%M:%S' |
  { read -r d t; echo "$d $t $(date -d "$(date -d '+8 seconds' +%F) +1 day" +%d.%m.%Y)"; })
read -r tea_day tea_time < <(date -d '+16 seconds' '+%d.%m.%Y %H:%M:%S')
read -r plants_day plants_time < <(date -d '+45 seconds' '+%d.%m.%Y %H:%M:%S')
event() { printf '[Event%d]\nDate=%s\nTime=%s\nCountdown=0\nTitle=%s\nMessage=About %s\nStatus=Active\n%s' "$@"; }
{
  event 0 "$walk_day" "$walk_time" Walk Walk $'Repeat=Daily\n'
  event 1 "$tea_day" "$tea_time" Tea Tea ''
  event 2 "$plants_day" "$plants_time" Plants Plants ''
} >"$app/events.ini"
printf '[Options]\nLanguage=English\nEvents=3\nAuto Start=0\nSound Play=0\nNotify=0\nClose To Tray=1\n' \
  >"$app/dorvane.ini"
value() { ini_value "$app/events.ini" "$1" "$2"; }

app_start
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
shot main
other_box() { visible "$title" | grep -vx "$main"; }

# 1. The daily event fires once and moves to the same time tomorrow, still active.
wait_until 20 other_box || fail "the daily event did not fire"
box=$(other_box | head -1)
shot daily-alarm-box
[ "$(value Event0 Date) $(value Event0 Time) $(value Event0 Status)" = "$tomorrow $walk_time Active" ] ||
  fail "the daily event is at $(value Event0 Date) $(value Event0 Time) $(value Event0 Status)"
xdotool windowactivate --sync "$box" key Return
wait_until 10 not other_box || fail "OK did not close the alarm box"
echo "ok: the daily event fired at $walk_time and moved to $tomorrow on disk"

# 2. Alt+S in the next alarm's box: the event itself comes back in ten minutes.
wait_until 20 other_box || fail "the one-off event did not fire"
box=$(other_box | head -1)
[ "$(value Event1 Status)" = Done ] || fail "the fired event is not done"
snoozed=$(date +%s)
xdotool windowactivate --sync "$box" key alt+s
wait_until 10 not other_box || fail "Alt+S did not close the alarm box"
snoozed_again() { [ "$(value Event1 Status)" = Active ]; }
wait_until 5 snoozed_again || fail "the snoozed event is not active again"
due=$(date -d "$(value Event1 Date | awk -F. '{ print $3 "-" $2 "-" $1 }') $(value Event1 Time)" +%s)
((due >= snoozed + 600 && due <= $(date +%s) + 600)) ||
  fail "snoozed to $(value Event1 Date) $(value Event1 Time), $((due - snoozed)) s after Alt+S"
grep -q '^\[Event3\]' "$app/events.ini" && fail "snoozing added a copy"
grep -qx 'Events=3' "$app/dorvane.ini" || fail "the settings no longer count 3 events"
echo "ok: Alt+S re-armed the event for $(value Event1 Time), with no copy"

# 3. Closing the window leaves the program in the tray, where it still fires.
xdotool windowactivate --sync "$main" key alt+F4
wait_until 10 gone "$title" || fail "closing did not hide the window"
shot closed-to-tray
kill -0 "$program" 2>/dev/null || fail "closing ended the program"
tray_icon_centre dorvane || fail "no tray icon after closing"
wait_until 40 other_box || fail "the program in the tray did not fire"
shot alarm-from-tray
[ "$(value Event2 Status)" = Done ] || fail "the event fired from the tray is not done"
xdotool windowactivate --sync "$(other_box | head -1)" key Return
wait_until 10 not other_box || fail "OK did not close the alarm box"
echo "ok: closed to the tray, the program kept running and fired at $plants_time"

# 4. File > Exit still ends the program.
wait_window 10 "$title" || fail "the alarm did not bring the window back"
xdotool windowactivate --sync "$main" key alt+f Up Return
wait_ended 10 "$program"
echo "ok: File > Exit ended the program"

# 5. Started in the tray: only the icon, until the tray's Restore.
printf 'Start Hidden=1\n' >>"$app/dorvane.ini"
app_start
tray_shown() { tray_icon_centre dorvane; }
wait_until 30 tray_shown || fail "no tray icon after a hidden start"
xdotool mousemove "$x" "$y" click 3
wait_until 10 menu_shown || fail "the tray menu did not open"
# By the time the menu answers, the window would long have been shown.
gone "$title" || fail "Start Hidden=1 showed the window"
shot started-hidden
# Away from the menu, so that the pointer does not choose the item; Restore is above Exit.
xdotool mousemove 10 700 key Up Up Return
wait_window 10 "$title" || fail "Restore did not show the window of a hidden start"
shot restored
xdotool key alt+f Up Return
wait_ended 10 "$program"
echo "ok: Start Hidden=1 showed only the tray icon; Restore brought the window"
