#!/usr/bin/env bash
# Runs the tray probe on a private Xvfb with trayer as the notification area, opens the icon's
# menu with a right click, double-clicks the icon and checks that the minimized window is back.
# Usage: tray_xvfb_test.sh PATH/TO/tray_probe
set -euo pipefail
probe=$1
title="Dorvane tray probe"

if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb is not installed (apt-get install xvfb)"
  exit 77
fi
for tool in trayer xdotool xwininfo; do
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
  echo "--- probe output"; cat "$work/probe.out" 2>/dev/null || true
  if command -v import >/dev/null; then
    import -window root "$PWD/tray_xvfb_failure.png" 2>/dev/null && echo "screen: $PWD/tray_xvfb_failure.png"
  fi
  exit 1
}

# wait_until SECONDS COMMAND...: polls every 0.1 s.
wait_until() {
  local tries=$(( $1 * 10 )); shift
  while (( tries-- > 0 )); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
said() { grep -qx "$1" "$work/probe.out"; }
window_visible() { xdotool search --onlyvisible --name "^$title\$"; }

# A free display number, chosen by the server itself. No reset when the last client leaves: a
# client connecting during the reset would be refused.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -1 "$work/display")"
wait_until 5 xwininfo -root || fail "display $DISPLAY does not answer"

trayer --edge top --align right --widthtype request --height 32 --transparent false \
  >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_until 10 xdotool search --name '^panel$' || fail "trayer did not start: $(cat "$work/trayer.log")"

# The probe alone on a bare X11 session: no session bus (so no StatusNotifierItem host of the
# developer's desktop takes the icon), no real home.
HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb \
  DBUS_SESSION_BUS_ADDRESS=disabled: "$probe" >"$work/probe.out" 2>&1 &
pids+=($!)
wait_until 10 said READY || fail "the window was not minimized into the icon"
window_visible && fail "the minimized window is still on screen"

# The icon: the probe's window embedded in trayer's panel.
panel=$(xdotool search --name '^panel$' | head -1)
geometry=$(xwininfo -tree -id "$panel" | grep -m1 '"tray_probe": (' || true)
[[ $geometry =~ ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+\ +\+(-?[0-9]+)\+(-?[0-9]+) ]] ||
  fail "no icon in the panel"
x=$(( BASH_REMATCH[3] + BASH_REMATCH[1] / 2 ))
y=$(( BASH_REMATCH[4] + BASH_REMATCH[2] / 2 ))

xdotool mousemove "$x" "$y" click 3
wait_until 5 said MENU || fail "a right click did not open the menu"
xdotool key Escape
wait_until 5 said "MENU CLOSED" || fail "the menu did not close"
window_visible && fail "the menu alone brought the window back"

xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until 5 said RESTORED || fail "a double click on the icon did not restore the window"
wait_until 5 window_visible || fail "the restored window is not on screen"
echo "PASS: icon at $x,$y; menu opened and closed; double click restored the window"
