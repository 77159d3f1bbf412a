#!/usr/bin/env bash
# Removes what scripts/install.sh installed: the files its install manifest lists and the user's
# login entry for that program. The events and settings Dorvane wrote stay, and are named,
# unless --purge is given.
# Usage: scripts/uninstall.sh [--purge] [MANIFEST]   (default: build-install/install_manifest.txt)
# A staged install (DESTDIR=... cmake --install) is removed with the same DESTDIR set.
set -euo pipefail
purge=0
if [ "${1:-}" = --purge ]; then
  purge=1
  shift
fi
manifest=${1:-$(dirname "$0")/../build-install/install_manifest.txt}
[ -f "$manifest" ] || { echo "No install manifest at $manifest: nothing to remove." >&2; exit 1; }

# The program folder is the one holding language/English.ini.
program=$(grep -m1 '/language/English\.ini$' "$manifest" || true)
program=${program%/language/English.ini}
[ -n "$program" ] && program=${DESTDIR:-}$program

removed=0
while IFS= read -r file || [ -n "$file" ]; do  # the manifest ends without a newline
  [ -n "$file" ] || continue
  file=${DESTDIR:-}$file
  if [ -e "$file" ] || [ -L "$file" ]; then
    rm -f -- "$file"
    removed=$((removed + 1))
  fi
done <"$manifest"
echo "Removed $removed installed files."

# The login entry names the program folder in its Path line (escaped as desktop entries escape
# a string: a backslash doubled, a leading blank as \s).
config=${XDG_CONFIG_HOME:-}
[[ "$config" == /* ]] || config=$HOME/.config
if [ -n "$program" ] && [ -d "$config/autostart" ]; then
  real=$(readlink -f -- "$program" 2>/dev/null || printf '%s' "$program")
  for dir in "$program" "$real"; do
    path=${dir//\\/\\\\}
    [[ "$path" == " "* ]] && path="\\s${path:1}"
    while IFS= read -r -d '' entry; do
      rm -f -- "$entry"
      echo "Removed the login entry $entry"
    done < <(grep -lZxF -- "Path=$path" "$config/autostart"/*.desktop 2>/dev/null || true)
  done
fi

# What the program wrote beside itself: its events, its settings, the lock.
if [ -n "$program" ] && [ -d "$program" ]; then
  kept=()
  while IFS= read -r -d '' file; do
    kept+=("$file")
  done < <(find "$program" -type f -print0)
  if ((${#kept[@]})); then
    if ((purge)); then
      rm -rf -- "$program"
      echo "Purged the events and settings in $program"
    else
      echo "Kept the events and settings Dorvane wrote (remove them with --purge):"
      printf '  %s\n' "${kept[@]}"
    fi
  fi
  # Folders the install made and left empty.
  find "$program" -depth -type d -empty -delete 2>/dev/null || true
fi
