#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds everything and runs every test: the
# normal build, the AddressSanitizer + UndefinedBehaviorSanitizer build, and a 60-second fuzz run
# of the INI engine. Ends with ctest's summary of the normal build.
# With CI set, warnings fail the builds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== Formatting"
scripts/check-format.sh

export QT_QPA_PLATFORM=offscreen
werror=()
[ -z "${CI:-}" ] || werror=(-DDORVANE_WERROR=ON)

echo "== Sanitizer build"
scripts/build.sh build-asan -DDORVANE_SANITIZE=ON -DDORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug "${werror[@]}"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j 2

echo "== Fuzzing the INI engine for 60 s"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DDORVANE_FUZZ=ON -DDORVANE_TESTS=OFF -DDORVANE_BENCH=OFF "${werror[@]}" >/dev/null
cmake --build build-fuzz --target fuzz_profile
mkdir -p build-fuzz/corpus
build-fuzz/fuzz/fuzz_profile -max_total_time=60 -timeout=10 -rss_limit_mb=2048 \
  build-fuzz/corpus fuzz/corpus 2>build-fuzz/fuzz.log || { tail -50 build-fuzz/fuzz.log; exit 1; }
tail -2 build-fuzz/fuzz.log

echo "== Build and tests"
# scripts/run.sh shares this folder and switches the tests and benchmarks off: switch them on.
scripts/build.sh build -DDORVANE_TESTS=ON -DDORVANE_BENCH=ON "${werror[@]}"
ctest --test-dir build --output-on-failure --no-tests=error -j 2
