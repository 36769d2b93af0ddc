#!/usr/bin/env bash
# The panel's speed, idle cost, memory and size against reference programs, under Wine on a
# private X display.
#
#   bash scripts/benchmark.sh [--no-build] [--runs N] [--idle-seconds S] [--clicks N]
#
# Installs what it needs, builds ygpanel.exe and tests/bench's programs (windows preset), and lets
# yg_bench.exe take the figures: start-up against a bare window and against yg_ref_panel.exe, a
# window with the panel's 98 controls made the cheapest way; click to keys against a bare button;
# SendInput calls per click; processor time and wake-ups while idle for S seconds (default 60)
# and while the pointer moves over the window for 10 s, against the bare window; the exe's size.
# N runs of each timing (default 15, the first a warm-up), the programs interleaved so that a
# passing load hits all. Then yg_soak.exe gives the panel N clicks (default 2000, with mode
# switches, drags and a few help clicks) and the reference as many, and reports the memory of
# both after start-up and after the clicks. Prints a Markdown table and writes it to
# build/benchmark.md; the raw figures go to build/bench/facts.txt and build/bench/memory.txt.
# A benchmark, not a test: slowness never fails it. It fails when a figure cannot be taken, or
# when a click takes more than one SendInput call.
#
# Its own Wine prefix, $YG_WINEPREFIX-bench (/tmp/yg-wineprefix-bench without YG_WINEPREFIX):
# windows belong to a prefix, so runs sharing one would disturb each other (and a panel left
# running in it would keep a new one from starting).
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib/packages.sh
source scripts/lib/wine.sh

build=1 runs=15 idle=60 clicks=2000
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --runs) runs=$2; shift ;;
    --idle-seconds) idle=$2; shift ;;
    --clicks) clicks=$2; shift ;;
    *) echo "usage: $0 [--no-build] [--runs N] [--idle-seconds S] [--clicks N]" >&2; exit 2 ;;
  esac
  shift
done
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 2 ]; then
  echo "$0: --runs needs a whole number from 2 up" >&2
  exit 2
fi

need_packages wine wine64 xvfb x11-utils fonts-wqy-zenhei fonts-wqy-microhei fonts-wine || exit 1
bin=build/windows
if [ "$build" -eq 1 ]; then
  need_packages cmake make g++-mingw-w64-x86-64-posix googletest || exit 1
  cmake --preset windows >/dev/null || exit 1
  cmake --build --preset windows --target ygpanel yg_help yg_bare_window yg_bare_button yg_ref_panel yg_probe_hook \
    yg_bench yg_soak || exit 1
fi
panel=$bin/platform/win32/ygpanel.exe tools=$bin/tests/bench
for exe in "$panel" $tools/{yg_bare_window,yg_bare_button,yg_ref_panel,yg_bench,yg_soak}.exe $tools/yg_probe_hook.dll; do
  [ -f "$exe" ] || { echo "$0: $exe is missing (build it, or leave out --no-build)" >&2; exit 1; }
done

yg_run_prefix bench || exit 1
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
load=$(cut -d' ' -f1-3 /proc/loadavg) started=$(date -u '+%Y-%m-%d %H:%M UTC')
echo "Measuring: $runs runs of each, Wine prefix $WINEPREFIX, display $DISPLAY (load average $load)"
# Standard error is the relay trace: Wine writes the traced children's lines to the one they
# inherit from yg_bench, which reads them back from this file.
# shellcheck disable=SC2094 # yg_bench reads back what its children write to its standard error
wine $tools/yg_bench.exe --runs "$runs" --idle-seconds "$idle" \
  --panel "$(yg_winpath "$panel")" \
  --bare-window "$(yg_winpath $tools/yg_bare_window.exe)" \
  --bare-button "$(yg_winpath $tools/yg_bare_button.exe)" \
  --reference "$(yg_winpath $tools/yg_ref_panel.exe)" \
  --hook "$(yg_winpath $tools/yg_probe_hook.dll)" \
  --trace "$(yg_winpath "$trace")" \
  size startup click clickqueue sendinput idle 2>"$trace" | tee "$facts" | grep --line-buffered -E ' run=|^idle_seconds'
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  grep '^error=' "$facts" >&2 || echo "$0: yg_bench.exe ended with status $status" >&2
  exit 1
