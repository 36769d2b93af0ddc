#!/usr/bin/env bash
# Does the panel hold up? A long soak of clicks, a storm of starts and a flood of random messages,
# under Wine on a private X display.
#
#   bash scripts/soak.sh [--no-build] [--short] [soak] [storm] [fuzz]
#
# Without names, all three. The full runs (by hand, half an hour or so):
#   soak   10,000 clicks on whatever the panel shows, 200 of them on the mode switch and 50 on
#          the help button (the viewer closed each time), 100 drags; every key checked, GDI and
#          USER objects and private bytes sampled every 500 clicks; the reference panel then
#          clicked as often, for its memory
#   storm  20 copies started at the same moment, 10 times
#   fuzz   100,000 random messages to the panel and its controls
# --short (what CI runs, a few minutes): 1,000 clicks with 20 switches, 3 help clicks and 10
# drags, sampled every 100 and settled at 200; one storm of 20; 5,000 messages.
#
# Installs what it needs and builds the panel, its help file and the programs of tests/bench
# (windows preset). Its own Wine prefix, $YG_WINEPREFIX-soak (/tmp/yg-wineprefix-soak without
# YG_WINEPREFIX): every run starts with the prefix's programs ended, and one run at a time. Each run's facts
# go to build/soak/<run>.txt, a table of what held to build/reliability.md. Exit status 1 when a
# run did not hold.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
source scripts/lib/packages.sh
source scripts/lib/wine.sh

build=1 short=0 runs=()
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --short) short=1 ;;
    soak | storm | fuzz) runs+=("$1") ;;
    *) echo "usage: $0 [--no-build] [--short] [soak] [storm] [fuzz]" >&2; exit 2 ;;
  esac
  shift
done
[ ${#runs[@]} -gt 0 ] || runs=(soak storm fuzz)

need_packages wine wine64 xvfb x11-utils fonts-wqy-zenhei fonts-wqy-microhei fonts-wine || exit 1
bin=build/windows
if [ "$build" -eq 1 ]; then
  need_packages cmake make python3 g++-mingw-w64-x86-64-posix googletest fp-utils || exit 1
  cmake --preset windows >/dev/null || exit 1
  cmake --build --preset windows --target ygpanel yg_help yg_ref_panel yg_soak yg_fuzz yg_probe_hook || exit 1
fi
panel=$bin/platform/win32/ygpanel.exe tools=$bin/tests/bench
for file in "$panel" "$bin/platform/win32/ygHelp.chm" $tools/{yg_soak.exe,yg_fuzz.exe,yg_ref_panel.exe,yg_probe_hook.dll}; do
  [ -f "$file" ] || { echo "$0: $file is missing (build it, or leave out --no-build)" >&2; exit 1; }
done

yg_run_prefix soak || exit 1
# A panel left behind by an interrupted run would make every new one a second copy.
wineserver -k 2>/dev/null
yg_xvfb_start_free || exit 1
cleanup() {
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null
  yg_xvfb_stop
}
trap cleanup EXIT

if [ "$short" -eq 1 ]; then
  soak_args=(--clicks 1000 --switches 20 --drags 10 --help 3 --sample 100 --settle 200)
  storm_args=(--copies 20 --rounds 1)
  fuzz_args=(--messages 5000)
else
  soak_args=() storm_args=() fuzz_args=()
fi

out=build/soak
mkdir -p "$out"
load=$(cut -d' ' -f1-3 /proc/loadavg) started=$(date -u '+%Y-%m-%d %H:%M UTC')
echo "Reliability runs: ${runs[*]}$([ "$short" -eq 1 ] && echo " (short)"), Wine prefix $WINEPREFIX, display $DISPLAY (load average $load)"

# run <name> <program> <args...>: the program's facts to build/soak/<name>.txt; progress lines shown.
failed=()
run() {
  local name=$1
  shift
  echo "== $name"
  wine "$@" 2>"$out/$name.log" | tee "$out/$name.txt" | grep --line-buffered -E '^(sample|storm round|fuzz sent|error)'
  local status=${PIPESTATUS[0]}
  [ "$status" -eq 0 ] || failed+=("$name")
  # Whatever the run left behind (a panel it could not close) goes before the next one.
  wineserver -k 2>/dev/null
  sleep 1
}

expected=$(yg_winpath tests/data/expected_clicks.txt)
for name in "${runs[@]}"; do
  case $name in
    soak) run soak "$tools/yg_soak.exe" soak --panel "$(yg_winpath "$panel")" --expected "$expected" \
            --reference "$(yg_winpath "$tools/yg_ref_panel.exe")" "${soak_args[@]}" ;;
    storm) run storm "$tools/yg_soak.exe" storm --panel "$(yg_winpath "$panel")" "${storm_args[@]}" ;;
    fuzz) run fuzz "$tools/yg_fuzz.exe" --panel "$(yg_winpath "$panel")" --hook "$(yg_winpath "$tools/yg_probe_hook.dll")" \
            --expected "$expected" "${fuzz_args[@]}" ;;
  esac
