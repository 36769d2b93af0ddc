#!/usr/bin/env bash
# Checks the end-to-end tools themselves under Wine on a private Xvfb: yg_receiver must log the
# keys that reach it (typed through X and injected with SendInput) and its activation; yg_probe
# must report windows, their styles, the foreground and the z-order, with Chinese text intact;
# yg_reader what Wine's oleacc tells a screen reader about them; yg_desk must move the pointer,
# click and type with its mark on every input, and take the screenshot that X takes; yg_scheme
# must switch a running program's colours and high-contrast flag and back; yg_picture_dump must
# draw the design-size pictures as the help's .bmp files hold them.
#
#   bash scripts/e2e-selftest.sh [--no-build]
#
# YG_E2E_DISPLAY: the X display number to take (default: the first free one from 91 to 98).
# YG_E2E_OUT: where the logs and screenshot.png go (default /tmp/yg-e2e-selftest-<display>).
# YG_E2E_BIN: where the tools are (default build/windows/tests/e2e).
# YG_WINEPREFIX: another prefix. Windows and the foreground belong to a prefix's wineserver, not
# to an X display, so runs at the same time need a prefix each.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
source scripts/lib/wine.sh

build=1
[ "${1:-}" = "--no-build" ] && build=0
bin=${YG_E2E_BIN:-build/windows/tests/e2e}

need_packages wine wine64 xvfb xdotool imagemagick fonts-wqy-zenhei fonts-wqy-microhei fonts-wine x11-utils ||
  exit 1
if [ "$build" -eq 1 ]; then
  need_packages cmake make g++-mingw-w64-x86-64-posix libgtest-dev || exit 1
  cmake --preset windows >/dev/null || exit 1
  cmake --build --preset windows --target yg_receiver yg_probe yg_reader yg_desk yg_scheme yg_scheme_hook yg_picture_dump || exit 1
fi

display=${YG_E2E_DISPLAY:-$(yg_free_display)} || exit 1
out=${YG_E2E_OUT:-/tmp/yg-e2e-selftest-$display}

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
  fi
}

# has_line <text> <line>, matches <text> <extended-regex>
has_line() { grep -qxF -- "$2" <<<"$1"; }
matches() { grep -qE -- "$2" <<<"$1"; }

probe() { wine "$bin/yg_probe.exe" "$@" </dev/null; }
# probe_says <line> <probe args...>: the probe printed exactly that line.
probe_says() {
  local line=$1
  shift
  probe "$@" | grep -qxF -- "$line"
}
# exits_with <status> <command...>
exits_with() {
  local want=$1
  shift
  "$@" </dev/null >/dev/null 2>&1
  [ $? -eq "$want" ]
}
logged() { grep -qxF -- "$1" "$log"; }
log_lines_since() { tail -n +"$(($1 + 1))" "$log"; }
logged_since() { log_lines_since "$1" | grep -qxF -- "$2"; }
# The last lines matching a pattern, joined, equal the expected sequence.
last_lines_are() {
  local pattern=$1
  shift
  [ "$(grep -E -- "$pattern" "$log" | tail -n $#)" = "$(printf '%s\n' "$@")" ]
}

receiver_pid=
notepad_pid=
cleanup() {
  [ -n "$receiver_pid" ] && yg_wine_stop "$receiver_pid"
  [ -n "$notepad_pid" ] && yg_wine_stop "$notepad_pid"
  yg_xvfb_stop
}
trap cleanup EXIT

log="$out/receiver.log"
mkdir -p "$out" && rm -f "$log" "$out/screenshot.png"
yg_xvfb_start "$display" || exit 1
yg_wine_prefix || exit 1

# -- The receiver starts in the foreground with the focus in its edit control. It sits low on
# the screen, where notepad, which opens at the top left, leaves it uncovered.
yg_wine_start "$out/receiver.out" "$bin/yg_receiver.exe" "$(yg_winpath "$log")" --at 40 560 600 200
receiver_pid=$YG_WINE_PID
yg_wait_for 30 logged ready || exit 1
yg_wait_window 10 YgReceiver >/dev/null
for line in "activate 1" "activateapp 1" "focus 1"; do
  check "the receiver logs '$line' at start" logged "$line"
done
check "the receiver is the foreground window" probe_says class=YgReceiver foreground
check "its edit control has the focus" probe_says focus_class=Edit foreground

# -- The probe's view of it, Chinese included.
tree=$(probe tree YgReceiver)
for fact in found=1 text=YgReceiver rect=40,560,640,760 visible=1 topmost=0 noactivate=0 \
  toolwindow=0 taskbar=1 owner=0x0 foreground=1 caption=1 sizable=1 dpi=96; do
  check "tree YgReceiver says $fact" has_line "$tree" "$fact"
done
check "tree lists the edit control" \
  matches "$tree" '^child n=[0-9]+ depth=1 .* id=100 class=Edit visible=1 '
check "tree keeps Chinese text" \
  matches "$tree" '^child .* class=Static .* text=宋体 9 粗：雁格输入法 的 不 是 在$'
