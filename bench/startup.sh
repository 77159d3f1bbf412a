#!/usr/bin/env bash
# Start-up time of Dorvane under Xvfb, from exec to its main window being mapped, with 100 events.
# The map is seen through the X server's own notice (xev on the root window), not by polling.
# The first start warms the caches and is not counted. With PASSED=yes every event lies in the
# past: what is timed is then the start until the passed-events box is mapped (the answer to a
# long absence), each run from the same untouched files.
# Usage: bench/startup.sh [BUILD_DIR] [EVENTS] [RUNS] [SOUND: yes|no, whether the events have sounds]
#        [PASSED: no|yes]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
passed=${5:-no}
year=2099
[ "$passed" = yes ] && year=2001
bench_setup "${1:-build}" "${2:-100}" "${4:-yes}" "$year"
runs=${3:-9}

times=()
cpus=()
for ((run = 0; run <= runs; run++)); do
  bench_restore_files
  # The first window mapped is the main window, or the passed-events box shown before it.
  bench_watch_map
  start=${EPOCHREALTIME/./}000
  bench_start
  for _ in $(seq 1000); do [ -f "$BENCH_DIR/mapped" ] && break; sleep 0.01; done
  [ -f "$BENCH_DIR/mapped" ] || { echo "no window was mapped:" >&2; cat "$BENCH_DIR/log" >&2; exit 1; }
  id=$(sed -n 2p "$BENCH_DIR/mapped")
  xwininfo -id "$id" | grep -q '"Dorvane 1.6"' || { echo "the first window mapped was not Dorvane's" >&2; exit 1; }
  end=$(head -1 "$BENCH_DIR/mapped")
  # The CPU time it took, over all its threads (also those that have ended), read a moment after
  # the map: on a busy machine a steadier figure than the wall clock. In clock ticks.
  used=$(awk -v hz="$(getconf CLK_TCK)" '{ printf "%d", ($14 + $15) * 1000 / hz }' /proc/"$BENCH_PID"/stat)
  # A run with passed events ends under the box; the next run starts from pristine files.
  if [ "$passed" = yes ]; then bench_stop KILL; else bench_stop; fi
  pkill -P "$BENCH_LISTENER" 2>/dev/null || true
  BENCH_LISTENER=
  ((run > 0)) && times+=($(((end - start) / 1000000))) && cpus+=("$used")
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
sortedCpu=($(printf '%s\n' "${cpus[@]}" | sort -n))
what="mapped window"
[ "$passed" = yes ] && what="mapped passed-events box"
echo "start-up to $what, ms: ${times[*]}"
echo "median: ${sorted[$((${#sorted[@]} / 2))]} ms, best: ${sorted[0]} ms"
echo "CPU time until then, median: ${sortedCpu[$((${#sortedCpu[@]} / 2))]} ms (${cpus[*]})"
