#!/usr/bin/env bash
# The real program on a private Xvfb with openbox and a private session bus that carries a fake
# notification service. Three runs:
#   alarms: passed events at start-up, an alarm snoozed from its notification, an alarm box
#           closed by the user, and an alarm while the service offers no action buttons;
#   off:    with Notify=0 an alarm shows its box and sends nothing;
#   hung:   a service that never answers, then a session bus that never answers: the window
#           still comes up, an alarm's box is not late, and SIGTERM still ends the program.
# Usage: notifications_xvfb_test.sh PATH/TO/dorvane PATH/TO/notification_server_helper alarms|off|hung
# DORVANE_START_SECONDS: how long the program may take to start (a sanitizer build is slow).
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
helper=$2
run=$3
lead=${DORVANE_START_SECONDS:-4}

for tool in Xvfb dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
for tool in openbox xdotool xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
app=$work/app
pids=()
screen=
cleanup() {
  exec 5>&- 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- program output"; cat "$work/log" 2>/dev/null || true
  echo "--- events.ini"; cat "$app/events.ini" 2>/dev/null || true
  for calls in "$work"/calls-*; do
    [ -f "$calls" ] && { echo "--- ${calls##*/}"; cat "$calls"; }
  done
  if [ -n "$screen" ] && command -v import >/dev/null; then
    import -window root "$PWD/notifications_${run}_failure.png" 2>/dev/null &&
      echo "screen: $PWD/notifications_${run}_failure.png"
  fi
  exit 1
}
ok() { echo "ok: $*"; }

