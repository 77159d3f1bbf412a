#!/usr/bin/env bash
# Start-up time of Dorvane under Xvfb, from exec to its main window being mapped, with 100 events.
# The first start warms the caches and is not counted. Usage: bench/startup.sh [BUILD_DIR] [EVENTS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
bench_setup "${1:-build}" "${2:-100}"
runs=${3:-9}

times=()
for ((run = 0; run <= runs; run++)); do
  start=$(date +%s%N)
  bench_start
  until xwininfo -name "Dorvane 1.6" 2>/dev/null | grep -q "IsViewable"; do :; done
  end=$(date +%s%N)
  bench_stop
  ((run > 0)) && times+=($(((end - start) / 1000000)))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to mapped window, ms: ${times[*]}"
echo "median: ${sorted[$((${#sorted[@]} / 2))]} ms, best: ${sorted[0]} ms"
