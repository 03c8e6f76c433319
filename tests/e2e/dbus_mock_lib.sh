# Sourced after e2e_lib.sh: private message buses with python-dbusmock services on them, ended
# with the script like everything else it started. Nothing here touches a real bus.
#   start_private_bus NAME                 a dbus-daemon of our own; sets BUS_ADDRESS
#   start_dbusmock ADDRESS BUSNAME LOG ARGS…  dbusmock on that bus, ARGS as for
#                                          `python3 -m dbusmock`; waits for BUSNAME, sets MOCK_PID
#   bus_call ADDRESS DEST PATH IFACE.METHOD ARGS…   dbus-send --print-reply on that bus

DBUS_MOCK_PIDS=()
dbus_mock_cleanup() {
    local i
    for ((i = ${#DBUS_MOCK_PIDS[@]} - 1; i >= 0; i--)); do stop_pid "${DBUS_MOCK_PIDS[i]}"; done
}
# shellcheck disable=SC2154 # rc is set in the trap itself
trap 'rc=$?; set +e; dbus_mock_cleanup; (exit $rc); e2e_cleanup' EXIT

bus_call() { dbus-send --bus="$1" --print-reply --dest="$2" "$3" "$4" "${@:5}"; }

start_private_bus() {
    local out="$E2E_TMP/$1.address"
    cat >"$E2E_TMP/$1.conf" <<EOC
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=$E2E_TMP/$1.socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/> <allow own="*"/> <allow send_destination="*"/> <allow receive_sender="*"/>
  </policy>
</busconfig>
EOC
    dbus-daemon --config-file="$E2E_TMP/$1.conf" --nofork --print-address=1 >"$out" 2>"$E2E_TMP/$1.log" &
    DBUS_MOCK_PIDS+=($!)
    wait_for 10 test -s "$out" || fail "private bus $1 did not start"
    BUS_ADDRESS=$(head -n1 "$out")
}

start_dbusmock() {
    local address=$1 name=$2 log=$3
    shift 3
    DBUS_SYSTEM_BUS_ADDRESS=$address DBUS_SESSION_BUS_ADDRESS=$address \
        /usr/bin/python3 -m dbusmock "$@" -l "$log" >"$log.out" 2>&1 &
    MOCK_PID=$!
    DBUS_MOCK_PIDS+=("$MOCK_PID")
    name_owned() {
        bus_call "$address" org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner "string:$name" 2>/dev/null |
            grep -q 'boolean true'
    }
    wait_for 20 name_owned || fail "dbusmock did not take $name: $(cat "$log.out")"
}
