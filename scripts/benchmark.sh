#!/usr/bin/env bash
# The panel's speed and size against bare reference programs, under Wine on a private X display.
#
#   bash scripts/benchmark.sh [--no-build] [--runs N]
#
# Installs what it needs, builds ygpanel.exe and tests/bench's programs (windows preset), and lets
# yg_bench.exe take every figure: start-up against a bare window, click to keys against a bare
# button, SendInput calls per click, and the exe's size. N runs of each (default 15, the first a
# warm-up), the panel's and the reference's interleaved so that a passing load hits both. Prints
# a Markdown table and writes it to build/benchmark.md; the raw figures go to
# build/bench/facts.txt. A benchmark, not a test: slowness never fails it. It fails when a figure
# cannot be taken, or when a click takes more than one SendInput call.
#
# Its own Wine prefix, /tmp/yg-wineprefix-bench: windows belong to a prefix, so runs sharing one
# would disturb each other (and a panel left running in it would keep a new one from starting).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib/packages.sh
source scripts/lib/wine.sh

build=1 runs=15
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --runs) runs=$2; shift ;;
    *) echo "usage: $0 [--no-build] [--runs N]" >&2; exit 2 ;;
  esac
  shift
done
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 2 ]; then
  echo "$0: --runs needs a whole number from 2 up" >&2
  exit 2
fi

need_packages wine wine64 xvfb x11-utils fonts-wqy-zenhei fonts-wqy-microhei || exit 1
bin=build/windows
if [ "$build" -eq 1 ]; then
  need_packages cmake make g++-mingw-w64-x86-64-posix googletest || exit 1
  cmake --preset windows >/dev/null || exit 1
  cmake --build --preset windows --target ygpanel yg_bare_window yg_bare_button yg_bench || exit 1
fi
panel=$bin/platform/win32/ygpanel.exe
for exe in "$panel" $bin/tests/bench/{yg_bare_window,yg_bare_button,yg_bench}.exe; do
  [ -f "$exe" ] || { echo "$0: $exe is missing (build it, or leave out --no-build)" >&2; exit 1; }
done

export YG_WINEPREFIX=/tmp/yg-wineprefix-bench
# One run at a time in the prefix: a second one's windows would disturb the first's figures.
exec {run_lock}>"$YG_WINEPREFIX.run-lock"
flock -n "$run_lock" || { echo "$0: another benchmark is running in $YG_WINEPREFIX" >&2; exit 1; }
yg_wine_prefix || exit 1
yg_xvfb_start_free || exit 1
cleanup() {
  # Whatever yg_bench started has ended with it; the prefix's server goes once it is idle. Only
  # this prefix's server is asked, and only if it does not end on its own.
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null
  yg_xvfb_stop
}
trap cleanup EXIT

out=build/bench
mkdir -p "$out"
facts=$out/facts.txt trace=$out/relay.log
load=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Measuring: $runs runs of each, Wine prefix $WINEPREFIX, display $DISPLAY (load average $load)"
# Standard error is the relay trace: Wine writes the traced children's lines to the one they
# inherit from yg_bench, which reads them back from this file.
# shellcheck disable=SC2094 # yg_bench reads back what its children write to its standard error
wine $bin/tests/bench/yg_bench.exe --runs "$runs" \
  --panel "$(yg_winpath "$panel")" \
  --bare-window "$(yg_winpath $bin/tests/bench/yg_bare_window.exe)" \
  --bare-button "$(yg_winpath $bin/tests/bench/yg_bare_button.exe)" \
  --trace "$(yg_winpath "$trace")" \
  size startup click clickqueue sendinput 2>"$trace" | tee "$facts" | grep --line-buffered ' run='
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  grep '^error=' "$facts" >&2 || echo "$0: yg_bench.exe ended with status $status" >&2
  exit 1
fi

# fact <key>: the value yg_bench printed for it.
fact() { sed -n "s/^$1=//p" "$facts" | head -n 1; }
# aim <value> <limit>: met when value <= limit.
aim() { awk -v v="$1" -v l="$2" 'BEGIN { print (v + 0 <= l + 0) ? "met" : "**missed**" }'; }
ms() { printf '%s ms' "$1"; }
bytes() { printf '%s bytes' "$(sed ':a; s/\B[0-9]\{3\}\>/,&/; ta' <<<"$1")"; }

