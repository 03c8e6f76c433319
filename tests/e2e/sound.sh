#!/usr/bin/env bash
# The alarm through a real sound server (PulseAudio with a null sink, recorded from its monitor,
# measured by sox): a one-second count with the alarm on loops the shipped ALARM.WAV until STOP;
# a broken ALARM.WAV is turned away before Qt's loader sees it, so the built-in tone sounds at once;
# with no sound server the window goes on working. After each run the program must still close at once.
#   sound.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# A rehearsal: nothing is switched off, and the count's end shows as its power-off line.
E2E_ARGS=(--dry-run)

PA_PID=""
trap 'rc=$?; set +e; stop_pid "$PA_PID"; (exit $rc); e2e_cleanup' EXIT
mkdir -p "$E2E_TMP/runtime" "$E2E_TMP/home"
chmod 700 "$E2E_TMP/runtime"
# The same environment as start_app's, so the program reaches this server.
pa() { env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" "$@"; }
# The server takes the background subshell's place, so that $! is the server and the stop reaches it.
exec_pa() { exec env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" "$@"; }
exec_pa pulseaudio -n --daemonize=no --exit-idle-time=-1 --load="module-null-sink sink_name=null" \
    --load=module-native-protocol-unix >"$E2E_TMP/pulse.log" 2>&1 &
PA_PID=$!
wait_for 10 pa pactl info >/dev/null 2>&1 || fail "PulseAudio did not start: $(cat "$E2E_TMP/pulse.log")"

# record SECONDS [EFFECT...]: sox's statistics of what the server plays meanwhile, passed through
# sox's EFFECTs, into $E2E_TMP/stat.
record() {
    pa timeout -s INT "$1" parecord -d null.monitor --raw --format=s16le --rate=44100 --channels=1 \
        "$E2E_TMP/rec.raw" || true
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$E2E_TMP/rec.raw" -n "${@:2}" stat 2>"$E2E_TMP/stat"
}
stat_of() { awk -F: -v k="$1" '$1 ~ k { gsub(/ /, "", $2); print $2 }' "$E2E_TMP/stat"; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 > b + 0) }'; }
sounding() { record 0.5 && above "$(stat_of 'RMS +amplitude')" 0.02; }
silent() { record 1 && [ "$(stat_of 'Maximum amplitude')" = 0.000000 ]; }

# alarm_run CASE BIN: program-counter mode, the alarm switched on, 00:00:01 entered, START.
alarm_run() {
    E2E_BIN=$2
    start_app
    find_window
    wait_for 15 window_drawn || fail "$1: window not drawn"
    click_pc_mode
    click_control 199 239 16 12
    click_seconds_up
    click_start
}
stop_alarm() {
    click_control 317 131 150 32
    sleep 0.3
    silent || fail "$1: still sounding after STOP"
}
close_app() {
    click_control 457 5 22 22
    for _ in $(seq 50); do app_alive && sleep 0.1; done
    ! app_alive || fail "$1: the program did not close"
    E2E_APID=""
}
# check_tone CASE low|high: the rough frequency tells the built-in tone (about 930 Hz) from the
# shipped chime (about 1350 Hz).
check_tone() {
    wait_for 10 sounding || fail "$1: no sound"
    record 1.5 # a whole pass of either sound
    local f
    f=$(stat_of 'Rough +frequency')
    note "$1: rms $(stat_of 'RMS +amplitude'), max $(stat_of 'Maximum amplitude'), rough frequency $f Hz"
    if [ "$2" = high ]; then above "$f" 1150 || fail "$1: not the shipped alarm"; fi
    if [ "$2" = low ]; then above 1150 "$f" || fail "$1: not the built-in tone"; fi
}

# turned_away CASE N: the program has said N times that the file is no sound it can play.
turned_away() { [ "$(stderr_count "the built-in tone sounds instead")" = "$2" ] || fail "$1: not turned away at once"; }

start_x
silent || fail "sound before any alarm"

# The shipped alarm loops (past its 1.5 s) until STOP, and the next count starts it again.
alarm_run shipped "$E2E_BIN"
wait_for 10 sounding || fail "shipped: no sound after the count"
sleep 1.6
check_tone shipped high
stop_alarm shipped
click_start
check_tone shipped-again high
close_app shipped

# A sound of the user's own in their data folder wins over the shipped one.
mkdir -p "$E2E_TMP/home/.local/share/quelvex"
sox -n -b 16 -r 44100 -t wav "$E2E_TMP/home/.local/share/quelvex/ALARM.WAV" synth 1 sine 600
alarm_run user "$E2E_BIN"
check_tone user low
above 800 "$(stat_of 'Rough +frequency')" || fail "user: the built-in tone, not the user's 600 Hz"
stop_alarm user
close_app user
rm -r "$E2E_TMP/home/.local/share/quelvex"

# Broken alarm files, each beside a copy of the program.
bin=$E2E_BIN
for c in missing empty text header truncated 24bit; do
    mkdir -p "$E2E_TMP/$c"
    cp "$bin" "$E2E_TMP/$c/quelvex"
    w=$E2E_TMP/$c/ALARM.WAV
    case $c in
    empty) : >"$w" ;;
    text) echo "not a sound" >"$w" ;;
    header) head -c 44 "$(dirname "$bin")/ALARM.WAV" >"$w" ;;
    truncated) head -c 20000 "$(dirname "$bin")/ALARM.WAV" >"$w" ;;
    24bit) sox -n -b 24 -r 44100 -t wav "$w" synth 1 sine 1000 ;;
    esac
    alarm_run "$c" "$E2E_TMP/$c/quelvex"
    check_tone "$c" low
    turned_away "$c" 1
    stop_alarm "$c"
    if [ "$c" = text ]; then
        click_start
        check_tone text-again low
        turned_away text-again 2
    fi
    close_app "$c"
done

# No sound server at all: the alarm is silent, and the window keeps answering.
stop_pid "$PA_PID"
alarm_run no-server "$bin"
sleep 2
close_app no-server
pass
