#!/usr/bin/env bash
# quelvex.exe's end-of-count actions under Wine on Xvfb, with PulseAudio's null sink recorded: a
# three-second count with the alarm, the capture and hiding on sounds the shipped alarm until
# STOP, saves a 1280x1024 JPEG without the window and rehearses the power-off; a read-only folder
# (root: a tmpfs of our own) keeps the earlier picture and shows the error; a text ALARM.WAV
# plays the built-in tone; restart, suspend, hibernate, log-out and lock are each rehearsed with
# their own call; and in a prefix made here the user's own ALARM.WAV wins, without --dry-run the
# power-off, the restart and the log-out end the program's processes, and where hibernation is
# off --action hibernate is refused.
#   windows_actions.sh PATH_TO_QUELVEX_EXE     (WINEPREFIX and HOME set to the build's prefix)
# shellcheck source=tests/e2e/capture_lib.sh
source "$(dirname "$0")/capture_lib.sh"
readonly win="${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"
: "${WINEPREFIX:?the Wine prefix of the build}"
export WINEDEBUG=-all
# A Wine session keeps the screen it began on: this one begins on our X server.
wineserver -k 2>/dev/null || true
wineserver -w
work="$E2E_TMP/work"
mkdir -p "$work" "$E2E_TMP/home" "$E2E_TMP/runtime"
chmod 700 "$E2E_TMP/runtime"
mounted=0 PA_PID=""
[ "$(id -u)" = 0 ] && mount -t tmpfs -o size=32m quelvex-e2e "$work" && mounted=1
trap 'rc=$?; set +e; stop_pid "$PA_PID"; [ $mounted = 0 ] || umount -l "$work"; (exit $rc); e2e_cleanup' EXIT
# Wine and PulseAudio share a home and runtime folder, so the program reaches this server.
in_session() { env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" "$@"; }
(exec env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" pulseaudio -n --daemonize=no \
    --exit-idle-time=-1 --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
    >"$E2E_TMP/pulse.log" 2>&1) &
PA_PID=$!
wait_for 10 in_session pactl info >/dev/null 2>&1 || fail "PulseAudio did not start"

# What the null sink plays for SECONDS, as sox's statistics.
record() {
    in_session timeout -s INT "$1" parecord -d null.monitor --raw --format=s16le --rate=44100 \
        --channels=1 "$E2E_TMP/rec.raw" || true
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$E2E_TMP/rec.raw" -n stat 2>"$E2E_TMP/stat"
}
stat_of() { awk -F: -v k="$1" '$1 ~ k { gsub(/ /, "", $2); print $2 }' "$E2E_TMP/stat"; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 > b + 0) }'; }
sounding() { record 0.5 && above "$(stat_of 'RMS +amplitude')" 0.02; }
silent() { record 1 && [ "$(stat_of 'Maximum amplitude')" = 0.000000 ]; }
# tone CASE low|high: the built-in tone (about 930 Hz) or the shipped chime (about 1350 Hz).
tone() {
    wait_for 10 sounding || fail "$1: no alarm"
    record 1.5
    local f
    f=$(stat_of 'Rough +frequency')
    note "$1: alarm heard, rough frequency $f Hz"
    if [ "$2" = high ]; then above "$f" 1150 || fail "$1: not the shipped alarm"; else above 1150 "$f" || fail "$1: not the built-in tone"; fi
}