check "tree gives positions in the parent" \
  matches "$tree" '^child .* id=100 .* pos=0,[0-9]+,[0-9]+,[0-9]+ '
check "tree counts the children" has_line "$tree" children=3
check "list shows the receiver" \
  matches "$(probe list)" '^window z=[0-9]+ .* visible=1 .* class=YgReceiver '
check "count finds one receiver" probe_says count=1 count YgReceiver
check "count finds no unknown class" probe_says count=0 count YgNoSuchClass
check "tree of an unknown class ends with 2" exits_with 2 probe tree YgNoSuchClass
check "the probe without a command ends with 1" exits_with 1 probe
check "send refuses a key above 255" exits_with 1 probe send tap:256
check "message gets the window's answer (WM_GETTEXTLENGTH)" probe_says result=10 message YgReceiver 0x0E 0 0
check "message to an unknown class ends with 2" exits_with 2 probe message YgNoSuchClass 0x7E 0 0
check "message refuses a word for a number" exits_with 1 probe message YgReceiver WM_CLOSE 0 0
check "monitors lists the display as the primary monitor" \
  probe_says "monitor=0,0,1024,768 work=0,0,1024,768 primary=1" monitors

# -- The reader's view of it, through Wine's own accessible objects from another process: a
# label is a client area named by its text, the edit a text field; a hit test at a control's
# centre reaches that control; the standard objects have no default action.
reader() { wine "$bin/yg_reader.exe" "$@" </dev/null; }
controls=$(reader controls YgReceiver)
check "reader lists the edit as a text field" \
  matches "$controls" '^control hwnd=(0x[0-9a-f]+) id=100 class=Edit visible=1 hr=0x0 role=42 .* hit=\1 '
check "reader names a label by its Chinese text" \
  matches "$controls" '^control .* class=Static visible=1 hr=0x0 role=10 .* name=宋体 9 粗：雁格输入法 的 不 是 在$'
check "reader counts the controls" has_line "$controls" controls=3
check "reader: the standard objects have no default action" exits_with 3 reader act YgReceiver 101
check "reader: an unknown control ends with 2" exits_with 2 reader act YgReceiver 4711
check "reader of an unknown class ends with 2" exits_with 2 reader controls YgNoSuchClass
check "the reader without a command ends with 1" exits_with 1 reader

# -- Keys typed through X reach the focused edit control. Keys that no program injected come
# only from a device, and under Wine that is X.
yg_x_focus YgReceiver
mark=$(wc -l <"$log")
xdotool type --delay 30 hi
xdotool key shift+1
check "typed keys arrive as characters" yg_wait_for 5 logged "char 33"
typed=$(log_lines_since "$mark")
for line in "msg down vk=72" "msg up vk=72" "char 104" "char 105" "msg down vk=16"; do
  check "typed: '$line'" has_line "$typed" "$line"
done
check "the hook sees typed keys as not injected" \
  matches "$typed" '^hook down vk=72 scan=[0-9]+ injected=0 extended=0$'
check "the hook sees the left Shift key as 160" matches "$typed" '^hook down vk=160 .* injected=0 '

# -- Keys injected the panel's way: scan code 0, flags 0 or KEYEVENTF_KEYUP, one SendInput batch.
mark=$(wc -l <"$log")
check "send hands over every event" probe_says sent=6 send tap:73 down:160 tap:57 up:160
check "injected keys arrive" yg_wait_for 5 logged "char 40"
injected=$(log_lines_since "$mark")
for line in "hook down vk=73 scan=0 injected=1 extended=0" "msg down vk=73" "msg up vk=73" \
  "char 105" "msg down vk=16" "msg down vk=57" "msg up vk=16"; do
  check "injected: '$line'" has_line "$injected" "$line"
done
check "the shifted key's events stay in order" last_lines_are '^hook .*injected=1' \
  "hook down vk=160 scan=0 injected=1 extended=0" "hook down vk=57 scan=0 injected=1 extended=0" \
  "hook up vk=57 scan=0 injected=1 extended=0" "hook up vk=160 scan=0 injected=1 extended=0"

# -- The driver's hand: its keys are injected and carry its mark, in the hook and in the queue.
desk() { wine "$bin/yg_desk.exe" "$@" </dev/null; }
desk_mark=0x59474b44
check "desk tells its mark, the desktop, the screen and the DPI" \
  has_line "$(desk info)" "ok mark=$desk_mark desk=0,0,1024,768 screen=1024,768 dpi=96"
mark=$(wc -l <"$log")
check "desk taps a key with its modifier" has_line "$(desk key shift+a)" ok
check "the desk's keys arrive" yg_wait_for 5 logged "char 65"
tapped=$(log_lines_since "$mark")
for line in "hook down vk=160 scan=42 injected=1 extended=0 extra=$desk_mark" \
  "hook up vk=65 scan=30 injected=1 extended=0 extra=$desk_mark" \
  "msg down vk=16 extra=$desk_mark" "msg up vk=65 extra=$desk_mark"; do
  check "desk: '$line'" has_line "$tapped" "$line"