done

# fact <run> <key>: the value the run printed for it.
fact() { sed -n "s/^$2=//p" "$out/$1.txt" 2>/dev/null | head -n 1; }
mb() { awk -v b="$1" 'BEGIN { if (b == "") print "?"; else printf "%.2f MB", b / 1048576 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "?" }'; }
aim() { awk -v v="$1" -v l="$2" 'BEGIN { print (v != "?" && v + 0 <= l + 0) ? "met" : "**missed**" }'; }
verdict() { if printf '%s\n' "${failed[@]}" | grep -qx "$1"; then echo "**failed**: $(fact "$1" error)"; else echo held; fi; }

{
  echo "Measured $started with \`bash scripts/soak.sh$([ "$short" -eq 1 ] && echo " --short")\`: $(wine --version 2>/dev/null), Xvfb,"
  echo "$(nproc) cores, load average $load at the start."
  echo
  echo "| Run | What ran | What held | |"
  echo "|---|---|---|---|"
  for name in "${runs[@]}"; do
    case $name in
      soak)
        echo "| Soak | $(fact soak soak_clicks) clicks ($(fact soak soak_switches) mode switches, $(fact soak soak_help) help clicks), $(fact soak soak_drags) drags, $(fact soak soak_key_events) key events$([ -n "$(fact soak soak_seconds)" ] && echo ", $(fact soak soak_seconds) s"); objects and memory sampled $(grep -c '^sample' "$out/soak.txt") times | every key in order; after the warm-up GDI objects within $(fact soak soak_gdi_drift), USER objects within $(fact soak soak_user_drift) (limit ±$(fact soak soak_slack)), private bytes within $(fact soak soak_private_drift_percent) % (limit $(fact soak soak_percent) %; $(mb "$(fact soak soak_memory_start_private)") at start, $(mb "$(fact soak soak_memory_end_private)") at the end) | $(verdict soak) |"
        [ -n "$(fact soak reference_clicks)" ] &&
          echo "| Memory after the soak | the 98-control reference clicked $(fact soak reference_clicks) times too | private bytes $(mb "$(fact soak soak_memory_end_private)") against $(mb "$(fact soak reference_memory_end_private)") ($(ratio "$(fact soak soak_memory_end_private)" "$(fact soak reference_memory_end_private)")×), working set $(mb "$(fact soak soak_memory_end_working_set)") against $(mb "$(fact soak reference_memory_end_working_set)") ($(ratio "$(fact soak soak_memory_end_working_set)" "$(fact soak reference_memory_end_working_set)")×); aim ≤ 1.2× | $(aim "$(ratio "$(fact soak soak_memory_end_private)" "$(fact soak reference_memory_end_private)")" 1.2) |"
        ;;
      storm) echo "| Start storm | $(fact storm storm_copies) copies at once, in $(fact storm storm_rounds) round(s) | one panel each time; the other copies ended with exit code 0, the slowest $(sed -n 's/^storm_round_[0-9]*_slowest_end_ms=//p' "$out/storm.txt" | sort -n | tail -n 1) ms after the start; no message box | $(verdict storm) |" ;;
      fuzz) echo "| Fuzzed messages | $(fact fuzz fuzz_messages) messages ($(fact fuzz fuzz_sent_mouse) mouse, $(fact fuzz fuzz_sent_keyboard) keyboard, $(fact fuzz fuzz_sent_command) WM_COMMAND, $(fact fuzz fuzz_sent_dpichanged) WM_DPICHANGED, ...), $(fact fuzz fuzz_seconds) s | no crash, no box, every message answered; no key down; a click on 虫 typed its code | $(verdict fuzz) |" ;;
    esac
  done
} >build/reliability.md
echo
cat build/reliability.md
[ ${#failed[@]} -eq 0 ] || { echo "$0: did not hold: ${failed[*]}" >&2; exit 1; }
