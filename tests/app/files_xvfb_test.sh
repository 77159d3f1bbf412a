#!/usr/bin/env bash
# The real program on a private Xvfb with openbox, with its files in trouble: an events file that
# is missing while the settings count events changes nothing stored; deleted events stay deleted
# after an Exit and a start without settings; an alarm whose save fails is delivered first, and
# the error after it names the reason. Screenshots stay in BUILD_DIR/e2e-shots/files.
# Usage: files_xvfb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init files_xvfb "$build/e2e-shots/files" openbox
title='^Dorvane 1\.6$'

xvfb_start 1024x768
start_openbox
app_prepare "$build"
other_box() { visible "$title" | grep -vx "$main"; }
box_count() { other_box | wc -l; }
# Counted at each try of wait_until, not once when it is called.
boxes_are() { test "$(box_count)" = "$1"; }
# events FILE TITLE...: one event a title, far in the future.
events() {
  local file=$1 i=0 name
  shift
  for name in "$@"; do
    printf '[Event%d]\nDate=0%d.05.2099\nTime=09:00:00\nCountdown=0\nTitle=%s\nMessage=About %s\nStatus=Active\n' \
      "$i" "$((i + 1))" "$name" "$name"
    i=$((i + 1))
  done >"$file"
}
settings() { printf '[Options]\nLanguage=English\nEvents=%d\nAuto Start=0\nSound Play=0\n' "$1" >"$app/dorvane.ini"; }

# 1. The settings count two events and events.ini is a link to a folder that is not there: the
#    program says so, and ending it writes neither the count nor the file.
settings 2
ln -s "$work/unmounted/events.ini" "$app/events.ini"
app_start
# Told before the main window shows.
wait_until 30 visible "$title" || fail "the missing events file was not told"
box=$(visible "$title" | head -1)
shot missing-file-told
kill -TERM "$program"
wait_ended 20 "$program"
grep -qx 'Events=2' "$app/dorvane.ini" || fail "the count of the missing file was not kept"
[ -L "$app/events.ini" ] && [ ! -e "$app/events.ini" ] || fail "the link was replaced"
echo "ok: a missing events file left the count and the link as they were"

# 2. Three events, the middle one deleted, Exit; a start without settings reads every section of
#    events.ini and finds two.
rm "$app/events.ini"
events "$app/events.ini" Dentist Taxes Garden
settings 3
app_start
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
xdotool key Home Down space Delete
wait_window 10 '^Delete$' || fail "Delete asked nothing"
xdotool key Return
wait_until 10 gone '^Delete$' || fail "the delete box did not close"
wait_until 5 grep -qx 'Events=2' "$app/dorvane.ini" || fail "the settings do not count 2 events"
shot deleted
xdotool windowactivate --sync "$main" key alt+f Up Return
wait_ended 20 "$program"
rm "$app/dorvane.ini"
app_start
wait_window 30 "$title" || fail "the main window did not come back"
main=$window
shot restarted
xdotool key alt+f Up Return
wait_ended 20 "$program"
grep -qx 'Events=2' "$app/dorvane.ini" || fail "the deleted event came back: $(grep Events= "$app/dorvane.ini")"
[ "$(grep -c '^\[Event' "$app/events.ini")" = 2 ] || fail "events.ini keeps the deleted event"
[ "$(titles "$app/events.ini" 2 | paste -sd,)" = Dentist,Garden ] || fail "the wrong events are left"
echo "ok: a deleted event did not come back"

# 3. A read-only events.ini and an event due ten seconds after the start, with an extra file
#    that leaves a mark: the alarm's box and its extra file come before the error box.
mark=$work/extra-started
printf '#!/bin/sh\ntouch %s\n' "$mark" >"$work/extra.sh"
chmod 755 "$work/extra.sh"
read -r day due < <(date -d '+10 seconds' '+%d.%m.%Y %H:%M:%S')
printf '[Event0]\nDate=%s\nTime=%s\nCountdown=0\nTitle=Due\nMessage=Due now\nExtra File=%s\nStatus=Active\n' \
  "$day" "$due" "$work/extra.sh" >"$app/events.ini"
chmod 444 "$app/events.ini"
settings 1
app_start
wait_until 30 visible "$title" || fail "the main window did not appear"
main=$(visible "$title" | head -1)
wait_until 60 other_box || fail "the alarm did not fire at $due"
wait_until 60 boxes_are 2 || fail "the failed save was not told"
# Window ids grow as windows are made: the alarm's box came first, the error's after it.
alarm=$(other_box | sort -n | head -1)
error=$(other_box | sort -n | tail -1)
# While the error box is open, the alarm's extra file has already started.
wait_until 15 test -e "$mark" || fail "the extra file was held back by the error box"
shot error-over-alarm
grep -qxF "dorvane.files: Unable to write to $app/events.ini: Permission denied" "$work/log" ||
  fail "the failed save does not name its reason"
xdotool windowactivate --sync "$error" key Return
wait_until 20 boxes_are 1 || fail "the error box did not close"
xdotool windowactivate --sync "$alarm" key Return
wait_until 20 not other_box || fail "the alarm box did not close"
kill -TERM "$program"
wait_ended 20 "$program"
echo "PASS: a missing file kept its count, a deleted event stayed deleted, an alarm came before its save's error"
