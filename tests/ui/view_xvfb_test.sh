#!/usr/bin/env bash
# The real program on a private Xvfb with openbox, driven as a person would: the command keys
# open their dialogs; a click on the Date header sorts by the calendar; Ctrl+F's field narrows the
# list; Enter and Delete there remove the event the row shows, and events.ini keeps its order;
# View > Hide done events and the sort outlive Ctrl+Q. Then the same window in Russian.
# Screenshots stay in BUILD_DIR/e2e-shots/view.
# Usage: view_xvfb_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
# shellcheck source=../support/xvfb_lib.sh
source "$(dirname "$0")/../support/xvfb_lib.sh"
xvfb_init view_xvfb "$build/e2e-shots/view" openbox
title='^Dorvane 1\.6$'

xvfb_start 1024x768
start_openbox
app_prepare "$build"
i=0
# As text, "01.02.2100" would come first; by the calendar it is the last.
for row in "10.05.2099|Dentist|teeth|Active" "01.02.2099|Taxes|forms|Active" \
  "01.02.2100|Dentist checkup|teeth|Done" "15.01.2099|Library|books|Active" \
  "20.03.2099|Bill|the dentist|Active" "02.01.2099|Garden|roses|Done"; do
  IFS='|' read -r date name message status <<<"$row"
  printf '[Event%d]\nDate=%s\nTime=09:00:00\nCountdown=0\nTitle=%s\nMessage=%s\nStatus=%s\n' \
    "$i" "$date" "$name" "$message" "$status"
  i=$((i + 1))
done >"$app/events.ini"
printf '[Options]\nLanguage=English\nEvents=6\nAuto Start=0\nSound Play=0\n' >"$app/dorvane.ini"
original=$(titles "$app/events.ini" 6 | paste -sd,)

app_start
wait_window 30 "$title" || fail "the main window did not appear"
main=$window
shot main

# 1. Each command key opens its dialog; Alt+F4 or Escape closes it.
for keys in "ctrl+n|^ Add Event$|alt+F4" "Insert|^ Add Event$|alt+F4" \
  "F2|^ Edit Event$|alt+F4" "Return|^ Edit Event$|alt+F4" "ctrl+o|^Open$|Escape" \
  "ctrl+s|^Save As$|Escape"; do
  IFS='|' read -r key dialog close <<<"$keys"
  xdotool windowactivate --sync "$main" key Home "$key"
  wait_window 10 "$dialog" || fail "$key opened no '$dialog'"
  shot "key-$key"
  # shellcheck disable=SC2086 # the keys, one word each
  xdotool key $close
  wait_until 10 gone "$dialog" || fail "'$dialog' of $key did not close"
done
[ "$(titles "$app/events.ini" 6 | paste -sd,)" = "$original" ] || fail "a dialog changed the events"
echo "ok: Ctrl+N, Insert, F2, Enter, Ctrl+O and Ctrl+S open their dialogs"

# 2. A click on the Date header sorts by the calendar and is kept at once.
# The window's client area: the menu bar, then the list's header.
origin() {
  local geometry
  geometry=$(xwininfo -id "$1")
  left=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
  top=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
}
# show_menus NAME: a screenshot of the File, Events and View menus, opened with the mouse and
# the arrow keys (a Cyrillic access key may be missing from the keyboard map).
show_menus() {
  local keys
  menu_bar_click "$main" || fail "the menu bar did not open"
  shot "$1-file-menu"
  for keys in Right "Right Right"; do
    # shellcheck disable=SC2086 # the keys, one word each
    xdotool key $keys
    shot "$1-menu-$keys"
  done
  xdotool key Escape Escape
  wait_until 5 not menu_shown || fail "the menus did not close"
}
origin "$main"
xdotool windowactivate --sync "$main" mousemove $((left + 30)) $((top + 28)) click 1
wait_until 5 grep -qx 'Sort Column=0' "$app/dorvane.ini" || fail "a click on Date did not sort"
grep -qx 'Sort Order=0' "$app/dorvane.ini" || fail "the first click did not sort ascending"
shot sorted-by-date

# 3. Ctrl+F narrows the list to "dent" (a title or a description); Enter selects the first row
# shown, the bill of 20.03.2099 (row 4 of the file), and Delete removes that one.
xdotool key ctrl+f
xdotool type --delay 20 dent
xdotool key Return
shot filtered
xdotool key Delete
wait_window 10 '^Delete$' || fail "Delete asked nothing"
xdotool key Return
wait_until 10 gone '^Delete$' || fail "the delete box did not close"
wait_until 5 grep -qx 'Events=5' "$app/dorvane.ini" || fail "the settings do not count 5 events"
kept=$(titles "$app/events.ini" 5 | paste -sd,)
[ "$kept" = "Dentist,Taxes,Dentist checkup,Library,Garden" ] || fail "wrong events left: $kept"
shot deleted
echo "ok: sorted by date and filtered, Delete removed the event its row showed; events.ini keeps its order"

# 4. Escape empties and hides the field; View > Hide done events; Ctrl+Q keeps both.
xdotool key ctrl+f Escape
xdotool key alt+v Down Return
wait_until 5 grep -qx 'Hide Done=1' "$app/dorvane.ini" || fail "Hide done events was not kept"
shot done-hidden
show_menus english
xdotool windowactivate --sync "$main" key ctrl+q
wait_ended 10 "$program"
grep -qx 'Sort Column=0' "$app/dorvane.ini" || fail "the sort was not kept at the exit"
[ "$(titles "$app/events.ini" 5 | paste -sd,)" = "$kept" ] || fail "the exit reordered events.ini"
echo "ok: Ctrl+Q exits; the sort and Hide done stay in dorvane.ini"

# 5. In Russian: the menus with their keys and access keys, sorted and without the done events.
sed -i 's/^Language=English$/Language=Russian/' "$app/dorvane.ini"
sed -i 's/^Status=Active$/Status=Активно/; s/^Status=Done$/Status=Выполнено/' "$app/events.ini"
app_start
wait_window 30 "$title" || fail "the main window did not come back in Russian"
main=$window
xdotool key ctrl+f
shot russian-search
xdotool key Escape
show_menus russian
xdotool windowactivate --sync "$main" key ctrl+q
wait_ended 10 "$program"
echo "ok: the Russian window"
