#!/usr/bin/env bash
# The real program on a private Xvfb with openbox and a private session bus that carries a fake
# StatusNotifierItem host (org.kde.StatusNotifierWatcher): the tray icon registers there, the
# window minimized goes to it, and the icon's Activate call (a left click in the panel) brings
# the window back. Screenshots stay in BUILD_DIR/e2e-shots/status-notifier.
# Usage: status_notifier_test.sh PATH/TO/dorvane PATH/TO/status_notifier_watcher_helper
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
helper=$2
command -v dbus-daemon >/dev/null || { echo "SKIP: dbus-daemon is not installed"; exit 77; }
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init status_notifier "$build/e2e-shots/status-notifier" openbox
title='^Dorvane 1\.6$'
said() { grep -q "$1" "$work/watcher.out"; }

xvfb_start 1024x768
start_openbox
# shellcheck source=../support/private_bus.sh
source "$(dirname "$0")/../support/private_bus.sh"
start_private_bus
mkfifo "$work/commands"
"$helper" "$bus" <"$work/commands" >"$work/watcher.out" 2>&1 &
pids+=($!)
exec 5>"$work/commands"
wait_until 10 said '^ready$' || fail "no watcher: $(cat "$work/watcher.out")"

app_prepare "$build"
printf '[Options]\nLanguage=English\nEvents=0\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"
(cd "$app" && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
  QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=$bus exec ./dorvane) >>"$work/log" 2>&1 &
program=$!
pids+=("$program")
wait_until 20 visible "$title" || fail "no main window"
window=$(visible "$title" | head -1)
wait_until 10 said '^registered ' || fail "the icon did not register with the watcher: $(cat "$work/watcher.out")"
shot started
echo "ok: the icon registered as $(grep -m1 '^registered ' "$work/watcher.out" | cut -d' ' -f2-)"

xdotool windowminimize "$window"
wait_until 10 gone "$title" || fail "the minimized window did not go to the tray"
shot in-tray
echo activate >&5
wait_until 10 visible "$title" || fail "Activate did not bring the window back"
shot activated
echo "ok: minimized into the icon, Activate brought the window back"

kill -TERM "$program"
wait_ended 5 "$program"
echo "2 passed, 0 failed"