calls=$(fact sendinput_panel_calls) events=$(fact sendinput_panel_events)
if [ "$calls" = 1 ]; then sendinput_verdict=met; else sendinput_verdict="**FAILED**"; fi
size=$(fact size_panel)
if [ "$size" -lt 1000000 ]; then size_verdict=met; else size_verdict="**missed**"; fi
n=$(fact startup_runs)

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') with \`bash scripts/benchmark.sh\`: $(wine --version 2>/dev/null),"
  echo "Xvfb, $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)), load average"
  echo "$load at the start. Medians of $n runs each, panel and reference interleaved."
  echo
  echo "| Figure | Panel | Bare reference | Ratio | Aim | |"
  echo "|---|---:|---:|---:|---|---|"
  echo "| Start-up: CreateProcess to a visible window at its final size | $(ms "$(fact startup_panel_sized_median)") | $(ms "$(fact startup_bare_sized_median)") | $(fact startup_ratio) | ≤ 1.2 | $(aim "$(fact startup_ratio)" 1.2) |"
  echo "| Click on 虫 to its 12th key event at a low-level hook | $(ms "$(fact click_panel_median)") | $(ms "$(fact click_bare_median)") (1 key) | $(fact click_ratio) | ≤ 1.1 | $(aim "$(fact click_ratio)" 1.1) |"
  echo "| SendInput calls per click on 虫 | $calls ($events key events) | $(fact sendinput_bare_calls) ($(fact sendinput_bare_events) key events) | | exactly 1 | $sendinput_verdict |"
  echo "| Size of the exe | $(bytes "$size") | $(bytes "$(fact size_bare_button)") | | < 1 MB | $size_verdict |"
  echo
  echo "Start-up, where the time goes (medians, ms from CreateProcess): *window* the top-level window"
  echo "exists, *controls* all its $(fact startup_panel_controls) controls exist, *visible*, *sized* visible at its final"
  echo "size ($(fact startup_panel_final_size) for the panel, $(fact startup_bare_final_size) for the bare window), *ready* its thread answers a message,"
  echo "*painted* nothing is left to paint and the last paint has ended (the first paint)."
  echo
  echo "| Program | window | controls | visible | sized | ready | painted |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  for t in panel bare; do
    label=ygpanel.exe
    [ "$t" = bare ] && label=yg_bare_window.exe
    echo "| $label | $(fact startup_${t}_exists_median) | $(fact startup_${t}_built_median) | $(fact startup_${t}_shown_median) | $(fact startup_${t}_sized_median) | $(fact startup_${t}_ready_median) | $(fact startup_${t}_painted_median) |"
  done
  echo
  echo "Click to the last key event (medians, ms from the click's injection), at the observer's"
  echo "low-level keyboard hook and, with no hook installed, as its focused window takes the keys"
  echo "from its queue; *gap* is the time from one key event to the next."
  echo
  echo "| Button | key events | at the hook | gap | at the queue | gap |"
  echo "|---|---:|---:|---:|---:|---:|"
  for t in panel panel_1key bare; do
    case $t in
      panel) label="panel, 虫" ;;
      panel_1key) label="panel, 。" ;;
      bare) label="yg_bare_button.exe" ;;
    esac
    echo "| $label | $(fact click_${t}_events) | $(fact click_${t}_median) | $(fact click_${t}_gap_median) | $(fact clickqueue_${t}_median) | $(fact clickqueue_${t}_gap_median) |"
  done
  echo
  echo "Ratios to the bare button: 虫 $(fact click_ratio) at the hook, $(fact clickqueue_ratio) at the queue;"
  echo "。 (one key, like the bare button) $(fact click_1key_ratio) at the hook, $(fact clickqueue_1key_ratio) at the queue."
  echo "The focus stayed with the observer's window on $(fact click_panel_inactive) clicks on 虫 and $(fact click_panel_1key_inactive) on 。."
} >build/benchmark.md
echo
cat build/benchmark.md
echo
echo "Written to build/benchmark.md"
[ "$sendinput_verdict" = met ] || { echo "$0: a click on 虫 took $calls SendInput calls, not 1" >&2; exit 1; }
