#!/usr/bin/env bash
# The real program under Wayland: a headless weston, Qt's wayland platform, and a private session
# bus with a fake notification service. An alarm due a few seconds ahead shows (its notification
# is sent) and is Done on disk; SIGTERM then ends the program within a second.
# Usage: wayland_test.sh PATH/TO/dorvane PATH/TO/notification_server_helper
# DORVANE_START_SECONDS: how long the program may take to start; DORVANE_END_LIMIT_MS: how long
# it may take to end (a sanitizer build is slow at both).
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
helper=$2
for tool in weston dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
plugin=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -f "$plugin/platforms/libqwayland-generic.so" ] ||
  { echo "SKIP: Qt's wayland platform is not installed (apt-get install qt6-wayland)"; exit 77; }

work=$(mktemp -d)
app=$work/app
pids=()
cleanup() {
  exec 5>&- 2>/dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL (wayland): $*"
  for f in log weston.log calls events.ini; do
    echo "--- $f"
    cat "$work/$f" "$app/$f" 2>/dev/null || true
  done
  exit 1
}
wait_until() {
  local tries=$(($1 * 10))
  shift
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

run=$work/run
mkdir -p "$app" "$work/home" "$run"
chmod 700 "$run"
XDG_RUNTIME_DIR=$run weston --backend=headless-backend.so --socket=dorvane-wayland \
  --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
pids+=($!)
wait_until 10 test -S "$run/dorvane-wayland" || fail "weston did not start"

# shellcheck source=../support/private_bus.sh
source "$(dirname "$0")/../support/private_bus.sh"
start_private_bus
mkfifo "$work/commands"
"$helper" "$bus" "$work/calls" <"$work/commands" >"$work/server.out" 2>&1 &
pids+=($!)
exec 5>"$work/commands"
wait_until 10 grep -qx ready "$work/server.out" || fail "no notification service: $(cat "$work/server.out")"

# An event due in a few seconds, with its sound on.
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"
due=$(($(date +%s) + ${DORVANE_START_SECONDS:-4}))
printf '[Event0]\nDate=%s\nTime=%s\nCountdown=0\nTitle=Wayland\nMessage=Due under weston\nStatus=Active\n' \
  "$(date -d "@$due" +%d.%m.%Y)" "$(date -d "@$due" +%H:%M:%S)" >"$app/events.ini"
printf '[Options]\nLanguage=English\nEvents=1\nAuto Start=0\nSound Play=1\n' >"$app/dorvane.ini"
(cd "$app" && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$run \
  WAYLAND_DISPLAY=dorvane-wayland QT_QPA_PLATFORM=wayland DISPLAY= DBUS_SESSION_BUS_ADDRESS=$bus WAYLAND_DEBUG=client \
  exec ./dorvane) >"$work/log" 2>&1 &
program=$!
pids+=("$program")

done_on_disk() { grep -qx 'Status=Done' "$app/events.ini"; }
wait_until 20 done_on_disk || fail "the event is not Done on disk"
kill -0 "$program" 2>/dev/null || fail "the program ended"
wait_until 5 grep -q $'^Notify\t.*\tWayland' "$work/calls" || fail "no notification was sent"
# The protocol log (WAYLAND_DEBUG) shows the main window and the alarm's box as toplevels.
toplevels=$(grep -c 'xdg_toplevel@[0-9]*\.set_title("Dorvane 1\.6")' "$work/log" || true)
((toplevels >= 2)) || fail "$toplevels Wayland toplevel windows, not the main window and the alarm's box"
echo "ok: the alarm fired under Wayland: its box shown, Done on disk, notification sent"

limit_ms=${DORVANE_END_LIMIT_MS:-1000}
kill -TERM "$program"
start=$(date +%s%N)
while kill -0 "$program" 2>/dev/null && (($(date +%s%N) - start < limit_ms * 1000000)); do sleep 0.02; done
kill -0 "$program" 2>/dev/null && fail "SIGTERM did not end the program within $limit_ms ms"
rc=0
wait "$program" || rc=$?
((rc == 0)) || fail "exit code $rc"
echo "ok: SIGTERM ended the program in $((($(date +%s%N) - start) / 1000000)) ms"
grep -v '^\[' "$work/log" | grep -i 'qt\.qpa\|wayland' && fail "Wayland complaints in the log"
echo "2 passed, 0 failed"
