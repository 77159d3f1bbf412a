#!/usr/bin/env bash
# Fails, naming the files, when a tracked C++ file is not formatted as .clang-format says.
# `cmake --build build --target format` formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "clang-format not found: apt-get install clang-format" >&2; exit 1; }
if report=$(git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run --Werror 2>&1); then
  echo "Formatting: every tracked C++ file matches .clang-format"
  exit 0
fi
# One line per misplaced piece of code: name each file once.
files=$(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' <<<"$report" | sort -u)
if [ -z "$files" ]; then
  echo "$report" >&2
else
  sed 's/^/Not formatted: /' <<<"$files" >&2
  echo "$(wc -l <<<"$files") files; cmake --build build --target format formats them" >&2
fi
exit 1
