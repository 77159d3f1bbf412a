#!/usr/bin/env bash
# The Debian package: built from this build folder, its files listed and its metadata validated
# (desktop entry, AppStream data, lintian), installed, run by an ordinary user under Xvfb (files
# in that user's XDG folders, none under /usr), then removed and purged without leftovers.
# Needs root, as it installs the package and adds a user; skips (77) otherwise.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
if [ "$(id -u)" != 0 ]; then
  echo "SKIP: installing a package needs root"
  exit 77
fi
if dpkg-query -W -f='${Status}' dorvane 2>/dev/null | grep -q installed; then
  echo "SKIP: a dorvane package is installed already, and this test would remove it"
  exit 77
fi
# shellcheck source=../support/xvfb_lib.sh
source "$source_dir/tests/support/xvfb_lib.sh"
xvfb_init package "$build/e2e-shots/package" lintian appstreamcli desktop-file-validate \
  dpkg-shlibdeps useradd setpriv
user=dvpkg$$
installed=0
package_cleanup() {
  ((installed)) && dpkg -P dorvane >/dev/null 2>&1
  id "$user" >/dev/null 2>&1 && userdel -r "$user" >/dev/null 2>&1
  xvfb_cleanup
}
trap package_cleanup EXIT
chmod 755 "$work"

# 1. Built with CPack, the files where a system-wide install puts them.
deb=$("$source_dir/scripts/package.sh" "$work/out" "$build" | tail -1)
[[ $(basename "$deb") =~ ^dorvane_1\.6_[a-z0-9]+\.deb$ ]] || fail "package named $deb"
dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | grep -v '/$' >"$work/files"
for f in /usr/bin/dorvane /usr/lib/dorvane/dorvane /usr/lib/dorvane/language/English.ini \
  /usr/lib/dorvane/language/Russian.ini /usr/lib/dorvane/sounds/alarm.wav \
  /usr/share/applications/org.dorvane.Dorvane.desktop \
  /usr/share/metainfo/org.dorvane.Dorvane.metainfo.xml \
  /usr/share/icons/hicolor/48x48/apps/dorvane.png /usr/share/doc/dorvane/copyright; do
  grep -qxF "$f" "$work/files" || fail "$f is not in the package: $(cat "$work/files")"
done
if [ -f "$source_dir/desktop/dorvane.1" ]; then
  grep -qxF /usr/share/man/man1/dorvane.1.gz "$work/files" || fail "no manual page"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good; do
  [[ $depends == *"$d"* ]] || fail "Depends lacks $d: $depends"
done
echo "ok: built, $(wc -l <"$work/files") files in place, Depends computed"

# 2. The metadata validates; lintian finds no error.
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/org.dorvane.Dorvane.desktop" >"$work/validate" 2>&1 ||
  fail "desktop entry: $(cat "$work/validate")"
[ -s "$work/validate" ] && fail "desktop entry: $(cat "$work/validate")"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.dorvane.Dorvane.metainfo.xml" \
  >"$work/validate" 2>&1 || fail "AppStream data: $(cat "$work/validate")"
lintian "$deb" >"$work/lintian" 2>&1 || true
grep -q '^E:' "$work/lintian" && fail "lintian: $(cat "$work/lintian")"
echo "ok: desktop entry, AppStream data and lintian ($(grep -c '^W:' "$work/lintian" || true) warnings)"

# 3. Installed, and run by a user who cannot write to /usr: the events, the lock and the
#    settings go to that user's XDG folders.
dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || fail "dpkg -i: $(cat "$work/dpkg.log")"
installed=1
useradd --create-home --home-dir "$work/home" --shell /bin/sh "$user"
home=$work/home
run=$work/run
mkdir -p "$run" && chown "$user:" "$run" && chmod 700 "$run"
xvfb_start 1024x768
start_openbox
touch "$work/before"
# as_user ENV...: starts the installed program as the user, with only the environment given.
as_user() {
  (cd "$home" && exec setpriv --reuid="$user" --regid="$user" --init-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$run" \
    QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: "$@" /usr/bin/dorvane) >>"$work/log" 2>&1 &
  program=$!
  pids+=("$program")
}
as_user
wait_until 30 visible '^Dorvane 1\.6$' || fail "the installed program shows no window"
shot installed-program
wait_until 10 test -f "$home/.local/share/dorvane/.events.ini.lock" ||
  fail "no lock beside the events file: $(find "$home" -path '*dorvane*')"
kill -TERM "$program"
wait_ended 5 "$program"
for f in .config/dorvane/dorvane.ini ".config/autostart/Dorvane 1.6.desktop"; do
  [ -f "$home/$f" ] || fail "$f was not written: $(find "$home" -type f)"
  [ "$(stat -c %U "$home/$f")" = "$user" ] || fail "$f is not the user's"
done
grep -qx 'Exec="/usr/lib/dorvane/dorvane"' "$home/.config/autostart/Dorvane 1.6.desktop" ||
  fail "login entry: $(cat "$home/.config/autostart/Dorvane 1.6.desktop")"

# Again with XDG_DATA_HOME and XDG_CONFIG_HOME set, and an event due in a few seconds: its alarm
# shows, and the event is Done in the events file there.
mkdir -p "$home/data/dorvane" "$home/conf/dorvane"
due=$(date -d '+4 seconds' '+%d.%m.%Y %H:%M:%S')
printf '[Event0]\nDate=%s\nTime=%s\nCountdown=0\nTitle=Installed\nMessage=Due now\nStatus=Active\n' \
  "${due% *}" "${due#* }" >"$home/data/dorvane/events.ini"
printf '[Options]\nLanguage=English\nEvents=1\nAuto Start=0\nSound Play=0\n' >"$home/conf/dorvane/dorvane.ini"
chown -R "$user:" "$home/data" "$home/conf"
as_user XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/conf"
done_on_disk() { grep -qx 'Status=Done' "$home/data/dorvane/events.ini"; }
wait_until 20 done_on_disk || fail "the event is not Done: $(cat "$home/data/dorvane/events.ini")"
shot installed-alarm
kill -TERM "$program"
wait_ended 5 "$program"
[ -f "$home/conf/autostart/Dorvane 1.6.desktop" ] && fail "Auto Start=0 wrote a login entry"
stray=$(find /usr -newer "$work/before" \( -type f -o -type l \) 2>/dev/null || true)
[ -z "$stray" ] || fail "written under /usr: $stray"
echo "ok: the installed program keeps its files in the user's home, nothing under /usr"

# 4. Removed, then purged: nothing of the package is left.
dpkg -r dorvane >"$work/dpkg.log" 2>&1 || fail "dpkg -r: $(cat "$work/dpkg.log")"
while IFS= read -r f; do
  [ -e "$f" ] && fail "$f is left after dpkg -r"
done <"$work/files"
[ -e /usr/lib/dorvane ] && fail "/usr/lib/dorvane is left: $(find /usr/lib/dorvane)"
dpkg -P dorvane >"$work/dpkg.log" 2>&1 || fail "dpkg -P: $(cat "$work/dpkg.log")"
installed=0
dpkg-query -W dorvane >/dev/null 2>&1 && fail "dpkg still knows dorvane after purging"
echo "ok: removed and purged without leftovers"
echo "4 passed, 0 failed"