# launch_exe DIR EXE [OPTION...]: the program in DIR, its window drawn; the launched process is
# the program itself. Wine's trace of the execution state shows the machine kept awake.
launch_exe() {
    (cd "$1" && exec env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" LC_ALL=en_US.UTF-8 \
        WINEDEBUG=-all,warn+ntdll \
        LANG=en_US.UTF-8 wine "$2" "${@:3}" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
    E2E_APID=$!
    find_window
    wait_for 15 window_drawn || fail "window not drawn"
}
# start_exe DIR EXE [OPTION...]: the same, in program-counter mode.
start_exe() {
    launch_exe "$@"
    click_pc_mode
    sleep 0.5
}
close_exe() {
    stop_pid "$E2E_APID"
    E2E_APID=""
    wineserver -w
}
toggle_alarm() { click_control 199 239 16 12; }
# The error box bears the window's title.
error_box_shown() { [ "$(xdotool search --onlyvisible --name '^Quelvex 5\.0$' | wc -l)" -ge 2 ]; }
start_x
silent || fail "sound before any alarm"
# A screen behind the window that a picture can be checked against.
convert -size "${SCREEN_W}x$SCREEN_H" gradient:'#3060f0'-'#f0a040' "$E2E_TMP/screen.png"
display -window root "$E2E_TMP/screen.png" || true # sets the background, then exits
convert "$E2E_TMP/screen.png" -crop "$win" +repage "$E2E_TMP/behind.png"
start_exe "$work" "$E2E_BIN" --dry-run
toggle_alarm
toggle_capture
toggle_hide_on_capture
count_three_seconds
tone shipped high
find_capture "$work"
check_jpeg "$CAPTURE" "$SCREEN_W" "$SCREEN_H"
convert "$CAPTURE" -crop "$win" +repage "$E2E_TMP/hidden.png"
differing=$(pixels_differing "$E2E_TMP/hidden.png" "$E2E_TMP/behind.png" 8%)
((differing < WIN_W * WIN_H / 100)) || fail "not the screen behind the window in the picture ($differing pixels differ)"
awake=$(grep -o 'ExecutionState (0x8000000[01]' "$E2E_TMP/stderr" | grep -o '.$' | tr -d '\n')
[ "$awake" = 10 ] || fail "the machine was not kept awake while the count ran, and only then: $awake"
wait_for 3 window_mapped || fail "the window did not come back after the capture"
[ "$(stderr_count "$POWER_LINE (dry run: not performed)")" = 1 ] || fail "no single rehearsed power-off"
[ "$(stderr_count "ExitWindowsEx(0xc, 0x80000000) not called")" = 1 ] || fail "not a forced, planned power-off"
# The balloon itself cannot be seen under Wine without a desktop: its line on standard error.
[ "$(stderr_count "warning shown: Quelvex will switch the computer off in 1 minute")" = 1 ] || fail "no warning at START"
click_control 317 131 150 32
sleep 0.3
silent || fail "still sounding after STOP"
note "alarm until STOP, $(basename "$CAPTURE") without the window, rehearsed power-off"

if [ "$mounted" = 1 ]; then
    cp "$CAPTURE" "$E2E_TMP/good.jpg"
    for n in "$(capture_name)" "$(capture_name -d '+1 minute')"; do cp "$E2E_TMP/good.jpg" "$work/$n"; done
    cp "$E2E_BIN" "$work/"
    mount -o remount,ro "$work"
    count_three_seconds
    wait_for 5 error_box_shown || fail "no error shown for a read-only folder"
    [ "$(stderr_count "$ERROR_LINE")" = 1 ] || fail "$(stderr_count "$ERROR_LINE") capture errors reported"
    for n in "${NAMES[@]}"; do cmp -s "$E2E_TMP/good.jpg" "$work/$n" || fail "earlier capture $n damaged"; done
    note "read-only folder: earlier capture intact, error shown, power-off requested"
    # Started in its own folder that it cannot write, as from the Start menu: it saves in Pictures.
    close_exe && start_exe "$work" "$work/$(basename "$E2E_BIN")" --dry-run
    toggle_capture && count_three_seconds
    find_capture "$WINEPREFIX/drive_c/users/$(id -un)/Pictures" && rm "$CAPTURE"
else
    note "not root: read-only folder skipped"
fi
close_exe

# A text file named ALARM.WAV beside the program.
mkdir -p "$E2E_TMP/text"
cp "$E2E_BIN" "$E2E_TMP/text/"
echo "not a sound" >"$E2E_TMP/text/ALARM.WAV"
start_exe "$E2E_TMP/text" "$E2E_TMP/text/$(basename "$E2E_BIN")" --dry-run
toggle_alarm
click_seconds_up
click_start
tone text low
# RESET, a count of nine seconds, STOP at once: the warning's end is reported while it runs on.
click_control 30 90 128 28 && sleep 0.3 && for _ in $(seq 9); do click_seconds_up; done && sleep 0.3
click_start && click_control 317 131 150 32
wait_for 5 eval '[ "$(stderr_count "warning withdrawn")" = 2 ]' || fail "the warning's end not reported at once"
close_exe

# Every other action through the rehearsal seam, handed over to one program: its own call, once;
# a suspend lets go of the keep-awake request before it sleeps.
declare -A CALL=([restart]="ExitWindowsEx(0x6, 0x80000000)" [suspend]="SetSuspendState(0, 0, 0)"
    [hibernate]="SetSuspendState(1, 0, 0)" [logout]="ExitWindowsEx(0x4, 0)" [lock]="LockWorkStation()")
start_exe "$E2E_TMP/text" "$E2E_BIN" --dry-run
for a in restart suspend hibernate logout lock; do
    in_session wine "$E2E_BIN" --dry-run --in 0:00:02 --action "$a" || fail "$a: not handed over"
    wait_for 15 eval '[ "$(stderr_count "${CALL[$a]} not called")" = 1 ]' || fail "$a: no single ${CALL[$a]}"
done
[ "$(stderr_count "ExitWindowsEx(0xc")" = 0 ] || fail "a power-off among the other actions"
order=$(grep -o -e 'ExecutionState (0x8000000[01]' -e 'SetSuspendState(0' "$E2E_TMP/stderr" | tr -d '\n')
[[ $order == *"(0x80000000SetSuspendState(0"* ]] || fail "kept awake into the suspend: $order"
note "restart, suspend, hibernate, log-out and lock rehearsed"
close_exe

# A prefix of our own: the user's sound in their application data wins over the text file; then
# the real requests, which under Wine end that prefix's processes.
export WINEPREFIX="$E2E_TMP/prefix"
WINEDLLOVERRIDES='mscoree=d;mshtml=d' in_session wineboot -i >/dev/null 2>&1
in_session wineserver -w
mkdir -p "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Quelvex"
sox -n -b 16 -r 44100 -t wav "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Quelvex/ALARM.WAV" synth 1 sine 600
start_exe "$E2E_TMP/text" "$E2E_TMP/text/$(basename "$E2E_BIN")" --dry-run
toggle_alarm
click_seconds_up
click_start
tone user low
above 800 "$(stat_of 'Rough +frequency')" || fail "user: the built-in tone, not the user's 600 Hz"
close_exe
start_exe "$E2E_TMP/text" "$E2E_BIN"
count_three_seconds # and half a second
for _ in $(seq 50); do app_alive && sleep 0.1; done
! app_alive || fail "the program outlived its power-off by 5 s"
[ "$(stderr_count "Cannot switch")" = 0 ] || fail "the power-off was refused"
note "power-off in a prefix of its own: the program ended at once"
for a in restart logout; do
    launch_exe "$E2E_TMP/text" "$E2E_BIN" --in 0:00:02 --action "$a"
    for _ in $(seq 150); do app_alive && sleep 0.1; done
    ! app_alive || fail "the program outlived its $a by 15 s"
    [ "$(stderr_count "Cannot")" = 0 ] || fail "the $a was refused"
done
note "restart and log-out in the prefix: the program ended"
# A machine that can neither sleep nor hibernate: --action hibernate is refused at start, with one
# line and no window, and in a hand-over from a start that sees Wine's own answer (hibernation on).
cp "$(dirname "$E2E_BIN")/powrprof_stub.dll" "$WINEPREFIX/drive_c/windows/system32/powrprof.dll"
export WINEDLLOVERRIDES=powrprof=n
status=0
in_session timeout 30 wine "$E2E_BIN" --action hibernate 2>"$E2E_TMP/refused" || status=$?
refused=$(tr -d '\r' <"$E2E_TMP/refused" | grep '^quelvex' || true)
[ "$status" = 2 ] && [ "$refused" = "quelvex: this computer does not allow --action hibernate" ] ||
    fail "--action hibernate not refused ($status): $refused"
launch_exe "$E2E_TMP/text" "$E2E_BIN" --dry-run
! WINEDLLOVERRIDES= in_session wine "$E2E_BIN" --dry-run --action hibernate || fail "hibernate handed over"
wine "$(dirname "$E2E_BIN")/accessibility_probe.exe" | grep -q $'^At the end\tSHUT DOWN THE COMPUTER\t' ||
    fail "a refused hand-over changed the action"
note "hibernation off: --action hibernate refused at start and in a hand-over"
close_exe
pass
