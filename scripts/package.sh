#!/usr/bin/env bash
# Builds the Debian package dorvane_<version>_<arch>.deb into OUT_DIR with CPack.
# Usage: scripts/package.sh OUT_DIR [BUILD_DIR]
# Without BUILD_DIR, a release build of the program alone in build-package; with it, that
# configured build folder is brought up to date and packaged (the tests do so to save a build).
set -euo pipefail
[ $# -ge 1 ] || { echo "Usage: $0 OUT_DIR [BUILD_DIR]" >&2; exit 2; }
out=$(realpath -m -- "$1")
build=${2:-}
cd "$(dirname "$0")/.."
if [ -z "$build" ]; then
  build=build-package
  scripts/build.sh "$build" -DCMAKE_BUILD_TYPE=Release -DDORVANE_TESTS=OFF -DDORVANE_BENCH=OFF
else
  build=$(realpath -- "$build")
  cmake --build "$build" -j "$(nproc)" >/dev/null
fi
command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-shlibdeps is missing (apt-get install dpkg-dev)" >&2; exit 1; }
mkdir -p "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$stage" >"$stage.log" 2>&1 || {
  cat "$stage.log" >&2
  rm -f "$stage.log"
  exit 1
}
rm -f "$stage.log"
for deb in "$stage"/*.deb; do
  mv -f -- "$deb" "$out/"
  echo "$out/$(basename "$deb")"
done
