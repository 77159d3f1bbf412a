#!/usr/bin/env bash
# The real program on a private X server, ended at random moments, round after round:
#   torture_test.sh PATH/TO/dorvane sigkill [ROUNDS]  SIGKILL while alarms save every second
#   torture_test.sh PATH/TO/dorvane sigterm [ROUNDS]  SIGTERM, SIGINT or SIGHUP with boxes open
# After each round the events file parses and holds every event, and the settings are whole;
# a terminating signal also has to end the program within one second (DORVANE_END_LIMIT_MS),
# with exit code 0.
set -euo pipefail
exe=$1 mode=$2 rounds=${3:-50}
build=$(cd "$(dirname "$exe")" && pwd)
events=8 # four due one second after another, then four far ahead
# The sanitizer build is several times slower everywhere; it looks for memory errors, not time.
limit_us=$((${DORVANE_END_LIMIT_MS:-1000} * 1000))

if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb is not installed (apt-get install xvfb)"
  exit 77
fi
command -v xdotool >/dev/null || { echo "FAIL: xdotool is missing (scripts/setup.sh installs it)"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do { kill -9 "$p" && wait "$p"; } 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL (round $round): $*"
  echo "--- program output"; tail -20 "$work/log" 2>/dev/null || true
  echo "--- events file"; cat "$app/events.ini" 2>/dev/null || true
  echo "--- settings"; cat "$app/dorvane.ini" 2>/dev/null || true
  exit 1
}

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break; sleep 0.05; done
round=0
grep -q '^[0-9][0-9]*$' "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled:
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
app=$work/app
mkdir -p "$app"
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"

# write_events passed|due|far: with "passed" event 0 lies in the past (the start-up box reports
# it); unless "far", events 1 to 4 fall due in the next seconds, so every second an alarm saves
# both files. Alarms start sounds when $sound is 1.
write_events() {
  local now i when
  printf -v now '%(%s)T' -1
  for ((i = 0; i < events; i++)); do
    if ((i == 0)) && [ "$1" = passed ]; then
      when=$((now - 3600))
    elif ((i <= 4)) && [ "$1" != far ]; then
      when=$((now + i))
    else
      when=$((4070908800 + i * 86400)) # January 2099
    fi
    printf '[Event%d]\nDate=%(%d.%m.%Y)T\nTime=%(%H:%M:%S)T\nCountdown=0\nTitle=Reminder %d\n' \
      "$i" "$when" "$when" "$i"
    printf 'Message=Call the office about order %d.\nSound File=\nExtra File=\nStatus=Active\n' "$i"
  done >"$app/events.ini"
  printf '[Options]\nLanguage=English\nEvents=%d\nAuto Start=1\nSound Play=%d\n' "$events" "$sound" >"$app/dorvane.ini"
}

# Every line a section header or a key, each event's section once with its own title.
check_files() {
  awk -v n="$events" '
    /^\[Event[0-9]+\]$/ { section = substr($0, 7, length($0) - 7); if (seen[section]++) bad = bad " twice:" section; next }
    /^Title=/ { title[section] = substr($0, 7); next }
    /^[A-Za-z ]+=/ || /^$/ { next }
    { bad = bad " garbage:" $0 }
    END {
      for (i = 0; i < n; i++) if (title[i] != "Reminder " i) bad = bad " lost:" i
      if (length(seen) != n) bad = bad " sections:" length(seen)
      if (bad != "") { print bad; exit 1 }
    }' "$app/events.ini" || fail "events file damaged"
  for line in "Language=English" "Events=$events" "Auto Start=1" "Sound Play=$sound"; do
    grep -qx "$line" "$app/dorvane.ini" || fail "settings lack '$line'"
  done
}

