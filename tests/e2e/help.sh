#!/usr/bin/env bash
# The help window opens from the Help link and from the star as one window, switches manuals with
# its radio buttons, keeps what was typed across its close box, which only hides it, and does not
# keep the program alive; the three site links hand the site's full address to the desktop's
# browser launcher. The program runs as on a machine with a network where the update page cannot
# be loaded: the link bar stays over the web strip's view, and its links work by mouse and by
# keyboard. Each click is given once, and its outcome awaited.
#   help.sh PATH_TO_QUELVEX
# With E2E_SHOT=FILE.png, the help window is saved as FILE-english.png and FILE-spanish.png.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

readonly HELP_X=359 HELP_Y=160 HELP_W=514 HELP_H=406

# Qt opens addresses with the first xdg-open on PATH.
mkdir -p "$E2E_TMP/bin"
# shellcheck disable=SC2016 # $1 belongs to the fake
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s/opened"\n' "$E2E_TMP" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
opened() { if [ -f "$E2E_TMP/opened" ]; then wc -l <"$E2E_TMP/opened"; else echo 0; fi; }
opened_at_least() { [ "$(opened)" -ge "$1" ]; }
# link_opens X Y NAME: clicking there hands the site's address to the browser.
link_opens() {
    local before
    before=$(opened)
    click "$1" "$2"
    wait_for 15 opened_at_least $((before + 1)) || fail "$3 did not call the browser"
    [ "$(sort -u "$E2E_TMP/opened")" = "$SITE" ] || fail "$3 opened: $(sort -u "$E2E_TMP/opened" | tr '\n' ' ')"
    note "$3 opened $SITE"
}

# The window manager's request to close a window (no window manager runs here to send it).
close_box() {
    /usr/bin/python3 - "$1" <<'EOF'
import ctypes as c, sys
x = c.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype, x.XInternAtom.restype = c.c_void_p, c.c_ulong
x.XInternAtom.argtypes = [c.c_void_p, c.c_char_p, c.c_int]
x.XSendEvent.argtypes = [c.c_void_p, c.c_ulong, c.c_int, c.c_long, c.c_void_p]
class Message(c.Structure):  # XClientMessageEvent, inside a 24-long XEvent
    _fields_ = [("type", c.c_int), ("serial", c.c_ulong), ("send_event", c.c_int), ("display", c.c_void_p),
                ("window", c.c_ulong), ("message_type", c.c_ulong), ("format", c.c_int), ("data", c.c_long * 5),
                ("pad", c.c_long * 12)]
d, w = x.XOpenDisplay(None), int(sys.argv[1])
m = Message(type=33, window=w, format=32, message_type=x.XInternAtom(d, b"WM_PROTOCOLS", 0))
m.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(d, w, 0, 0, c.byref(m))
x.XCloseDisplay(d)
EOF
}

help_windows() { xdotool search --onlyvisible --name 'HELP$|^AYUDA' 2>/dev/null || true; }
one_help_window() { [ "$(help_windows | wc -l)" = 1 ] && help=$(help_windows); }
no_help_window() { [ -z "$(help_windows)" ]; }
title_is() { [ "$(xdotool getwindowname "$help")" = "$1" ]; }
# The help window's manual, raised and settled: the main window's native window may be rebuilt,
# and mapped over this one, as the web strip's view is set up.
manual() {
    local _
    rm -f "$E2E_TMP/$1-prev.png"
    for _ in $(seq 10); do
        xdotool windowraise "$help"
        sleep 0.3
        window_geometry "$help"
        grab "$E2E_TMP/$1.png" "481x305+$((X + 16))+$((Y + 88))"
        [ -f "$E2E_TMP/$1-prev.png" ] && ! differ "$1" "$1-prev" && return 0
        cp "$E2E_TMP/$1.png" "$E2E_TMP/$1-prev.png"
    done
}
# Tells pictures apart by more than a text caret.
differ() { [ "$(pixels_differing "$E2E_TMP/$1.png" "$E2E_TMP/$2.png")" -gt 200 ]; }

