#!/usr/bin/env bash
# The command line and the D-Bus service of the real program, with a private Xvfb, openbox and a
# private session bus. Commands run without DISPLAY or WAYLAND_DISPLAY: --help and --version;
# --add with no instance (straight into the files, in place of a deleted event's left-over);
# --list and --list --json; bad command lines and a refused write, which leave both files as they
# were; --add to the running instance, which saves at once, lists the event and fires it; Add,
# List and Show over D-Bus; --import to the instance and a second time, --export read back by
# Python's icalendar, a damaged --import. Screenshots stay in BUILD_DIR/e2e-shots/command_line.
# Usage: command_line_xvfb_test.sh BUILD_DIR
# DORVANE_START_SECONDS: how long a command may take to reach the instance (a sanitizer build is
# slow).
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
command -v dbus-daemon >/dev/null || { echo "SKIP: dbus-daemon is not installed"; exit 77; }
xvfb_init command_line "$build/e2e-shots/command_line" openbox gdbus
title='^Dorvane 1\.6$'
ok() { echo "ok: $*"; }

xvfb_start 1024x768
start_openbox
app_prepare "$build"

# shellcheck source=../support/private_bus.sh
source "$(dirname "$0")/../support/private_bus.sh"
start_private_bus
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$bus
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run

# dorvane ARGS...: a command from another folder, without a display; sets rc, out and err.
dorvane() {
  rc=0
  (cd "$work/home" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$app/dorvane" "$@") \
    >"$work/out" 2>"$work/err" || rc=$?
  out=$(cat "$work/out") err=$(cat "$work/err")
}
files_sum() { md5sum "$app/events.ini" "$app/dorvane.ini"; }
bus_call() { gdbus call --session --dest org.dorvane.Dorvane --object-path /org/dorvane/Dorvane \
  --method "org.dorvane.Reminders.$1" "${@:2}"; }
bus_list_has() { bus_call List | grep -qF "'$1'"; }

# 1. Help and version need no display.
dorvane --version
[ "$rc" = 0 ] && [ "$out" = 'Dorvane 1.6' ] || fail "--version: $rc '$out' '$err'"
dorvane --help
[ "$rc" = 0 ] && grep -q -- '--add --title TEXT' <<<"$out" && grep -q 'Exit status' <<<"$out" ||
  fail "--help: $rc '$out' '$err'"
ok "--help and --version without a display"

# 2. No instance: the event goes after the two the settings count, in place of the left-over of
#    a deleted third, whose keys must not stick to it.
cat >"$app/events.ini" <<'INI'
[Event0]
Date=01.05.2099
Time=09:00:00
Countdown=0
Title=Dentist
Message=Bring the card
Status=Active
[Event1]
Date=02.05.2099
Time=10:00:00
Countdown=0
Title=Taxes
Message=File them
Status=Done
[Event2]
Title=Deleted
Extra File=/bin/false
Colour=red
INI
printf '[Options]\nLanguage=English\nEvents=2\nAuto Start=0\nSound Play=0\nNotify=0\n' >"$app/dorvane.ini"
printf 'x' >"$work/home/notes.txt"
first=$(($(date +%s) + 3600))
dorvane --add --title 'Tea time' --message 'Green, not black' --in 1h --repeat Daily --file notes.txt
last=$(($(date +%s) + 3600))
[ "$rc" = 0 ] || fail "--add without an instance: $rc $err"
[ "$(ini_value "$app/events.ini" Event2 Title)" = 'Tea time' ] || fail "the event is not Event2"
day=$(ini_value "$app/events.ini" Event2 Date)
due=$(date -d "${day:6:4}-${day:3:2}-${day:0:2} $(ini_value "$app/events.ini" Event2 Time)" +%s)
((first <= due && due <= last)) || fail "the event is not an hour from now: $day"
[ "$(ini_value "$app/events.ini" Event2 Status)" = Active ] || fail "the event is not active"
[ "$(ini_value "$app/events.ini" Event2 Repeat)" = Daily ] || fail "no Repeat=Daily"
[ "$(ini_value "$app/events.ini" Event2 'Extra File')" = "$work/home/notes.txt" ] ||
  fail "the extra file is not a whole path"
[ "$(ini_value "$app/events.ini" Event2 'Sound File')" = "$app/sounds/alarm.wav" ] ||
  fail "not the default sound"
! grep -q 'Deleted\|Colour' "$app/events.ini" || fail "the left-over section stuck"
[ "$(titles "$app/events.ini" 2 | paste -sd,)" = Dentist,Taxes ] || fail "the other events changed"
[ "$(ini_value "$app/dorvane.ini" Options Events)" = 3 ] || fail "the count is not 3"
[ "$(ini_value "$app/dorvane.ini" Options 'Auto Start')" = 0 ] || fail "other settings changed"
[ ! -e "$app/.events.ini.lock" ] || fail "the lock stayed behind"
ok "--add without an instance appends and counts: $out"

# 3. The list, as lines and as JSON.
dorvane --list
[ "$rc" = 0 ] || fail "--list: $rc $err"
[ "$out" = "$(printf '01.05.2099\t09:00:00\tActive\tDentist\n02.05.2099\t10:00:00\tDone\tTaxes\n%s\t%s\tActive\tTea time' \
  "$day" "$(ini_value "$app/events.ini" Event2 Time)")" ] || fail "--list printed: $out"
dorvane --list --json
[ "$rc" = 0 ] || fail "--list --json: $rc $err"
for field in '"index": 2' '"title": "Tea time"' '"message": "Green, not black"' '"countdown": false' \
  '"status": "Done"' "\"extraFile\": \"$work/home/notes.txt\"" '"soundFile": '; do
  grep -qF "$field" <<<"$out" || fail "--list --json has no $field: $out"
done
[ "$(grep -c '"index"' <<<"$out")" = 3 ] || fail "--list --json does not list 3 events"
ok "--list and --list --json"

# 4. Bad command lines end with 2, name the argument and write nothing.
before=$(files_sum)
while IFS='|' read -r argument line; do
  eval "dorvane $line"
  [ "$rc" = 2 ] || fail "'$line' ended with $rc: $err"
  grep -qF -- "$argument" <<<"$err" || fail "'$line' does not name $argument: $err"
  [ "$(files_sum)" = "$before" ] || fail "'$line' changed the files"
done <<'LINES'
--title|--add --in 10m
--at|--add --title Tea --at '2027-02-30 10:00'
--at|--add --title Tea --at '2001-01-01 10:00'
--in|--add --title Tea --in 0m
--repeat|--add --title Tea --in 1m --repeat daily
--colour|--add --title Tea --in 1m --colour red
--sound|--add --title Tea --in 1m --sound missing.wav
--json|--json
LINES
# A settings file that cannot be written: the event appended before it is taken back.
chmod 444 "$app/dorvane.ini"
dorvane --add --title Refused --in 1h
chmod 644 "$app/dorvane.ini"
[ "$rc" = 1 ] && grep -qF "$app/dorvane.ini" <<<"$err" || fail "a refused settings write: $rc $err"
[ "$(files_sum)" = "$before" ] || fail "a refused settings write left the event behind"
ok "bad command lines end with 2 and a refused write with 1, both files unchanged"

# 5. A running instance takes the event, saves it at once, shows it and fires it.
(cd "$app" && QT_QPA_PLATFORM=xcb exec ./dorvane) >>"$work/log" 2>&1 &
program=$!
pids+=("$program")
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
wait_until 10 bus_list_has 'Tea time' || fail "the service does not list the event added earlier"
gdbus monitor --session --dest org.dorvane.Dorvane >"$work/monitor" 2>&1 &
pids+=($!)
due=$(($(date +%s) + ${DORVANE_START_SECONDS:-5}))
dorvane --add --title Soon --message 'Right now' --at "$(date -d "@$due" '+%Y-%m-%d %H:%M:%S')"
[ "$rc" = 0 ] || fail "--add to the instance: $rc $err"
[ "$(ini_value "$app/events.ini" Event3 Title)" = Soon ] || fail "the instance did not save the event"
[ "$(ini_value "$app/dorvane.ini" Options Events)" = 4 ] || fail "the instance did not count it"
bus_list_has Soon || fail "the instance does not list the event"
shot added-to-running
wait_until $((${DORVANE_START_SECONDS:-5} + 10)) grep -qF "AlarmFired ('Soon',)" "$work/monitor" || fail "no AlarmFired: $(cat "$work/monitor")"
windows_at_least() { test "$(visible "$title" | wc -l)" -ge "$1"; }
wait_until 15 windows_at_least 2 || fail "no alarm box"
shot alarm
# Return to each box still open; a window gone between the listing and the key is skipped.
close_boxes() {
  local box
  for box in $(visible "$title" | grep -vx "$main"); do
    xdotool windowactivate --sync "$box" 2>/dev/null && xdotool key Return
  done
  test "$(visible "$title" | wc -l)" = 1
}
wait_until 20 close_boxes || fail "the alarm box did not close"
ok "--add goes to the running instance, which saves, lists and fires it"

# 6. D-Bus: introspectable, Add refuses a past moment, adds a future one; Show brings the window
#    back.
gdbus introspect --session --dest org.dorvane.Dorvane --object-path /org/dorvane/Dorvane |
  grep -q 'interface org.dorvane.Reminders' || fail "the object is not introspectable"
! bus_call Add Old '' 1000000 >"$work/bus-out" 2>&1 || fail "Add took a past moment"
grep -q InvalidArgs "$work/bus-out" || fail "Add's refusal: $(cat "$work/bus-out")"
bus_call Add 'Bus tea' 'From the bus' $(($(date +%s) + 7200)) >"$work/bus-out" ||
  fail "Add failed: $(cat "$work/bus-out")"
[ "$(cat "$work/bus-out")" = '(4,)' ] || fail "Add answered $(cat "$work/bus-out")"
[ "$(ini_value "$app/events.ini" Event4 Title)" = 'Bus tea' ] || fail "Add did not save"
bus_list_has 'From the bus' || fail "List does not have the added event"
xdotool windowminimize --sync "$main"
wait_until 10 gone "$title" || fail "the window did not go"
bus_call Show >/dev/null || fail "Show failed"
wait_until 10 visible "$title" || fail "Show did not bring the window back"
shot shown
ok "D-Bus Add, List and Show"

# 7. --import to the running instance: a second time adds nothing.
cat >"$work/home/in.ics" <<'ICS'
BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Example//Calendar//EN
BEGIN:VEVENT
UID:one@example
DTSTART:20990115T093000Z
SUMMARY:Board\, big
RRULE:FREQ=DAILY;INTERVAL=3
END:VEVENT
BEGIN:VEVENT
UID:two@example
DTSTART;VALUE=DATE:20990116
SUMMARY:Holiday
END:VEVENT
END:VCALENDAR
ICS
dorvane --import in.ics
[ "$rc" = 0 ] && grep -qF '2 added, 0 skipped as already present, 1 simplified' <<<"$out" ||
  fail "--import to the instance: $rc $out $err"
[ "$(ini_value "$app/events.ini" Event6 UID)" = two@example ] || fail "the instance did not save the import"
bus_list_has 'Board, big' || fail "the instance does not list the imported event"
dorvane --import in.ics
grep -qF '0 added, 2 skipped' <<<"$out" || fail "a second --import: $rc $out $err"
ok "--import to the running instance, and again"

kill -TERM "$program"
wait_ended 20 "$program"
dorvane --list
[ "$(wc -l <<<"$out")" = 7 ] && grep -q $'Done\tSoon$' <<<"$out" || fail "the list after the end: $out"
ok "the list after the end holds all seven"

# 8. Without an instance: --export writes what another reader reads back; a damaged file ends
#    with 1, names its line and changes nothing.
dorvane --export out.ics
[ "$rc" = 0 ] && grep -qF 'Exported 7 events' <<<"$out" || fail "--export: $rc $out $err"
/usr/bin/python3 - "$work/home/out.ics" <<'PY' || fail "the export does not read back"
import sys, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
titles = [str(e['SUMMARY']) for e in cal.walk('VEVENT')]
assert 'Board, big' in titles and 'Tea time' in titles, titles
assert all('UID' in e and 'DTSTART' in e for e in cal.walk('VEVENT'))
by = {str(e['SUMMARY']): e for e in cal.walk('VEVENT')}
start = by['Holiday'].decoded('DTSTART')
assert (start.year, start.month, start.day, start.hour, start.minute) == (2099, 1, 16, 9, 0), start
assert by['Tea time']['RRULE']['FREQ'] == ['DAILY'], by['Tea time']['RRULE']
assert 'RRULE' not in by['Holiday']
PY
before=$(files_sum)
printf 'BEGIN:VCALENDAR\nVERSION:2.0\nSUMMARY Broken\n' >"$work/home/bad.ics"
dorvane --import bad.ics
[ "$rc" = 1 ] && grep -qF 'line 3' <<<"$err" || fail "a damaged --import: $rc $err"
[ "$(files_sum)" = "$before" ] || fail "a damaged --import changed the files"
ok "--export and a damaged --import without an instance"
