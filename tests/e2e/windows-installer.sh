#!/usr/bin/env bash
# The installer under Wine (argument; WINEPREFIX set, no session running): /S puts the files, the
# Start-menu shortcut and the installed-programs entry in place, the program opens, /S removes all.
source "$(dirname "$0")/e2e_lib.sh"
D="$WINEPREFIX/drive_c/Program Files/Quelvex" M="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
K='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quelvex' V='(DisplayVersion|Publisher|DisplayIcon) +REG_SZ'
start_x
wine "$E2E_BIN" /S && ls "$D"/{quelvex.exe,ALARM.WAV,Uninstall.exe} "$M/Quelvex/Quelvex.lnk" >/dev/null || fail "not installed"
[ "$(wine reg query "$K" | tr -d '\r' | grep -cE "$V +(5\.0|Quelvex|C:.Program Files.Quelvex.quelvex\.exe)$")" = 3 ] || fail "entry"
note "$(du -sb "$D" | cut -f1) bytes installed"
(cd "$E2E_TMP" && exec wine "$D/quelvex.exe" --dry-run </dev/null 2>"$E2E_TMP/stderr") & E2E_APID=$!
find_window; wait_for 15 window_drawn || fail "the installed program's window is not drawn"
stop_pid "$E2E_APID" && E2E_APID=""
wine "$D/Uninstall.exe" /S # returns at once and finishes about 0.8 s later
gone() { [ ! -e "$D" ] && [ ! -e "$M/Quelvex" ] && ! wine reg query "$K" && ! wine reg query 'HKLM\Software\Quelvex'; } >&/dev/null
wait_for 20 gone || fail "the uninstall left something behind"
wineserver -k && pass # the Wine session ends before its X server