# wait_until SECONDS COMMAND...: polls every 0.1 s.
wait_until() {
  local tries=$(($1 * 10)); shift
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# The program's windows all carry its title: the main window and, above it, its boxes.
windows() { xdotool search --onlyvisible --name '^Dorvane 1\.6$' 2>/dev/null || true; }
window_count_is() { (($(windows | wc -l) == $1)); }
other_window() { windows | grep -vx "$1" | head -1; }

# The recorded calls, fields as the helper writes them: Notify ID APP SUMMARY BODY ACTIONS URGENCY.
notify_for() { # calls file, summary: the Notify line for that summary
  awk -F'\t' -v s="$2" '$1 == "Notify" && $4 == s' "$1"
}
has_notify_for() { [ -n "$(notify_for "$@")" ]; }
notify_count() { grep -c '^Notify' "$1" || true; }
field() { cut -f"$1" <<<"$notification"; }

# The events of events.ini, one a line: title|date|time|status.
events() {
  awk -F= '/^\[/ { if (t != "") print t "|" d "|" h "|" s; t = d = h = s = "" }
    $1 == "Title" { t = $2 } $1 == "Date" { d = $2 } $1 == "Time" { h = $2 } $1 == "Status" { s = $2 }
    END { if (t != "") print t "|" d "|" h "|" s }' "$app/events.ini"
}
status_of() { events | awk -F'|' -v t="$1" '$1 == t { print $4; exit }'; }
epoch_of() { # dd.MM.yyyy HH:mm:ss
  date -d "${1:6:4}-${1:3:2}-${1:0:2} $2" +%s
}

# An event at an epoch second, as the events file stores it.
event_at() { # index, epoch, title, message
  printf '[Event%d]\nDate=%s\nTime=%s\nCountdown=0\nTitle=%s\nMessage=%s\nStatus=Active\n' \
    "$1" "$(date -d "@$2" +%d.%m.%Y)" "$(date -d "@$2" +%H:%M:%S)" "$3" "$4"
}

# No reset when the last client leaves: a client connecting during the reset would be refused.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
screen=$DISPLAY
wait_until 5 xwininfo -root || fail "display $DISPLAY does not answer"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_until 10 wm_running || fail "openbox did not start: $(cat "$work/openbox.log")"

# shellcheck source=../support/private_bus.sh
source "$(dirname "$0")/../support/private_bus.sh"
start_private_bus

# start_server CALLS_FILE [--no-actions]: the fake service, commanded through descriptor 5.
start_server() {
  rm -f "$work/commands" "$work/server.out"
  mkfifo "$work/commands"
  "$helper" "$bus" "$@" <"$work/commands" >"$work/server.out" 2>&1 &
  server=$!
  pids+=("$server")
  exec 5>"$work/commands"
  wait_until 10 grep -qx ready "$work/server.out" || fail "the notification service did not start: $(cat "$work/server.out")"
}
stop_server() {
  exec 5>&-
  wait_until 5 sh -c "! kill -0 $server" || fail "the notification service did not end with its input"
  wait "$server" || fail "the notification service failed: $(cat "$work/server.out")"
}

mkdir -p "$app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"
start_program() { # [BUS_ADDRESS]: sets program to the new process
  (cd "$app" && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
    QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=${1:-$bus} exec ./dorvane) >>"$work/log" 2>&1 5>&- &
  program=$!
  pids+=("$program")
}
close_box() { # window
  xdotool windowactivate --sync "$1" key Return
}

calls=$work/calls-actions
start_server "$calls"
t0=$(date +%s)

if [ "$run" = hung ]; then
  now_ms() { echo $((${EPOCHREALTIME/[.,]/} / 1000)); }
  # The alarm due at epoch second $1 maps its box within a second of it (a blocking call to
  # the notification service held it back by two), and SIGTERM then ends the program at once.
  alarm_on_time_and_end() { # due, what
    wait_until "$lead" window_count_is 1 || fail "$2: the main window did not come up"
    wait_until $((lead + 5)) window_count_is 2 || fail "$2: no alarm box"
    local late=$(($(now_ms) - $1 * 1000))
    ((late < 1000)) || fail "$2: the alarm box came $late ms after its due second"
    [ -d "$build/e2e-shots" ] || mkdir -p "$build/e2e-shots"
    import -window root "$build/e2e-shots/notifications-hung-$3.png" 2>/dev/null || true
    local t0=$(now_ms)
    kill -TERM "$program"
    wait_until 3 sh -c "! kill -0 $program" || fail "$2: SIGTERM did not end the program"
    local took=$(($(now_ms) - t0))
    ((took <= ${DORVANE_END_LIMIT_MS:-1000})) || fail "$2: SIGTERM took $took ms"
    ok "$2: the window comes up, the alarm box is $late ms late, SIGTERM ends in $took ms"
  }
  stop_server
  calls=$work/calls-hung
  start_server "$calls" --stall
  printf '[Options]\nLanguage=English\nEvents=1\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"
  due=$(($(date +%s) + lead))
  event_at 0 "$due" 'Dentist' 'Bring the card' >"$app/events.ini"
  start_program
  alarm_on_time_and_end "$due" "a notification service that never answers" service
  has_notify_for "$calls" 'Dentist' || fail "the alarm's notification was not even sent"

  # A bus that takes connections and never says a word: a stopped daemon.
  mkdir "$work/frozen"
  sed "s|unix:dir=$work|unix:dir=$work/frozen|" "$work/bus.conf" >"$work/frozen.conf"
  dbus-daemon --config-file="$work/frozen.conf" --nofork --print-address >"$work/frozen-bus" 2>&1 &
  frozen=$!
  pids+=("$frozen")
  wait_until 10 test -s "$work/frozen-bus" || fail "the second dbus-daemon did not start"
  kill -STOP "$frozen"
  due=$(($(date +%s) + lead))
  event_at 0 "$due" 'Taxes' 'File them' >"$app/events.ini"
  start_program "$(head -1 "$work/frozen-bus")"
  alarm_on_time_and_end "$due" "a session bus that never answers" bus
  kill -CONT "$frozen"
  grep -q "session bus does not answer" "$work/log" || fail "no word on the silent session bus"
  exit 0
fi

if [ "$run" = off ]; then
  event_at 0 $((t0 + lead)) 'Dentist' 'Bring the card' >"$app/events.ini"
  printf '[Options]\nLanguage=English\nEvents=1\nAuto Start=0\nSound Play=0\nNotify=0\n' >"$app/dorvane.ini"
  start_program
  fired() { [ "$(status_of Dentist)" = Done ]; }
  wait_until $((lead + 10)) fired || fail "the alarm did not fire"
  wait_until 5 window_count_is 2 || fail "no alarm box appeared"
  # The notification would have gone out before the box opened.
  sleep 0.5
  (($(notify_count "$calls") == 0)) || fail "a notification went out with Notify=0"
  ok "with Notify=0 the alarm shows its box and sends no notification"
  exit 0
fi

{
  event_at 0 $((t0 - 86400)) 'Missed call' 'Call back'
  event_at 1 $((t0 + lead)) 'Dentist' 'Bring the card'
  event_at 2 $((t0 + lead + 4)) 'Taxes' 'File them'
  event_at 3 $((t0 + lead + 8)) 'Plants' 'Water them'
} >"$app/events.ini"
printf '[Options]\nLanguage=English\nEvents=4\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"
start_program

# Passed events: the box comes before the main window.
wait_until "$lead" has_notify_for "$calls" 'Missed call' ||
  fail "no notification of the passed event alone (a start slower than $lead s lets the alarms pass too)"
notification=$(notify_for "$calls" 'Missed call')
(($(wc -l <<<"$notification") == 1)) || fail "passed events notified more than once"
id=$(field 2)
[ "$(field 3)" = Dorvane ] || fail "passed events notified as '$(field 3)'"
[[ "$(field 5)" == *'Missed call'* ]] || fail "the passed event is not in the body: $(field 5)"
[ "$(field 7)" = 1 ] || fail "passed events notified with urgency $(field 7)"
[ "$(field 6)" = 'default|' ] || fail "the passed events notification offers '$(field 6)'"
wait_until 5 window_count_is 1 || fail "no passed-events box"
close_box "$(windows)"
wait_until 5 grep -qx "CloseNotification"$'\t'"$id" "$calls" || fail "closing the passed-events box left its notification"
ok "passed events at start-up: one normal notification, withdrawn with the box"

wait_until 5 window_count_is 1 || fail "the main window did not appear"
main=$(windows)
wait_until $((lead + 5)) has_notify_for "$calls" 'Dentist' || fail "the alarm sent no notification"
notification=$(notify_for "$calls" 'Dentist')
id=$(field 2)
[ "$(field 3,5,7)" = $'Dorvane\tBring the card\t2' ] || fail "the alarm notification is '$(field 3,5,7)'"
[ "$(field 6)" = 'default||snooze-5|Snooze 5 min|snooze-15|Snooze 15 min' ] ||
  fail "the alarm notification offers '$(field 6)'"
wait_until 5 window_count_is 2 || fail "no alarm box beside the notification"
[ "$(status_of Dentist)" = Done ] || fail "the alarm is not marked done on disk"
ok "an alarm sends one critical notification with the snooze actions, beside its box"

snoozed=$(date +%s)
# As a desktop does: the action, then the notification goes.
printf 'invoke %s snooze-5\nclosed %s 2\n' "$id" "$id" >&5
again() { events | awk -F'|' '$1 == "Dentist" && $4 == "Active"' | grep -q .; }
wait_until 3 again || fail "snoozing did not re-arm the event"
IFS='|' read -r _ date time _ <<<"$(events | awk -F'|' '$1 == "Dentist" && $4 == "Active"')"
due=$(epoch_of "$date" "$time")
((due >= snoozed + 300 && due <= $(date +%s) + 300)) ||
  fail "snoozed to $date $time, $((due - snoozed)) s after the snooze"
(($(events | grep -c '^Dentist|') == 1)) || fail "snoozing added a copy of the event"
grep -qx 'Events=4' "$app/dorvane.ini" || fail "the settings do not count 4 events"
wait_until 3 window_count_is 1 || fail "snoozing left the alarm box open"
ok "Snooze 5 min re-arms the event for $date $time, saves it at once and closes the box"

wait_until 10 has_notify_for "$calls" 'Taxes' || fail "the second alarm sent no notification"
id=$(notify_for "$calls" 'Taxes' | cut -f2)
wait_until 5 window_count_is 2 || fail "no box for the second alarm"
close_box "$(other_window "$main")"
wait_until 3 window_count_is 1 || fail "Return did not close the alarm box"
wait_until 3 grep -qx "CloseNotification"$'\t'"$id" "$calls" || fail "closing the box did not withdraw notification $id"
ok "closing an alarm box withdraws its notification"

stop_server
calls=$work/calls-no-actions
start_server "$calls" --no-actions
wait_until 10 has_notify_for "$calls" 'Plants' || fail "no notification from the alarm while the service has no actions"
actions=$(notify_for "$calls" 'Plants' | cut -f6)
[ "$actions" = 'default|' ] || fail "a service without actions was offered '$actions'"
ok "a service without action buttons gets no snooze actions"
