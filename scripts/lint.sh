#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over Dorvane's own sources (not the build
# folders, not moc's output), two files at a time. A finding fails the run.
# Usage: scripts/lint.sh [BUILD_DIR]   (default build; it is configured if it is not yet)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
command -v clang-tidy >/dev/null || { echo "clang-tidy not found: apt-get install clang-tidy" >&2; exit 1; }

# Configuring is enough: the sources include nothing that only the build generates.
[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" -G Ninja >/dev/null

# Our folders, anchored at the repository root so that build folders inside it never match.
folders='app|base|bench|core|fuzz|i18n|inifile|media|platform|tests|tray|ui'
export LINT_HEADERS="^$PWD/($folders)/"

# clang-tidy runs every compile command it finds for a file, and the tests' shared main is
# compiled once per test program: keep one command per file, and only our sources.
export LINT_DB=$build/lint
mkdir -p "$LINT_DB"
python3 - "$build/compile_commands.json" "$LINT_DB/compile_commands.json" "$LINT_HEADERS" \
  "$LINT_DB/files.txt" <<'PY'
import json, re, sys
source, target, ours = sys.argv[1], sys.argv[2], re.compile(sys.argv[3])
seen = {}
for entry in json.load(open(source)):
    if ours.match(entry["file"]):
        seen.setdefault(entry["file"], entry)
json.dump(list(seen.values()), open(target, "w"), indent=1)
print("\n".join(sorted(seen)), file=open(sys.argv[4], "w"))
PY

# Each file's findings are printed together; clang-tidy's counts of suppressed warnings are not.
lint_one() {
  local out status=0
  out=$(clang-tidy -p "$LINT_DB" --quiet "--header-filter=$LINT_HEADERS" "$1" 2>&1) || status=$?
  [ -z "$out" ] || grep -Ev '^[0-9]+ warnings?( and [0-9]+ errors?)? generated\.$' <<<"$out" || true
  return "$status"
}
export -f lint_one
if xargs -P 2 -I{} bash -c 'lint_one "$1"' _ {} <"$LINT_DB/files.txt"; then
  echo "clang-tidy: $(wc -l <"$LINT_DB/files.txt") files, no findings"
else
  echo "clang-tidy: findings above" >&2
  exit 1
fi
