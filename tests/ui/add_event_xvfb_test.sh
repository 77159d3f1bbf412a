#!/usr/bin/env bash
# The real program on a private Xvfb with openbox: an event is added through the Add dialog
# with the keyboard alone, reaches the events file at once, and fires a few seconds later.
# Usage: add_event_xvfb_test.sh PATH/TO/dorvane
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)

if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb is not installed (apt-get install xvfb)"
  exit 77
fi
for tool in openbox xdotool xwininfo xprop; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- program output"; cat "$work/log" 2>/dev/null || true
  echo "--- events.ini"; cat "$app/events.ini" 2>/dev/null || true
  if command -v import >/dev/null; then
    import -window root "$PWD/add_event_xvfb_failure.png" 2>/dev/null &&
      echo "screen: $PWD/add_event_xvfb_failure.png"
  fi
  exit 1
}

# wait_until SECONDS COMMAND...: polls every 0.1 s.
wait_until() {
  local tries=$(($1 * 10)); shift
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
visible() { xdotool search --onlyvisible --name "$1"; }
two_main_titles() { (($(xdotool search --onlyvisible --name '^Dorvane 1\.6$' | wc -l) >= 2)); }
fired() { grep -qx 'Status=Done' "$app/events.ini"; }

app=$work/app
mkdir -p "$app" "$work/home" "$work/run"
chmod 700 "$work/run"
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"
printf '[Options]\nLanguage=English\nEvents=0\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"

# No reset when the last client leaves: a client connecting during the reset would be refused.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
wait_until 5 xwininfo -root || fail "display $DISPLAY does not answer"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_until 10 wm_running || fail "openbox did not start: $(cat "$work/openbox.log")"

# Never across midnight: the dialog proposes today's date.
if ((10#$(date +%H%M%S) > 235945)); then sleep 20; fi
(cd "$app" && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
  QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: exec ./dorvane) >"$work/log" 2>&1 &
pids+=($!)
wait_until 10 visible '^Dorvane 1\.6$' || fail "the main window did not appear"
xdotool windowactivate --sync "$(visible '^Dorvane 1\.6$' | head -1)"

xdotool key alt+e Return
wait_until 5 visible '^ Add Event$' || fail "Events > Add did not open the Add dialog"
sleep 0.3
# The focus starts on OK; the tab order is OK, Cancel, Title, Text, Time.
due=$(date -d '+5 seconds' +%H%M%S)
xdotool key Tab Tab
xdotool type --delay 20 'Xvfb reminder'
xdotool key Tab
xdotool type --delay 20 'It fired'
xdotool key Tab Home
xdotool type --delay 20 "$due"
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab Return
wait_until 5 sh -c "! xdotool search --onlyvisible --name '^ Add Event\$'" || fail "OK did not close the dialog"

grep -qx 'Title=Xvfb reminder' "$app/events.ini" || fail "the new event is not in the events file"
grep -qx "Time=${due:0:2}:${due:2:2}:${due:4:2}" "$app/events.ini" || fail "the typed time was not stored"
grep -qx 'Status=Active' "$app/events.ini" || fail "the new event is not active"
grep -qx 'Events=1' "$app/dorvane.ini" || fail "the settings do not count the new event"
echo "ok: the event typed into the Add dialog is on disk at once"

wait_until 15 fired || fail "the event did not fire"
wait_until 5 two_main_titles || fail "no alarm message appeared"
echo "PASS: the event added with the keyboard fired at ${due:0:2}:${due:2:2}:${due:4:2}"
