#!/usr/bin/env bash
# Fails when a folder includes a header of a folder it may not use: dependencies point down only.
# The same table is in CONTRIBUTING.md, and CMake links each folder's library to these alone.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A may_use=(
  [base]=""
  [inifile]="base"
  [core]="base inifile"
  [i18n]="base inifile core"
  [platform]="base inifile core"
  [media]="base inifile core platform"
  [tray]="base platform"
  [ui]="base inifile core i18n platform media tray"
  [app]="base inifile core i18n platform media tray ui"
)

failed=0
for folder in "${!may_use[@]}"; do
  [[ -d $folder ]] || continue
  allowed=" $folder ${may_use[$folder]} "
  while IFS=: read -r file line text; do
    used=${text#*\"}
    used=${used%%/*}
    # A header of no folder (the generated Version.h) is everyone's.
    [[ -n ${may_use[$used]+set} ]] || continue
    if [[ $allowed != *" $used "* ]]; then
      echo "$file:$line: $folder/ may not include $used/ (${text})" >&2
      failed=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^\s*#\s*include\s+"[a-z0-9_]+/' "$folder" || true)
done

if ((failed)); then
  echo "Includes point up: see the folder table in CONTRIBUTING.md" >&2
  exit 1
fi
echo "Includes point down only"
