#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything and runs every test: the
# normal build, the AddressSanitizer + UndefinedBehaviorSanitizer build, and a short fuzz run of
# every fuzz target. Ends with ctest's summary of the normal build.
# With CI set, warnings fail the builds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== Formatting and the direction of includes"
scripts/check-format.sh
scripts/check-includes.sh

export QT_QPA_PLATFORM=offscreen
werror=()
[ -z "${CI:-}" ] || werror=(-DDORVANE_WERROR=ON)

echo "== Sanitizer build"
scripts/build.sh build-asan -DDORVANE_SANITIZE=ON -DDORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug "${werror[@]}"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j 2

echo "== Fuzzing the INI engine, the events and language loaders and the ID3 reader"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DDORVANE_FUZZ=ON -DDORVANE_TESTS=OFF -DDORVANE_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_profile fuzz_events fuzz_language fuzz_id3
for run in profile:30 events:20 language:20 id3:20; do
  target=${run%:*}
  mkdir -p build-fuzz/corpus/$target
  build-fuzz/fuzz/fuzz_$target -max_total_time=${run#*:} -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$PWD/build-fuzz/" "$PWD/build-fuzz/corpus/$target" "$PWD/fuzz/corpus/$target" \
    2>build-fuzz/fuzz_$target.log || { tail -50 build-fuzz/fuzz_$target.log; exit 1; }
  echo "fuzz_$target: $(grep -o 'Done [0-9]* runs.*' build-fuzz/fuzz_$target.log)"
done

echo "== Build and tests"
# scripts/run.sh shares this folder and switches the tests and benchmarks off: switch them on.
scripts/build.sh build -DDORVANE_TESTS=ON -DDORVANE_BENCH=ON "${werror[@]}"
ctest --test-dir build --output-on-failure --no-tests=error -j 2