fi
memory=$out/memory.txt
echo "Memory: $clicks clicks on the panel, then as many on the reference"
wine $tools/yg_soak.exe soak --panel "$(yg_winpath "$panel")" --expected "$(yg_winpath tests/data/expected_clicks.txt)" \
  --reference "$(yg_winpath $tools/yg_ref_panel.exe)" --clicks "$clicks" --switches $((clicks / 50)) \
  --drags $((clicks / 100)) --help 5 --sample $((clicks / 4)) --settle $((clicks / 4)) 2>/dev/null >"$memory"
status=$?
if [ "$status" -ne 0 ]; then
  grep '^error=' "$memory" >&2 || echo "$0: yg_soak.exe ended with status $status" >&2
  exit 1
fi

# fact <key>: the value yg_bench printed for it; mfact: the one yg_soak printed.
fact() { sed -n "s/^$1=//p" "$facts" | head -n 1; }
mfact() { sed -n "s/^$1=//p" "$memory" | head -n 1; }
# aim <value> <limit>: met when value <= limit.
aim() { awk -v v="$1" -v l="$2" 'BEGIN { print (v != "" && v + 0 <= l + 0) ? "met" : "**missed**" }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "" }'; }
ms() { printf '%s ms' "$1"; }
mb() { awk -v b="$1" 'BEGIN { printf "%.2f MB", b / 1048576 }'; }
bytes() { printf '%s bytes' "$(sed ':a; s/\B[0-9]\{3\}\>/,&/; ta' <<<"$1")"; }
per_move() {  # <target>: processor time per pointer move while the pointer crossed its window
  ratio "$(fact "moving_$1_cpu_ms")" "$(fact "moving_$1_moves")"
}
program() {  # <target>: the exe that yg_bench measured as it
  case $1 in
    panel) echo ygpanel.exe ;;
    reference) echo yg_ref_panel.exe ;;
    bare) echo yg_bare_window.exe ;;
  esac
}

calls=$(fact sendinput_panel_calls) events=$(fact sendinput_panel_events)
if [ "$calls" = 1 ]; then sendinput_verdict=met; else sendinput_verdict="**FAILED**"; fi
size=$(fact size_panel)
if [ "$size" -lt 1000000 ]; then size_verdict=met; else size_verdict="**missed**"; fi
n=$(fact startup_runs)
if [ "$(fact idle_panel_messages)" = 0 ]; then wakeup_verdict=met; else wakeup_verdict="**missed**"; fi
memory_row() {  # <what> <panel private> <reference private> <panel working set> <reference working set>
  local r
  r=$(ratio "$2" "$3")
  echo "| Memory $1: private bytes (working set) | $(mb "$2") ($(mb "$4")) | $(mb "$3") ($(mb "$5")) | $r ($(ratio "$4" "$5")) | ≤ 1.2 | $(aim "$r" 1.2) |"
}

