#!/usr/bin/env bash
# Builds Dorvane and installs it for the user who runs this: the program folder in
# ~/.local/lib/dorvane, the command ~/.local/bin/dorvane, the menu entry and the icon.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only root can install packages; otherwise the configure step names any that is missing.
if [ "$(id -u)" = 0 ]; then
  scripts/setup.sh
fi
scripts/build.sh build-install -DDORVANE_TESTS=OFF -DDORVANE_BENCH=OFF
cmake --install build-install --prefix "$HOME/.local" --strip
