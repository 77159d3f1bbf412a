#!/usr/bin/env bash
# Installs what is missing, builds Dorvane and starts it from its build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build -DDORVANE_TESTS=OFF -DDORVANE_BENCH=OFF
cd build
exec ./dorvane
