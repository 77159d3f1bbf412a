#!/usr/bin/env bash
# The real program: a second start hands over to the first, SIGTERM writes everything, and a
# crashed instance does not block the next start. Usage: program_test.sh PATH/TO/dorvane
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/log" ] && sed -n "1,60p" "$work/log"
  exit 1
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
app=$work/app
mkdir -p "$app"
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"
cat >"$app/events.ini" <<'INI'
[Event0]
Date=01.01.2099
Time=10:00:00
Countdown=0
Title=Dentist
Message=Bring the card
Status=Active
[Event1]
Date=02.01.2099
Time=11:00:00
Countdown=0
Title=Taxes
Message=File them
Status=Active
INI
printf '[Options]\nEvents=2\nAuto Start=1\n' >"$app/dorvane.ini"

start() { # sets started to the new process
  (cd "$app" && exec ./dorvane) >>"$work/log" 2>&1 &
  started=$!
  pids+=("$started")
}
wait_for_socket() {
  for _ in $(seq 200); do
    ls "$XDG_RUNTIME_DIR"/dorvane-* >/dev/null 2>&1 && return 0
    sleep 0.025
  done
  fail "no instance socket appeared"
}
wait_exit() { # pid, seconds
  for _ in $(seq $(($2 * 20))); do kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }; sleep 0.05; done
  fail "process $1 did not end"
}

start
first=$started
wait_for_socket
before=$(md5sum "$app/events.ini" "$app/dorvane.ini")

start
second=$started
wait_exit "$second" 5 || fail "second start ended with $?"
[ "$(md5sum "$app/events.ini" "$app/dorvane.ini")" = "$before" ] || fail "second start touched the files"
kill -0 "$first" || fail "first instance died"
echo "ok: a second start hands over and ends with 0"

kill -TERM "$first"
wait_exit "$first" 10 || fail "SIGTERM exit code $?"
grep -q '^Events=2$' "$app/dorvane.ini" || fail "settings not written: $(cat "$app/dorvane.ini")"
grep -q '^Language=English$' "$app/dorvane.ini" || fail "settings not written as a whole"
grep -q '^Title=Taxes$' "$app/events.ini" || fail "events lost"
grep -q '^Sound File=' "$app/events.ini" || fail "events file not written"
ls "$XDG_CONFIG_HOME/autostart/Dorvane 1.6.desktop" >/dev/null || fail "no autostart entry"
echo "ok: SIGTERM runs the shutdown writes"

start
crashed=$started
wait_for_socket
kill -9 "$crashed"
wait "$crashed" 2>/dev/null || true
start
next=$started
sleep 1
kill -0 "$next" || fail "a start after a crash did not come up"
start
third=$started
wait_exit "$third" 5 || fail "start after takeover ended with $?"
kill -INT "$next"
wait_exit "$next" 10 || fail "SIGINT exit code $?"
echo "ok: a crashed instance does not block the next start"
echo "3 passed, 0 failed"
