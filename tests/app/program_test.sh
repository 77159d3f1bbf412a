#!/usr/bin/env bash
# The real program: a second start hands over to the first or is refused by the folder's lock,
# a signal writes everything and ends the program even when writes fail, a crashed instance
# does not block the next start, and what killed writes left behind is cleared.
# Usage: program_test.sh PATH/TO/dorvane
set -euo pipefail
build=$(cd "$(dirname "$1")" && pwd)
work=$(mktemp -d)
pids=()
passed=0
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/log" ] && sed -n "1,60p" "$work/log"
  exit 1
}
ok() {
  echo "ok: $*"
  passed=$((passed + 1))
}

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# Characters a shell, a launcher or a format string would take for their own.
app=$work/'app 100% $HOME `id` "q" \x'
mkdir -p "$app"
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"
entry=$XDG_CONFIG_HOME/autostart/'Dorvane 1.6.desktop'
write_files() {
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
}
write_files

start() { # [VAR=value...]: sets started to the new process
  (cd "$app" && exec env "$@" ./dorvane) >>"$work/log" 2>&1 &
  started=$!
  pids+=("$started")
}
wait_for() { # seconds, test...
  local tries=$(($1 * 40))
  shift
  while ((tries-- > 0)); do
    "$@" 2>/dev/null && return 0
    sleep 0.025
  done
  return 1
}
socket_up() { ls "$XDG_RUNTIME_DIR"/dorvane-* >/dev/null 2>&1; }
lock_held() { [ -s "$app/.events.ini.lock" ]; }
wait_exit() { # pid, seconds
  for _ in $(seq $(($2 * 20))); do kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }; sleep 0.05; done
  fail "process $1 did not end"
}
# Sends a signal and fails unless the program ends with 0 within one second (or
# DORVANE_END_LIMIT_MS).
end_by() { # signal, pid
  local t0=${EPOCHREALTIME//[.,]/} rc=0
  kill -"$1" "$2"
  while kill -0 "$2" 2>/dev/null && ((${EPOCHREALTIME//[.,]/} - t0 < 3000000)); do sleep 0.01; done
  local took=$(((${EPOCHREALTIME//[.,]/} - t0) / 1000))
  ((took <= ${DORVANE_END_LIMIT_MS:-1000})) || fail "SIG$1 took $took ms"
  wait "$2" || rc=$?
  ((rc == 0)) || fail "SIG$1 exit code $rc"
}

start
first=$started
wait_for 5 socket_up || fail "no instance socket appeared"
before=$(md5sum "$app/events.ini" "$app/dorvane.ini")
start
second=$started
wait_exit "$second" 5 || fail "second start ended with $?"
[ "$(md5sum "$app/events.ini" "$app/dorvane.ini")" = "$before" ] || fail "second start touched the files"
kill -0 "$first" || fail "first instance died"
ok "a second start hands over and ends with 0"

# An instance busy loading does not answer the socket; the folder's lock still refuses.
kill -STOP "$first"
: >"$work/log"
start
wait_exit "$started" 5 || fail "start beside a busy instance ended with $?"
kill -CONT "$first"
grep -qF "dorvane.desktop: Dorvane already runs on $app (process $first)" "$work/log" ||
  fail "no word on the refused start"
[ "$(md5sum "$app/events.ini" "$app/dorvane.ini")" = "$before" ] || fail "refused start touched the files"
ok "a start beside a busy instance is refused by the folder's lock"

end_by TERM "$first"
grep -q '^Events=2$' "$app/dorvane.ini" || fail "settings not written: $(cat "$app/dorvane.ini")"
grep -q '^Language=English$' "$app/dorvane.ini" || fail "settings not written as a whole"
grep -q '^Title=Taxes$' "$app/events.ini" || fail "events lost"
grep -q '^Sound File=' "$app/events.ini" || fail "events file not written"
[ -f "$entry" ] || fail "no autostart entry"
[ ! -e "$app/.events.ini.lock" ] && ! socket_up || fail "the lock or the socket stayed behind"
ok "SIGTERM runs the shutdown writes and ends"

if command -v desktop-file-validate >/dev/null && command -v gio >/dev/null; then
  desktop-file-validate "$entry" || fail "desktop-file-validate refused: $(cat "$entry")"
  gio launch "$entry" >>"$work/log" 2>&1 || fail "gio launch refused: $(cat "$entry")"
  wait_for 5 lock_held || fail "the autostart entry did not start the program"
  launched=$(head -1 "$app/.events.ini.lock")
  pids+=("$launched")
  [ "$(readlink "/proc/$launched/cwd")" = "$app" ] || fail "started elsewhere: $(readlink "/proc/$launched/cwd")"
  kill -TERM "$launched"
  wait_for 2 test ! -e "$app/.events.ini.lock" || fail "the launched program did not end"
  ok "the autostart entry is valid and starts the program in its folder"
else
  echo "skipped: desktop-file-validate or gio missing (desktop-file-utils, libglib2.0-bin)"
fi

# Each refused write is reported; the other writes still happen.
run_failing() { # what, command that makes the write fail once the program is up
  write_files
  rm -f "$entry"
  : >"$work/log"
  start
  wait_for 5 test -f "$entry" || fail "$1: no start" # the entry is written once the events are in
  rm -f "$entry"
  eval "$2"
  end_by TERM "$started"
}
# A folder in the settings file's place, a read-only file, a file in the autostart folder's place:
# refused also for root.
run_failing "settings" 'rm "$app/dorvane.ini"; mkdir "$app/dorvane.ini"'
grep -qxF "dorvane.files: Unable to write to $app/dorvane.ini: Is a directory" "$work/log" || fail "settings failure not reported"
grep -q '^Sound File=' "$app/events.ini" && [ -f "$entry" ] || fail "a failed settings write stopped the others"
rmdir "$app/dorvane.ini"
run_failing "events" 'chmod 444 "$app/events.ini"'
grep -qxF "dorvane.files: Unable to write to $app/events.ini: Permission denied" "$work/log" || fail "events failure not reported"
grep -q '^Language=English$' "$app/dorvane.ini" && [ -f "$entry" ] || fail "a failed events write stopped the others"
chmod 644 "$app/events.ini"
run_failing "autostart" 'rm -rf "$XDG_CONFIG_HOME"; mkdir -p "$HOME"; : >"$XDG_CONFIG_HOME"'
grep -qxF "dorvane.files: Failed to set data for 'Dorvane 1.6'" "$work/log" || fail "autostart failure not reported"
grep -q '^Sound File=' "$app/events.ini" && grep -q '^Language=English$' "$app/dorvane.ini" ||
  fail "a failed autostart write stopped the others"
rm -f "$XDG_CONFIG_HOME"
ok "refused writes at a signal are each reported, the rest is written, the end comes at once"

# What killed writes left: ours go, links and other names stay.
: >"$app/.events.ini.0123456789abcdef.tmp"
: >"$app/.dorvane.ini.fedcba9876543210.tmp"
: >"$work/target"
ln -s "$work/target" "$app/.events.ini.1111111111111111.tmp"
: >"$app/.events.ini.tmp"
start
crashed=$started
wait_for 5 socket_up || fail "no start"
[ ! -e "$app/.events.ini.0123456789abcdef.tmp" ] && [ ! -e "$app/.dorvane.ini.fedcba9876543210.tmp" ] ||
  fail "stale temporaries stayed"
[ -L "$app/.events.ini.1111111111111111.tmp" ] && [ -f "$work/target" ] && [ -f "$app/.events.ini.tmp" ] ||
  fail "removed what was not ours"
ok "stale temporaries of ours are removed at start-up, nothing else"

kill -9 "$crashed"
wait "$crashed" 2>/dev/null || true
start
next=$started
sleep 1
kill -0 "$next" || fail "a start after a crash did not come up"
start
third=$started
wait_exit "$third" 5 || fail "start after takeover ended with $?"
end_by INT "$next"
ok "a crashed instance does not block the next start"

# Without a safe runtime folder (Qt refuses one made by someone else) only the lock guards.
runtime=$work/tmp/runtime-$(id -un)
mkdir -p "$runtime" && chmod 755 "$runtime"
[ "$(id -u)" = 0 ] && chown nobody "$runtime"
: >"$work/log"
start -u XDG_RUNTIME_DIR TMPDIR="$work/tmp"
first=$started
wait_for 5 lock_held || fail "no start without a runtime folder"
start -u XDG_RUNTIME_DIR TMPDIR="$work/tmp"
wait_exit "$started" 5 || fail "second start without a runtime folder ended with $?"
grep -q "^dorvane.desktop: No safe runtime folder" "$work/log" || fail "no word on the missing runtime folder"
grep -q "^dorvane.desktop: Dorvane already runs" "$work/log" || fail "the second start was not refused"
end_by HUP "$first"
ok "without a safe runtime folder the folder's lock keeps one instance"

# No display and no platform named: a word on what is missing instead of Qt's abort.
rc=0
(cd "$app" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ./dorvane) >"$work/log" 2>&1 || rc=$?
((rc == 1)) || fail "without a display the exit code was $rc"
grep -qF "Dorvane needs a graphical session" "$work/log" || fail "no word on the missing display"
(cd "$app" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ./dorvane -platform offscreen) >"$work/log" 2>&1 &
started=$!
pids+=("$started")
wait_for 5 lock_held || fail "a platform named on the command line did not start"
end_by TERM "$started"
ok "without a display the program says it needs a graphical session and ends with 1"
echo "$passed passed, 0 failed"
