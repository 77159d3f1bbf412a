#!/usr/bin/env bash
# Installs into a staging folder under an awkward prefix, validates the menu entry, checks the
# layout, and starts the installed program through its launcher from another folder.
# Usage: install_test.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail
cmake=$1 build=$2 source=$3
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$work/log" ] && sed -n "1,40p" "$work/log"
  exit 1
}

# Blank, quote, dollar and percent all need escaping in the entry's Exec line.
prefix='/opt/my "apps" $x 100%'
root=$work/stage$prefix
install_staged() { DESTDIR=$work/stage "$cmake" --install "$build" --prefix "$prefix" >"$work/log" 2>&1 \
  || fail "install failed"; }
install_staged

program=$root/lib/dorvane
for f in bin/dorvane lib/dorvane/dorvane lib/dorvane/language/English.ini \
  lib/dorvane/language/Russian.ini lib/dorvane/sounds/alarm.wav \
  share/applications/org.dorvane.Dorvane.desktop share/man/man1/dorvane.1.gz; do
  [ -f "$root/$f" ] || fail "$f not installed"
done
[ -x "$root/bin/dorvane" ] || fail "launcher not executable"
if [ -d "$source/icons/hicolor" ]; then
  [ -f "$root/share/icons/hicolor/48x48/apps/dorvane.png" ] || fail "icons not installed"
fi
echo "ok: layout"

entry=$root/share/applications/org.dorvane.Dorvane.desktop
desktop-file-validate "$entry" >"$work/validate" 2>&1 || fail "invalid entry: $(cat "$work/validate")"
grep -q 'error\|warning' "$work/validate" && fail "entry: $(cat "$work/validate")"
grep -qxF 'Exec="/opt/my \\"apps\\" \\$x 100%%/bin/dorvane"' "$entry" || fail "$(grep Exec "$entry")"
echo "ok: menu entry"

# The language files are looked up in the current folder: a caption of our own in English.ini
# shows the launcher changed into the program folder before starting.
sed -i 's/^Form1->Caption=.*/Form1->Caption=Installed Dorvane/' "$program/language/English.ini"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
(cd "$HOME" && exec "$root/bin/dorvane") >>"$work/log" 2>&1 &
pid=$!
autostart="$XDG_CONFIG_HOME/autostart/Installed Dorvane.desktop"
for _ in $(seq 200); do [ -f "$autostart" ] && break; sleep 0.05; done
[ -f "$autostart" ] || fail "no start with the installed language file"
kill -TERM "$pid"
for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
kill -0 "$pid" 2>/dev/null && fail "SIGTERM did not end the program"
wait "$pid" || fail "exit code $?"
pid=
grep -q '^Language=English$' "$program/dorvane.ini" 2>/dev/null || fail "no settings file in $program"
echo "ok: started through the launcher, settings written in the program folder"

# A new install over the old one keeps what the program wrote.
before=$(md5sum "$program/dorvane.ini")
install_staged
[ "$(md5sum "$program/dorvane.ini")" = "$before" ] || fail "reinstall touched the settings"
echo "ok: reinstall keeps the settings"

# The uninstaller removes what the manifest lists and the login entry, keeps and names what the
# program wrote; --purge removes that too.
uninstall() { DESTDIR=$work/stage "$source/scripts/uninstall.sh" "$@" "$build/install_manifest.txt" >"$work/uninstall" 2>&1 ||
  fail "uninstall $*: $(cat "$work/uninstall")"; }
uninstall
for f in bin/dorvane lib/dorvane/dorvane lib/dorvane/language share/applications/org.dorvane.Dorvane.desktop \
  share/metainfo/org.dorvane.Dorvane.metainfo.xml; do
  [ -e "$root/$f" ] && fail "$f is left: $(cat "$work/uninstall")"
done
[ -e "$autostart" ] && fail "the login entry is left: $(cat "$work/uninstall")"
[ "$(md5sum "$program/dorvane.ini")" = "$before" ] || fail "the settings were not kept"
grep -qF "  $program/dorvane.ini" "$work/uninstall" || fail "the kept settings are not named: $(cat "$work/uninstall")"
install_staged
uninstall --purge
[ -e "$program" ] && fail "--purge left $(find "$program")"
echo "ok: uninstall keeps the settings, --purge removes them"
echo "5 passed, 0 failed"