done
check "desk refuses a key it does not know" exits_with 1 desk key shift+nope
check "desk refuses a position that is no number" exits_with 1 desk move 10 x
check "desk refuses a fourth button" exits_with 1 desk down 4 10 10
check "desk refuses a button without a position" exits_with 1 desk up 1
check "desk without a known command ends with 1" exits_with 1 desk wave

# -- Another program takes the foreground; a click brings the receiver back.
yg_wine_start "$out/notepad.out" notepad
notepad_pid=$YG_WINE_PID
yg_wait_window 30 notepad.exe >/dev/null
check "notepad becomes the foreground window" yg_wait_for 10 probe_says class=Notepad foreground
check "the receiver logs its deactivation" yg_wait_for 5 logged "activate 0"
notepad=$(probe tree Notepad)
for fact in found=1 class=Notepad "text=Untitled - Notepad" taskbar=1 minimizebox=1; do
  check "tree Notepad says $fact" has_line "$notepad" "$fact"
done
check "tree Notepad lists its edit control" matches "$notepad" '^child .* class=Edit '
check "notepad lies above the receiver" probe_says higher=Notepad zorder YgReceiver Notepad
check "zorder does not depend on the order asked" \
  probe_says higher=Notepad zorder Notepad YgReceiver
mark=$(wc -l <"$log")
check "desk moves the pointer to the very pixel" has_line "$(desk move 340 700)" "ok at=340,700"
desk down 1 340 700 >/dev/null && desk up 1 340 700 >/dev/null
check "a click makes the receiver the foreground again" \
  yg_wait_for 10 probe_says class=YgReceiver foreground
check "the receiver logs its activation" yg_wait_for 5 logged_since "$mark" "activate 1"
# Wine leaves the stacking of ordinary windows to the window manager, and there is none: the
# click activates the receiver but does not raise it above notepad, as Windows would.

yg_screenshot "$out/screenshot.png"
check "the screenshot covers the display" \
  test "$(identify -format %wx%h "$out/screenshot.png" 2>/dev/null)" = 1024x768
check "desk takes a screenshot of the whole display" \
  has_line "$(desk shot "$(yg_winpath "$out/desk.png")")" "ok size=1024,768"
# The receiver's title and labels, away from the caret, which blinks.
same_pixels() { compare -metric AE -crop 600x60+40+560 "$1" "$2" null: 2>&1 | grep -qx 0; }
check "desk's screenshot shows what X's does" same_pixels "$out/desk.png" "$out/screenshot.png"

# -- Colour schemes, switched inside the receiver's process.
scheme() { wine "$bin/yg_scheme.exe" "$@" </dev/null; }
last_colours() { grep '^colours ' "$log" | tail -n 1; }
started=$(wine "$bin/yg_scheme.exe" YgReceiver start >/dev/null 2>&1; last_colours)
check "yg_scheme start leaves the colours the receiver started with" \
  matches "$started" '^colours window=[0-9a-f]{6} text=[0-9a-f]{6} highcontrast=0$'
check "yg_scheme dark says so, and the pair the buttons must show at 21:1" \
  test "$(scheme YgReceiver dark | head -n 2)" = $'switched=dark\nbutton 0,0,0 255,255,255 21.00'
check "the receiver then reads the dark high-contrast colours and flag" \
  test "$(last_colours)" = "colours window=000000 text=ffffff highcontrast=1"
scheme YgReceiver light >/dev/null
check "light: the light high-contrast colours" \
  test "$(last_colours)" = "colours window=ffffff text=000000 highcontrast=1"
scheme YgReceiver start >/dev/null
check "start: the colours it started with, high contrast off" test "$(last_colours)" = "$started"
check "yg_scheme of an unknown class ends with 2" exits_with 2 scheme YgNoSuchClass dark
check "yg_scheme of an unknown scheme ends with 1" exits_with 1 scheme YgReceiver purple

# -- The design-size picture as the help shows it.
dump="$out/h_normal.ppm"
wine "$bin/yg_picture_dump.exe" 1 25 37 "$(yg_winpath "$dump")" </dev/null >/dev/null 2>&1
check "yg_picture_dump draws H at 25 x 37 as resources/strokes/h_normal.bmp" \
  test "$(compare -metric AE "$dump" resources/strokes/h_normal.bmp null: 2>&1)" = 0
check "yg_picture_dump refuses picture 11" \
  exits_with 1 wine "$bin/yg_picture_dump.exe" 11 25 37 "$(yg_winpath "$dump")"

# -- Closing: WM_CLOSE ends the receiver, which says so last.
check "close posts WM_CLOSE" probe_says posted=1 close YgReceiver
check "the receiver ends on WM_CLOSE" yg_wait_for 10 _yg_gone "$receiver_pid"
check "its last line is quit" test "$(tail -n 1 "$log")" = quit
receiver_pid=

# -- Bad arguments end the receiver at once.
check "the receiver without arguments ends with 2" exits_with 2 wine "$bin/yg_receiver.exe"
check "the receiver refuses a short --at" exits_with 2 wine "$bin/yg_receiver.exe" x.log --at 1 2 3

echo "e2e tools: $passed passed, $failed failed"
echo "screenshot: $out/screenshot.png"
[ "$failed" -eq 0 ]
