#!/usr/bin/env bash
# Builds ygpanel.exe and starts it under Wine beside Wine's notepad, clicks a few of its buttons
# into notepad, saves a screenshot and prints what notepad received.
#
# On your X display ($DISPLAY) the panel and notepad stay open for you to try; with no display a
# private Xvfb is used and everything is closed again at the end. Ends with 0 when notepad
# received what the clicks type, else with 1.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
source scripts/lib/wine.sh

need_packages cmake make g++-mingw-w64-x86-64-posix googletest python3 fp-utils \
  wine wine64 xvfb xdotool imagemagick x11-utils fonts-wqy-zenhei fonts-wqy-microhei fonts-wine

cmake --preset windows >/dev/null
cmake --build --preset windows --target ygpanel yg_probe yg_help
bin=build/windows/tests/e2e
panel=build/windows/platform/win32/ygpanel.exe
shot=build/panel-screenshot.png

yg_wine_prefix
own_display=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  yg_xvfb_start_free
  own_display=1
  trap 'yg_xvfb_stop' EXIT
fi
echo "Display $DISPLAY"

probe() { wine "$bin/yg_probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
count() { probe count "$1" | grep -qx "count=$2"; }
# centre <window-class> <caption>: the screen point in the middle of the child with that text.
centre() {
  probe tree "$1" | awk -v text="$2" '
    /^child / && index($0, " text=" text) && substr($0, length($0) - length(text) + 1) == text {
      for (i = 1; i <= NF; i++) if ($i ~ /^rect=/) { split(substr($i, 6), r, ","); print int((r[1] + r[3]) / 2), int((r[2] + r[4]) / 2); exit }
    }'
}
click() { xdotool mousemove "$1" "$2"; sleep 0.1; xdotool click 1; sleep 0.2; }

if count YgKeyPanel 1; then probe close YgKeyPanel >/dev/null; yg_wait_for 10 count YgKeyPanel 0; fi
yg_wine_start /tmp/yg-notepad.log notepad
notepad_pid=$YG_WINE_PID
yg_wait_for 20 count Notepad 1
yg_wine_start /tmp/yg-panel.log "$panel"
panel_pid=$YG_WINE_PID
yg_wait_for 20 count YgKeyPanel 1
sleep 1

# Click into notepad as a user starts typing there, then on the panel: 虫, 的, ( and 。.
read -r x y < <(probe tree Notepad | awk -F'[=,]' '/^rect=/ { print int(($2 + $4) / 2), int(($3 + $5) / 2) }')
click "$x" "$y"
for caption in 虫 的 '(' 。; do
  read -r x y < <(centre YgKeyPanel "$caption")
  click "$x" "$y"
done
sleep 0.5
mkdir -p build
yg_screenshot "$shot"
echo "Screenshot: $shot"
received=$(probe text Notepad Edit | sed -n 's/^text=//p')
echo "Notepad received: $received"

if [ "$own_display" -eq 1 ]; then
  probe close YgKeyPanel >/dev/null
  yg_wait_for 10 count YgKeyPanel 0 || yg_wine_stop "$panel_pid"
  yg_wine_stop "$notepad_pid"
else
  echo "The panel and notepad stay open on $DISPLAY; close the panel with its close box."
fi

# The codes of 虫 and 的, then ( and 。 as the plain keyboard types them.
expected='ilhihkjilhhjlk1(.'
if [ "$received" != "$expected" ]; then
  echo "run-panel.sh: notepad should have received $expected" >&2
  exit 1
fi