start() {
  (cd "$app" && exec ./dorvane) >>"$work/log" 2>&1 &
  pid=$!
  pids+=("$pid")
}
# Until main() holds SIGTERM back or handles it, the default action ends the program at once
# (nothing is loaded yet): the rounds start their clock after that. Before the exec the process
# is still the shell, with signal masks of its own.
wait_signals_taken() {
  local key value mask
  for _ in $(seq 400); do
    mask=0
    if [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$app/dorvane" ]; then
      while read -r key value; do
        [[ $key == SigBlk: || $key == SigCgt: ]] && mask=$((mask | 0x$value))
      done <"/proc/$pid/status" 2>/dev/null || true
    fi
    ((mask & 0x4000)) && return 0
    sleep 0.005
  done
  fail "the program never took SIGTERM"
}
boxes_open() { xdotool search --onlyvisible --name '^Dorvane 1.6$' 2>/dev/null | wc -l; }
random_ms() { echo $((RANDOM % ($2 - $1 + 1) + $1)); }
sleep_ms() { sleep "$(($1 / 1000)).$(printf '%03d' $(($1 % 1000)))"; }
now_us() { echo "${EPOCHREALTIME//[.,]/}"; }

started=$(date +%s)
worst=0 leftovers=0
signals=(TERM INT HUP)
for ((round = 1; round <= rounds; round++)); do
  scenario=$((RANDOM % 3)) sound=$((RANDOM % 2)) # each alarm starts a sound, or none
  round_start=$(now_us)
  write_events "$([ "$mode" = sigterm ] && ((scenario == 0)) && echo passed || echo due)"
  start
  case $mode in
    sigkill)
      sleep_ms "$(random_ms 100 2500)"
      # Gone before the kill: it ended by itself, which it never should.
      kill -9 "$pid" 2>/dev/null || fail "round $round: the program ended before SIGKILL"
      wait "$pid" 2>/dev/null || true
      leftovers=$((leftovers + $(find "$app" -maxdepth 1 -name '.*.tmp' | wc -l)))
      ;;
    sigterm)
      wait_signals_taken
      case $scenario in
        0) # the start-up box of passed events, the window not yet shown
          for _ in $(seq 100); do (($(boxes_open) >= 1)) && break; sleep 0.05; done
          (($(boxes_open) >= 1)) || fail "no start-up box appeared"
          sleep_ms "$(random_ms 0 300)" ;;
        1) sleep_ms "$(random_ms 300 2500)" ;; # alarm boxes piling up, saves every second
        2) sleep_ms "$(random_ms 0 400)" ;;    # somewhere in the start-up
      esac
      signal=${signals[round % 3]}
      shown=$(boxes_open) || true # a window or box on screen: start-up wrote the login entry
      t0=$(now_us)
      kill -"$signal" "$pid"
      while kill -0 "$pid" 2>/dev/null && (($(now_us) - t0 <= 3 * limit_us)); do sleep 0.005; done
      took=$(($(now_us) - t0))
      ((took > worst)) && worst=$took
      [ -n "${TORTURE_VERBOSE:-}" ] && echo "round $round: scenario $scenario SIG$signal ended in $((took / 1000)) ms after $((t0 - round_start)) us"
      ((took <= limit_us)) || fail "SIG$signal (scenario $scenario) took $((took / 1000)) ms"
      rc=0
      wait "$pid" || rc=$?
      ((rc == 0)) || fail "SIG$signal (scenario $scenario) ended with $rc"
      # Ended before its files were read, the program writes nothing, the entry included.
      if ((shown > 0)); then
        [ -f "$XDG_CONFIG_HOME/autostart/Dorvane 1.6.desktop" ] || fail "no autostart entry"
      fi
      if ((scenario == 0)); then
        awk '/^\[Event0\]$/ { s = 1; next } /^\[/ { s = 0 } s && /^Status=Done$/ { ok = 1 } END { exit !ok }' \
          "$app/events.ini" || fail "the passed event is not marked done"
      fi
      ;;
    *) echo "unknown mode $mode"; exit 2 ;;
  esac
  check_files
done

# What the kills left behind goes at the next start, and nothing else of ours stays.
sound=0
write_events far
: >"$app/.events.ini.0123456789abcdef.tmp"
start
for _ in $(seq 100); do (($(boxes_open) >= 1)) && break; sleep 0.05; done
stale=$(find "$app" -maxdepth 1 -name '.*.tmp' | wc -l)
kill -TERM "$pid"
wait "$pid" || fail "the last start ended with $?"
((stale == 0)) || fail "$stale temporary files survived the start"
check_files

secs=$(($(date +%s) - started))
if [ "$mode" = sigterm ]; then
  echo "PASS: $rounds rounds of termination signals in ${secs} s; slowest end $((worst / 1000)) ms"
else
  echo "PASS: $rounds rounds of SIGKILL in ${secs} s; $leftovers temporary files left by kills, all removed at the next start"
fi
