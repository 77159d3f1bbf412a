# shellcheck shell=bash
# Shared by the tests that drive the real program on a private X server. Source it from a
# script running under `set -euo pipefail`, then call, in this order:
#   xvfb_init NAME SHOTS_DIR TOOLS...  skips (77) without Xvfb, fails when a tool is missing
#   xvfb_start WxH                     a private Xvfb; DISPLAY is exported
#   start_openbox, start_trayer        a window manager, a notification area
#   app_prepare BUILD_DIR              a private program folder $app with the shipped files
#   app_start                          starts the program there; $program is its process id
# Screenshots go to SHOTS_DIR as NN-name.png and are kept; fail() takes one of the screen too.

# xvfb_init NAME SHOTS_DIR TOOLS...
xvfb_init() {
  test_name=$1 shots=$2
  shift 2
  if ! command -v Xvfb >/dev/null; then
    echo "SKIP: Xvfb is not installed (apt-get install xvfb)"
    exit 77
  fi
  local tool
  for tool in xdotool xwininfo xprop "$@"; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
  done
  work=$(mktemp -d)
  pids=()
  shot_count=0
  rm -rf "$shots"
  mkdir -p "$shots"
  trap xvfb_cleanup EXIT
}

xvfb_cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}

fail() {
  echo "FAIL ($test_name): $*"
  echo "--- program output"; cat "$work/log" 2>/dev/null || true
  if [ -n "${app:-}" ]; then
    echo "--- events.ini"; cat "$app/events.ini" 2>/dev/null || true
    echo "--- dorvane.ini"; cat "$app/dorvane.ini" 2>/dev/null || true
  fi
  [ -n "${DISPLAY:-}" ] && shot failure && echo "screen: $shots/$(printf %02d "$shot_count")-failure.png"
  exit 1
}

# shot NAME: the whole screen as SHOTS_DIR/NN-NAME.png.
shot() {
  shot_count=$((shot_count + 1))
  command -v import >/dev/null || return 0
  import -window root "$shots/$(printf %02d "$shot_count")-$1.png" 2>/dev/null || true
}

# wait_until SECONDS COMMAND...: polls every 0.1 s.
wait_until() {
  local tries=$(($1 * 10))
  shift
  while ((tries-- > 0)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

xvfb_start() {
  # No reset when the last client leaves: a client connecting during the reset would be refused.
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$work/display" \
    >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  wait_until 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  DISPLAY=":$(head -1 "$work/display")"
  export DISPLAY
  wait_until 5 xwininfo -root || fail "display $DISPLAY does not answer"
}

wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

start_openbox() {
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_until 10 wm_running || fail "openbox did not start: $(cat "$work/openbox.log")"
}

start_trayer() {
  trayer --edge top --align right --widthtype request --height 32 --transparent false \
    >"$work/trayer.log" 2>&1 &
  pids+=($!)
  wait_until 10 xdotool search --name '^panel$' || fail "trayer did not start: $(cat "$work/trayer.log")"
}

# app_prepare BUILD_DIR: the program's own folder with private home, config and runtime folders.
app_prepare() {
  app=$work/app
  mkdir -p "$app" "$work/home" "$work/run"
  chmod 700 "$work/run"
  cp -r "$1/dorvane" "$1/language" "$1/sounds" "$app/"
}

app_start() {
  (cd "$app" && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
    QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: exec ./dorvane) >>"$work/log" 2>&1 &
  program=$!
  pids+=("$program")
}

# app_ended PID: true once the process is gone; its exit code is then in $app_rc.
app_ended() {
  kill -0 "$1" 2>/dev/null && return 1
  app_rc=0
  wait "$1" 2>/dev/null || app_rc=$?
  return 0
}

# wait_ended SECONDS PID: fails unless the process ends in time, with exit code 0.
wait_ended() {
  local tries=$(($1 * 10))
  while ((tries-- > 0)); do
    if app_ended "$2"; then
      ((app_rc == 0)) || fail "process $2 ended with $app_rc"
      return 0
    fi
    sleep 0.1
  done
  fail "process $2 did not end within $1 s"
}

# Visible top-level windows whose title matches the pattern.
visible() { xdotool search --onlyvisible --name "$1"; }
gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# The window's title as the window manager shows it (UTF-8).
window_title() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }

# tray_icon_centre NAME: sets x and y to the centre of NAME's icon in trayer's panel.
# shellcheck disable=SC2034 # x and y are the caller's
tray_icon_centre() {
  local panel geometry
  panel=$(xdotool search --name '^panel$' | head -1)
  geometry=$(xwininfo -tree -id "$panel" | grep -m1 "\"$1\": (" || true)
  [[ $geometry =~ ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+\ +\+(-?[0-9]+)\+(-?[0-9]+) ]] || return 1
  x=$((BASH_REMATCH[3] + BASH_REMATCH[1] / 2))
  y=$((BASH_REMATCH[4] + BASH_REMATCH[2] / 2))
}

# window_active ID: true while the window has the input focus.
window_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

# wait_window SECONDS PATTERN: waits for a visible window of that title, and for it to take the
# focus, so that keys go to it; $window is its id.
wait_window() {
  wait_until "$1" visible "$2" || return 1
  window=$(visible "$2" | tail -1)
  wait_until "$1" window_active "$window"
}

# True while one of the program's pop-up menus is on screen: a window of its own, placed without
# the window manager, for another window (the tray icon is placed without it too, for none).
menu_shown() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^dorvane$' 2>/dev/null); do
    xprop -id "$w" WM_TRANSIENT_FOR | grep -q 'window id' &&
      xwininfo -id "$w" -all | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}

# ini_value FILE SECTION KEY: the value of KEY in [SECTION] of an INI file.
ini_value() {
  awk -v section="[$2]" -v key="$3" '
    /^\[/ { inside = ($0 == section); next }
    inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }' "$1"
}

# titles FILE COUNT: the titles of sections Event0 to Event<COUNT-1>, one a line.
titles() {
  local i
  for ((i = 0; i < $2; i++)); do ini_value "$1" "Event$i" Title; done
}

# not COMMAND...: for wait_until, which takes a command, not a negation.
not() { ! "$@"; }

# menu_bar_click WINDOW: opens the first menu of the window's menu bar with the mouse. Keys
# cannot reach a menu whose access key is missing from the keyboard map (a Cyrillic one, say):
# xdotool maps such a key for a moment only, and the program may read the map after that.
menu_bar_click() {
  local geometry left top
  geometry=$(xwininfo -id "$1")
  left=$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")
  top=$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")
  xdotool mousemove $((left + 12)) $((top + 8)) click 1
  wait_until 5 menu_shown
}