start_x
failing_site
start_app "" PATH="$E2E_TMP/bin:$PATH" QUELVEX_SITE_URL="$SITE"
find_window
wid=$E2E_WID
wait_for 15 window_drawn || fail "window not drawn"
wait_for 30 update_page_asked || fail "the program did not ask for the update page: no network seen here?"
no_help_window || fail "a help window is up at start"

link_opens "$(sx 240)" "$(sy 18)" "the top bar's site link" # Label4
link_opens "$(sx 125)" "$(sy 178)" "the link bar's site link" # Label8
click "$(sx 370)" "$(sy 178)" # Label10, hide the options
wait_for 15 height_is "$wid" "$WIN_H_FOLDED" || fail "the link bar's Hide options left the height at $HEIGHT"
click "$(sx 250)" "$(sy 178)" # Label9, show the options
wait_for 15 height_is "$wid" "$WIN_H" || fail "the link bar's Show options left the height at $HEIGHT"

click "$(sx 40)" "$(sy 178)" # Label7, the Help link
wait_for 15 one_help_window || fail "the link bar's Help link shows no help window"
wait_for 5 geometry_is "$help" $HELP_X $HELP_Y $HELP_W $HELP_H || fail "help window at $X,$Y size ${WIDTH}x$HEIGHT"
title_is "Quelvex 5.0   HELP" || fail "help window titled '$(xdotool getwindowname "$help")'"
manual english
[ -z "${E2E_SHOT:-}" ] || grab "${E2E_SHOT%.png}-english.png" "${HELP_W}x${HELP_H}+$HELP_X+$HELP_Y"

# Out of the way of the main window's controls (there is no window manager to do it).
xdotool windowmove "$help" 0 0
wait_for 5 geometry_is "$help" 0 0 $HELP_W $HELP_H || fail "help window did not move"
click "$(sx 418)" "$(sy 16)" # the star
sleep 0.5
one_help_window || fail "the star made $(help_windows | wc -l) help windows"
[ "$(help_windows)" = "$help" ] || fail "the star showed another window"

click 50 40
wait_for 15 title_is "AYUDA de Quelvex 5.0" || fail "Español: title '$(xdotool getwindowname "$help")'"
manual spanish
differ english spanish || fail "the manual did not change to Spanish"
# The main window may have a new native window by now (the web strip's view can cause that).
[ -n "$(xdotool search --onlyvisible --name '^Quelvex 5\.0$' 2>/dev/null)" ] || fail "the main window's title changed"
[ -z "${E2E_SHOT:-}" ] || grab "${E2E_SHOT%.png}-spanish.png" "${HELP_W}x${HELP_H}+0+0"

link_opens 300 58 "the help window's site link" # Label4

click 50 56
wait_for 15 title_is "Quelvex 5.0 HELP" || fail "English: title '$(xdotool getwindowname "$help")'"
click 250 120 && xdotool type --delay 30 "Quelvex typed note" # into the English manual
manual typed
differ english typed || fail "typing into the English manual changed nothing"

close_box "$help"
wait_for 5 no_help_window || fail "the close box did not hide the help window"
sleep 1; app_alive || fail "the program ended with the help window"

# The link bar by keyboard: the first Tab goes to the title link, the twentieth to its Help link.
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --delay 30 Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
wait_for 15 one_help_window || fail "Space on the link bar's Help link does not show the help window again"
[ "$(help_windows)" = "$help" ] || fail "the Help link showed a new window"
title_is "Quelvex 5.0 HELP" || fail "title after reopening: '$(xdotool getwindowname "$help")'"
manual reopened
differ typed reopened && fail "the English manual lost its text or place across the close"
before=$(opened)
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --delay 30 Tab space
wait_for 15 opened_at_least $((before + 1)) || fail "Space on the link bar's site link did not call the browser"

# Closing the main window ends the program, the help window up or not.
click_control 457 5 22 22
for _ in $(seq 50); do app_alive || break; sleep 0.1; done
app_alive && fail "the program outlived its main window"
pass
