#!/usr/bin/env bash
# Dorvane idle under Xvfb with 1,000 events: resident and proportional memory after 10 s, and the
# CPU time used over 60 s. Usage: bench/idle.sh [BUILD_DIR] [EVENTS] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
bench_setup "${1:-build}" "${2:-1000}"
seconds=${3:-60}
ticks=$(getconf CLK_TCK)

cpu() { awk '{ print $14 + $15 }' "/proc/$BENCH_PID/stat"; }
bench_start
until xwininfo -name "Dorvane 1.6" 2>/dev/null | grep -q "IsViewable"; do sleep 0.01; done
sleep 10
grep -E '^(Rss|Pss):' "/proc/$BENCH_PID/smaps_rollup" | awk '{ printf "%s %.1f MiB\n", $1, $2 / 1024 }'
before=$(cpu)
sleep "$seconds"
after=$(cpu)
awk -v used=$((after - before)) -v hz="$ticks" -v s="$seconds" \
  'BEGIN { printf "CPU over %d s idle: %.2f s (%.3f %% of one core)\n", s, used / hz, 100 * used / hz / s }'
grep -E '^Rss:' "/proc/$BENCH_PID/smaps_rollup" | awk '{ printf "Rss after: %.1f MiB\n", $2 / 1024 }'
bench_stop
