# shellcheck shell=bash
# start_private_bus: a session bus of our own in $work, with no service files, so nothing
# installed on the machine gets started on it; sets bus to its address. The caller has work,
# pids, wait_until and fail. $work/bus.conf stays, for tests that start a copy of the bus.
start_private_bus() {
  cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
  dbus-daemon --config-file="$work/bus.conf" --nofork --print-address >"$work/bus" 2>"$work/bus.log" &
  pids+=($!)
  wait_until 10 test -s "$work/bus" || fail "dbus-daemon did not start: $(cat "$work/bus.log")"
  bus=$(head -1 "$work/bus")
}
