#!/usr/bin/env bash
# The real program against damaged, foreign-encoded, unreadable and huge events and settings
# files. Each start must come up, end on SIGTERM within 2 s with 0, leave no sanitizer report,
# and leave every event in the events file: the same sections with the same titles; an events
# file that cannot be read stays as it is.
# Works with the normal and the sanitizer build. Usage: bad_files_test.sh PATH/TO/dorvane
set -uo pipefail
build=$(cd "$(dirname "$1")" && pwd)
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export LC_ALL=C HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
app=$work/app
mkdir -p "$app"
# A copy, not a link: the program keeps its settings beside the executable it was started as.
cp -r "$build/dorvane" "$build/language" "$build/sounds" "$app/"
events=$app/events.ini
# A sanitizer build runs several times slower: a longer bound, and fewer events in the huge file.
if grep -qa __asan_init "$app/dorvane"; then
  term_wait=6 huge=2000
else
  term_wait=2 huge=20000
fi
settings=$app/dorvane.ini
log=$work/log
passed=0
failed=()

event() { # index title
  printf '[Event%s]\nDate=01.01.2099\nTime=10:00:00\nCountdown=0\nTitle=%s\nMessage=Note %s\nStatus=Active\n' "$1" "$2" "$1"
}
three_events() { event 0 Dentist; event 1 Taxes; event 2 'Ключи'; }
options() { printf '[Options]\nEvents=%s\nAuto Start=1\n' "$1"; }

# The events file with one line per line, whatever its line ends; UTF-16 read as UTF-8.
text_of() {
  if [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = fffe ]; then
    iconv -f UTF-16 -t UTF-8 "$1"
  else
    cat "$1"
  fi | tr '\r' '\n' | sed 's/^\xef\xbb\xbf//'
}
# What must survive a run: the sections and their titles, byte for byte whatever their encoding.
# A gap or a cut-off event gains an empty title.
summary() { # file, titles|untouched
  case $2 in
    untouched) stat -c '%F %s %Y' "$1"; [ -d "$1" ] && ls -l --time-style=+%s "$1" ;;
    titles) echo "$(text_of "$1" | grep -aic '^\[event[0-9]*\]') sections"; text_of "$1" | grep -a '^Title=.' ;;
  esac
}

sigterm_caught() { # pid: the signal watcher is in place
  local mask
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (((0x$mask >> 14) & 1))
}

# Starts the program on the files in place, ends it with SIGTERM and checks what it left.
# Start-up is over once the login entry is written; an error box at start-up holds that back,
# so a case that expects one waits a second instead.
check() { # name, titles|untouched, [box]
  local name=$1 compare=$2 box=${3:-} before status entry=$XDG_CONFIG_HOME/autostart
  before=$(summary "$events" "$compare")
  rm -rf "$entry"
  : >"$log"
  (cd "$app" && exec ./dorvane) >>"$log" 2>&1 &
  pid=$!
  local problem= waited=0
  until sigterm_caught "$pid" && { ls "$entry"/*.desktop >/dev/null 2>&1 || { [ -n "$box" ] && ((waited >= 20)); }; }; do
    if ! kill -0 "$pid" 2>/dev/null || ((waited >= 600)); then
      problem="did not come up"
      break
    fi
    sleep 0.05
    waited=$((waited + 1))
  done
  if [ -z "$problem" ]; then
    kill -TERM "$pid"
    for _ in $(seq $((term_wait * 20))); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$pid" 2>/dev/null && problem="still running $term_wait s after SIGTERM${box:+ (an error box was up)}"
  fi
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  status=$?
  pid=
  [ -z "$problem" ] && ((status != 0)) && problem="exit code $status"
  grep -qE 'ERROR: [A-Za-z]+Sanitizer|runtime error:' "$log" && problem+=" sanitizer report"
  [ "$(summary "$events" "$compare")" = "$before" ] ||
    problem+=" events file changed: $(diff <(echo "$before") <(summary "$events" "$compare") | head -5)"
  if [ -z "$problem" ]; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failed+=("$name")
    echo "FAIL: $name: $problem"
    grep -v propagateSizeHints "$log" | head -20
  fi
  rm -rf "$events" "$settings"
}

# Damaged events files.
{
  event 0 Dentist; head -c 65536 "$app/dorvane" | tr -d '['; printf '\n'
  event 1 Taxes; printf 'Message=a\0b\n\0\0\0\n'; head -c 4096 "$app/dorvane"; printf '\n'
  event 2 Car
} >"$events"
check "binary garbage and NUL bytes between events" titles
{ event 0 Dentist; head -c 2097152 /dev/zero | tr '\0' x; printf '\nMessage='; head -c 2097152 /dev/zero | tr '\0' y; printf '\n'; event 1 Taxes; } >"$events"
check "a 2 MB line and a 2 MB value" titles
three_events | tr '\n' '\r' >"$events"
check "CR-only line ends" titles
{ printf '\xef\xbb\xbf'; three_events | sed 's/$/\r/'; } >"$events"
check "UTF-8 BOM and CRLF" titles
{ printf '\xff\xfe'; three_events | iconv -f UTF-8 -t UTF-16LE; } >"$events"
check "UTF-16 with BOM" titles
{ three_events; printf '[Event3]\nDate=01.01.2099\nTi'; } >"$events"
check "cut off in the middle of an event" titles
{ event 0 Dentist; printf '[Event1]\nTitle=Caf\xe9 M\xfcller\n'; event 2 Taxes; } >"$events"
check "Latin-1 titles" titles
{ event 0 Dentist; printf '[Event1]\nTitle=\xc2\xf0\xe0\xf7\n'; event 2 Taxes; } >"$events"
check "CP1251 titles" titles
awk -v n="$huge" 'BEGIN { for (i = 0; i < n; i++)
  printf "[Event%d]\nDate=01.01.2099\nTime=10:00:00\nCountdown=0\nTitle=Event number %d\nMessage=x\nStatus=Active\n", i, i }' >"$events"
options "$huge" >"$settings"
check "$huge events" titles

# Events files that cannot be read: the tests run as root, so no permission keeps us out.
mkdir "$events" && echo keep >"$events/inside"
options 2 >"$settings"
check "a folder in place of the events file" untouched box
mkfifo "$events"
options 2 >"$settings"
check "a named pipe in place of the events file" untouched box

# Damaged settings files beside a good events file.
three_events >"$events"
{ head -c 65536 "$app/dorvane"; printf "\n"; options 3; head -c 4096 "$app/dorvane"; } >"$settings"
check "binary garbage settings" titles
three_events >"$events"
{ printf '\xef\xbb\xbf[Options]\rEvents=1\rLanguage=Fran\xe7ais\r'; head -c 2097152 /dev/zero | tr '\0' z; } >"$settings"
check "settings: a count below the file's, Latin-1 language, CR-only, a 2 MB line" titles
for count in abc '3\0'; do
  three_events >"$events"
  printf "[Options]\nEvents=$count\nLanguage=../../../../etc/passwd\n" >"$settings"
  check "settings: events count $count" titles
done
three_events >"$events"
mkdir "$settings"
check "a folder in place of the settings file" titles
three_events >"$events"
mkfifo "$settings"
check "a named pipe in place of the settings file" titles

echo "$passed passed, ${#failed[@]} failed"
((${#failed[@]} == 0))
