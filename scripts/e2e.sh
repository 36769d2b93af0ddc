#!/usr/bin/env bash
# Runs the end-to-end checks of the real ygpanel.exe under Wine on a private X display. The X
# display is Wine's screen: the driver clicks and types through our yg_desk.exe (SendInput), as it
# does on Windows, and takes its screenshots with it; only a button held while the mouse moves
# goes through X (xdotool), as driver.py's Screen explains.
#
#   bash scripts/e2e.sh [--no-build] [--smoke] [--scaling-only | --only CHECK,...] [--dpi N]
#
# --no-build: use what build/windows holds. --smoke: start-up, a click into notepad, close.
# --scaling-only: the checks that depend on the display's scaling; --only: the checks named (both
# from panel_e2e.py's CHECKS; start-up and the window's size and place are checked always).
# --dpi: the display scaling Wine reports (96 = 100%, 144 = 150%); each DPI has its own cached
# Wine prefix. Screenshots and logs go to build/e2e-<dpi>/.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
source scripts/lib/wine.sh

build=1 smoke=() only=() dpi=96
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --smoke) smoke=(--smoke) ;;
    --scaling-only) only=(--scaling-only) ;;
    --only) only=(--only "$2"); shift ;;
    --dpi) dpi=$2; shift ;;
    *) echo "usage: $0 [--no-build] [--smoke] [--scaling-only | --only CHECK,...] [--dpi N]" >&2; exit 2 ;;
  esac
  shift
done

need_packages python3 wine wine64 xvfb xdotool fonts-wqy-zenhei fonts-wqy-microhei fonts-wine x11-utils || exit 1
if [ "$build" -eq 1 ]; then
  need_packages cmake make g++-mingw-w64-x86-64-posix googletest || exit 1
  cmake --preset windows >/dev/null || exit 1
  cmake --build --preset windows || exit 1
fi

[ "$dpi" = 96 ] || export YG_WINEPREFIX="${YG_WINEPREFIX:-/tmp/yg-wineprefix}-$dpi"
yg_wine_prefix || exit 1
yg_wine_dpi "$dpi" || exit 1
yg_xvfb_start_free || exit 1
trap 'yg_xvfb_stop' EXIT

out=build/e2e-$dpi
rm -rf "$out"
python3 tests/e2e/panel_e2e.py --bin build/windows/tests/e2e --panel build/windows/platform/win32/ygpanel.exe \
  --expected tests/data/expected_clicks.txt --out "$out" --dpi "$dpi" "${smoke[@]}" "${only[@]}"
