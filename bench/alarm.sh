#!/usr/bin/env bash
# How soon an alarm is seen: Dorvane under Xvfb with 100 events, one of them due a few seconds
# after the start; timed from the start of its due second until its box is mapped (xev on the
# root window). Each run starts the program afresh. The first run warms the caches, not counted.
# Usage: bench/alarm.sh [BUILD_DIR] [RUNS] [SOUND: yes|no, whether the events have sounds]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
bench_setup "${1:-build}" 100 "${3:-yes}"
runs=${2:-9}

times=()
for ((run = 0; run <= runs; run++)); do
  bench_restore_files
  # Far enough ahead for the start on a busy machine.
  due=$(($(date +%s) + 4))
  sed -i "2s/.*/Date=$(date -d "@$due" +%d.%m.%Y)/; 3s/.*/Time=$(date -d "@$due" +%H:%M:%S)/" \
    "$BENCH_DIR/events.ini"
  bench_start
  bench_wait_mapped
  main=$(xwininfo -name "Dorvane 1.6" | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
  # The first window mapped from now on.
  bench_watch_map
  if (($(date +%s) >= due)); then
    echo "run $run: the start took too long, not counted" >&2
  else
    for _ in $(seq 1000); do [ -f "$BENCH_DIR/mapped" ] && break; sleep 0.01; done
    [ -f "$BENCH_DIR/mapped" ] || { echo "no alarm box was mapped:" >&2; cat "$BENCH_DIR/log" >&2; exit 1; }
    id=$(sed -n 2p "$BENCH_DIR/mapped")
    # The box, not some other window: another of Dorvane's, titled as the program.
    if [ "$((id))" = "$((main))" ] || ! xwininfo -id "$id" | grep -q '"Dorvane 1.6"'; then
      echo "the window mapped was not the alarm box" >&2
      exit 1
    fi
    late=$((($(head -1 "$BENCH_DIR/mapped") - due * 1000000000) / 1000000))
    ((run > 0)) && times+=("$late")
  fi
  bench_stop KILL
  pkill -P "$BENCH_LISTENER" 2>/dev/null || true
  BENCH_LISTENER=
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "due second to mapped alarm box, ms: ${times[*]}"
echo "median: ${sorted[$((${#sorted[@]} / 2))]} ms, best: ${sorted[0]} ms"
