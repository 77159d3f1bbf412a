#!/usr/bin/env bash
# Runs the tray probe on a private Xvfb with trayer as the notification area, opens the icon's
# menu with a right click, double-clicks the icon and checks that the minimized window is back.
# Usage: tray_xvfb_test.sh PATH/TO/tray_probe
set -euo pipefail
probe=$1
build=$(cd "$(dirname "$1")" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init tray_xvfb "$build/e2e-shots/tray" trayer
title="Dorvane tray probe"
said() { grep -qx "$1" "$work/log"; }
window_visible() { xdotool search --onlyvisible --name "^$title\$"; }

xvfb_start 800x600
start_trayer

# The probe alone on a bare X11 session: no session bus (so no StatusNotifierItem host of the
# developer's desktop takes the icon), no real home.
HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb \
  DBUS_SESSION_BUS_ADDRESS=disabled: "$probe" >"$work/log" 2>&1 &
pids+=($!)
wait_until 10 said READY || fail "the window was not minimized into the icon"
window_visible && fail "the minimized window is still on screen"

# The icon: the probe's window embedded in trayer's panel.
tray_icon_centre tray_probe || fail "no icon in the panel"

xdotool mousemove "$x" "$y" click 3
wait_until 5 said MENU || fail "a right click did not open the menu"
shot menu
xdotool key Escape
wait_until 5 said "MENU CLOSED" || fail "the menu did not close"
window_visible && fail "the menu alone brought the window back"

xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until 5 said RESTORED || fail "a double click on the icon did not restore the window"
wait_until 5 window_visible || fail "the restored window is not on screen"
shot restored
echo "PASS: icon at $x,$y; menu opened and closed; double click restored the window"
