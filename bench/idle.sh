#!/usr/bin/env bash
# Dorvane idle under Xvfb with 1,000 events: resident and proportional memory after 10 s, and the
# CPU time used over 60 s. Usage: bench/idle.sh [BUILD_DIR] [EVENTS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
bench_setup "${1:-build}" "${2:-1000}"
seconds=${3:-60}
# Nanoseconds on the CPU, summed over the program's threads.
cpu() { cat /proc/"$BENCH_PID"/task/*/schedstat | awk '{ ns += $1 } END { printf "%d", ns }'; }
bench_start
bench_wait_mapped
sleep 10
grep -E '^(Rss|Pss):' "/proc/$BENCH_PID/smaps_rollup" | awk '{ printf "%s %.1f MiB\n", $1, $2 / 1024 }'
before=$(cpu)
sleep "$seconds"
after=$(cpu)
awk -v used=$((after - before)) -v s="$seconds" \
  'BEGIN { printf "CPU over %d s idle: %.1f ms (%.3f %% of one core)\n", s, used / 1e6, 100 * used / 1e9 / s }'
grep -E '^Rss:' "/proc/$BENCH_PID/smaps_rollup" | awk '{ printf "Rss after: %.1f MiB\n", $2 / 1024 }'
bench_stop
