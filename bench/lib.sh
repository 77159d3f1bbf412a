# Shared by the measuring scripts: a private X server and a program folder with N events.
# Usage: source bench/lib.sh; bench_setup BUILD_DIR EVENT_COUNT [SOUND: yes|no] [YEAR]
# The events fall in YEAR (2099, the future, unless told): a past year makes them all passed.
# Pristine copies of both files stay beside them, for scripts whose runs change the files.

bench_setup() {
  local build=$1 count=$2 sound=${3:-yes} year=${4:-2099}
  BENCH_DIR=$(mktemp -d)
  export HOME=$BENCH_DIR/home XDG_CONFIG_HOME=$BENCH_DIR/home/.config XDG_RUNTIME_DIR=$BENCH_DIR/run
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  cp -r "$build/dorvane" "$build/language" "$build/sounds" "$BENCH_DIR/"
  {
    for ((i = 0; i < count; i++)); do
      printf '[Event%d]\nDate=%02d.%02d.%d\nTime=%02d:%02d:00\nCountdown=0\n' \
        "$i" $((1 + i % 28)) $((1 + i % 12)) "$year" $((i % 24)) $((i % 60))
      printf 'Title=Reminder number %d\nMessage=Call the office about the order %d and the invoice.\n' "$i" "$i"
      if [ "$sound" = yes ]; then
        printf 'Sound File=%s/sounds/alarm.wav\n' "$BENCH_DIR"
      else
        printf 'Sound File=\n'
      fi
      printf 'Extra File=\nStatus=Active\n'
    done
  } >"$BENCH_DIR/events.ini"
  printf '[Options]\nLanguage=English\nEvents=%d\nAuto Start=0\nSound Play=1\n' "$count" >"$BENCH_DIR/dorvane.ini"
  cp "$BENCH_DIR/events.ini" "$BENCH_DIR/events.ini.orig"
  cp "$BENCH_DIR/dorvane.ini" "$BENCH_DIR/dorvane.ini.orig"

  # Xvfb picks a free display and tells which on the descriptor given; no reset when the last
  # client leaves, or a client connecting during the reset is refused.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$BENCH_DIR/display" >/dev/null 2>&1 &
  BENCH_XVFB=$!
  # The number is complete once its line is.
  for _ in $(seq 100); do grep -q '^[0-9]*$' "$BENCH_DIR/display" 2>/dev/null && break; sleep 0.05; done
  grep -q '^[0-9]*$' "$BENCH_DIR/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(cat "$BENCH_DIR/display") QT_QPA_PLATFORM=xcb
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb on $DISPLAY does not answer" >&2; exit 1; }
  # A panel with a notification area, as on a normal desktop.
  trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
  BENCH_TRAYER=$!
  trap bench_teardown EXIT
  # Its panel must be up first, or its own map is taken for Dorvane's.
  for _ in $(seq 100); do xwininfo -name panel 2>/dev/null | grep -q IsViewable && break; sleep 0.05; done
}

bench_teardown() {
  [ -n "${BENCH_LISTENER:-}" ] && pkill -P "$BENCH_LISTENER" 2>/dev/null
  [ -n "${BENCH_PID:-}" ] && kill "$BENCH_PID" 2>/dev/null && wait "$BENCH_PID" 2>/dev/null
  kill "$BENCH_TRAYER" "$BENCH_XVFB" 2>/dev/null
  rm -rf "$BENCH_DIR"
}

# Starts Dorvane in the background in its folder; sets BENCH_PID.
bench_start() {
  (cd "$BENCH_DIR" && exec ./dorvane) 2>>"$BENCH_DIR/log" &
  BENCH_PID=$!
}

# Waits until the main window is mapped; fails when the program ended first.
bench_wait_mapped() {
  until xwininfo -name "Dorvane 1.6" 2>/dev/null | grep -q "IsViewable"; do
    kill -0 "$BENCH_PID" 2>/dev/null || { echo "Dorvane ended before its window showed:" >&2; cat "$BENCH_DIR/log" >&2; exit 1; }
  done
}

# True while Dorvane runs; an ended one waits as a zombie until reaped, which kill -0 still sees.
bench_running() {
  [ -r "/proc/$BENCH_PID/stat" ] && ! grep -q '^[0-9]* (.*) Z' "/proc/$BENCH_PID/stat" 2>/dev/null
}

# Watches the root window for the next window mapped: $BENCH_DIR/mapped then holds the moment
# (ns since the epoch) and the window's id. The watcher runs as $BENCH_LISTENER.
bench_watch_map() {
  rm -f "$BENCH_DIR/mapped" "$BENCH_DIR/mapped.tmp"
  # Timed by the shell's own clock: starting a date command would add its own start-up.
  (stdbuf -oL xev -root -event substructure | while read -r line; do
    case $line in
    MapNotify*) echo "${EPOCHREALTIME/./}000" >"$BENCH_DIR/mapped.tmp" ;;
    *window\ 0x*) if [ -f "$BENCH_DIR/mapped.tmp" ]; then
        id=${line##*window }
        echo "${id%%,*}" >>"$BENCH_DIR/mapped.tmp"
        mv "$BENCH_DIR/mapped.tmp" "$BENCH_DIR/mapped"
        break
      fi ;;
    esac
  done) &
  BENCH_LISTENER=$!
  sleep 0.2 # until xev listens
}

# Ends Dorvane; one that does not end within 10 s (a box still open at start-up) is killed.
# Usage: bench_stop [SIGNAL]: KILL when what it would write at the end does not matter.
bench_stop() {
  kill -"${1:-TERM}" "$BENCH_PID" 2>/dev/null || true
  for _ in $(seq 100); do bench_running || break; sleep 0.1; done
  kill -KILL "$BENCH_PID" 2>/dev/null || true
  wait "$BENCH_PID" 2>/dev/null || true
  BENCH_PID=
}

# Puts the pristine events and settings back, as before the first start.
bench_restore_files() {
  cp "$BENCH_DIR/events.ini.orig" "$BENCH_DIR/events.ini"
  cp "$BENCH_DIR/dorvane.ini.orig" "$BENCH_DIR/dorvane.ini"
}