{
  echo "Measured $started with \`bash scripts/benchmark.sh\`: $(wine --version 2>/dev/null),"
  echo "Xvfb, $(nproc) cores ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)), load average"
  echo "$load at the start. Medians of $n runs each, panel and references interleaved."
  echo
  echo "| Figure | Panel | Reference | Ratio | Aim | |"
  echo "|---|---:|---:|---:|---|---|"
  echo "| Start-up: CreateProcess to a visible window at its final size, against the 98-control reference | $(ms "$(fact startup_panel_sized_median)") | $(ms "$(fact startup_reference_sized_median)") | $(fact startup_reference_ratio) | ≤ 1.15 | $(aim "$(fact startup_reference_ratio)" 1.15) |"
  echo "| ... to its message loop running, against the 98-control reference | $(ms "$(fact startup_panel_ready_median)") | $(ms "$(fact startup_reference_ready_median)") | $(fact startup_reference_ready_ratio) | | |"
  echo "| Start-up, against the bare window | $(ms "$(fact startup_panel_sized_median)") | $(ms "$(fact startup_bare_sized_median)") | $(fact startup_ratio) | ≤ 1.2 | $(aim "$(fact startup_ratio)" 1.2) |"
  echo "| Click on 虫 to its 12th key event at a low-level hook | $(ms "$(fact click_panel_median)") | $(ms "$(fact click_bare_median)") (1 key) | $(fact click_ratio) | ≤ 1.1 | $(aim "$(fact click_ratio)" 1.1) |"
  echo "| Click on 。 (one key, like the reference) at the hook / at the focused window's queue | $(fact click_panel_1key_median) / $(ms "$(fact clickqueue_panel_1key_median)") | $(fact click_bare_median) / $(ms "$(fact clickqueue_bare_median)") | $(fact click_1key_ratio) / $(fact clickqueue_1key_ratio) | ≤ 1.3 | $(aim "$(fact click_1key_ratio)" 1.3) / $(aim "$(fact clickqueue_1key_ratio)" 1.3) |"
  echo "| SendInput calls per click on 虫 | $calls ($events key events) | $(fact sendinput_bare_calls) ($(fact sendinput_bare_events) key events) | | exactly 1 | $sendinput_verdict |"
  echo "| Idle, pointer away, $(fact idle_seconds) s: processor time | $(ms "$(fact idle_panel_cpu_ms)") | $(ms "$(fact idle_bare_cpu_ms)") (bare window), $(ms "$(fact idle_reference_cpu_ms)") (98-control reference) | | | |"
  echo "| Idle, $(fact idle_seconds) s: wake-ups (messages taken, timers among them) | $(fact idle_panel_messages) ($(fact idle_panel_timers)) | $(fact idle_bare_messages) ($(fact idle_bare_timers)) | | zero | $wakeup_verdict |"
  echo "| Idle, $(fact idle_seconds) s: $(fact idle_panel_wakeups_are) | $(fact idle_panel_wakeups) | $(fact idle_bare_wakeups) | | | |"
  echo "| Pointer moving over the window, $(fact moving_seconds) s: processor time | $(ms "$(fact moving_panel_cpu_ms)") | $(ms "$(fact moving_bare_cpu_ms)") (bare window), $(ms "$(fact moving_reference_cpu_ms)") (98-control reference) | $(ratio "$(fact moving_panel_cpu_ms)" "$(fact moving_bare_cpu_ms)"), $(ratio "$(fact moving_panel_cpu_ms)" "$(fact moving_reference_cpu_ms)") | | |"
  echo "| ... per pointer move | $(ms "$(per_move panel)") | $(ms "$(per_move bare)") (bare window), $(ms "$(per_move reference)") (98-control reference) | $(ratio "$(per_move panel)" "$(per_move bare)"), $(ratio "$(per_move panel)" "$(per_move reference)") | | |"
  memory_row "after start-up" "$(mfact soak_memory_start_private)" "$(mfact reference_memory_start_private)" \
    "$(mfact soak_memory_start_working_set)" "$(mfact reference_memory_start_working_set)"
  memory_row "after $(mfact soak_clicks) clicks" "$(mfact soak_memory_end_private)" "$(mfact reference_memory_end_private)" \
    "$(mfact soak_memory_end_working_set)" "$(mfact reference_memory_end_working_set)"
  echo "| Size of the exe | $(bytes "$size") | $(bytes "$(fact size_bare_button)") (bare button) | | < 1 MB | $size_verdict |"
  echo
  echo "Start-up, where the time goes (medians, ms from CreateProcess): *window* the top-level window"
  echo "exists, *controls* all its $(fact startup_panel_controls) controls exist, *visible*, *sized* visible at its final"
  echo "size ($(fact startup_panel_final_size) for the panel and the reference, $(fact startup_bare_final_size) for the bare window), *ready* its thread answers a message,"
  echo "*painted* nothing is left to paint and the last paint has ended (the first paint)."
  echo
  echo "| Program | window | controls | visible | sized | ready | painted |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  for t in panel reference bare; do
    echo "| $(program "$t") | $(fact startup_${t}_exists_median) | $(fact startup_${t}_built_median) | $(fact startup_${t}_shown_median) | $(fact startup_${t}_sized_median) | $(fact startup_${t}_ready_median) | $(fact startup_${t}_painted_median) |"
  done
  echo
  echo "While idle and while the pointer moves, the messages each program's thread took (timers,"
  echo "paints and input among them) and the messages sent to it, as yg_probe_hook.dll counted them,"
  echo "its $(fact idle_panel_wakeups_are) and its processor time (from $(fact idle_panel_cpu_from)):"
  echo
  echo "| Program | when | messages taken | timers | paints | input | sent to it | wake-ups | processor |"
  echo "|---|---|---:|---:|---:|---:|---:|---:|---:|"
  for t in panel reference bare; do
    for w in idle moving; do
      echo "| $(program "$t") | $w | $(fact ${w}_${t}_messages) | $(fact ${w}_${t}_timers) | $(fact ${w}_${t}_paints) | $(fact ${w}_${t}_input) | $(fact ${w}_${t}_sent) | $(fact ${w}_${t}_wakeups) | $(ms "$(fact ${w}_${t}_cpu_ms)") |"
    done
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
