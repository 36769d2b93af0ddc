#!/usr/bin/env bash
# Installs the per-user installer under Wine, silently, and takes it apart again:
#
#   bash packaging/test_installer.sh <setup.exe> <ygpanel.exe> <ygHelp.chm> <version> <yg_hold_file.exe>
#
# 1. Into the default folder (Chinese name): files, Start-menu shortcuts and the HKCU uninstall
#    key; installing again over a running panel closes it; with ygHelp.chm held open as the help
#    viewer holds it, an upgrade and an uninstall end with 2 and change nothing, and both succeed
#    once it is free; with ygpanel.exe held, both end with 2 and leave its help file beside it;
#    the uninstaller that the key names, run while the panel runs, leaves
#    nothing behind.
#    Nothing starts at sign-in without /AUTOSTART.
# 2. Into C:\yg-pkg-test (/D=) with /AUTOSTART: the panel starts at sign-in from there, even where
#    the user had turned that off in Task Manager; the Start-menu shortcut starts the panel; the
#    uninstaller keeps a file of the user's in the folder, and with it the folder, and removes the
#    sign-in value, Task Manager's record of it and the panel's settings, but not other keys of
#    the input method.
# 3. A ygpanel.exe that cannot be replaced: the installer ends with 2 and changes nothing.
#
# The second round launches through the shortcut because Wine resolves a shortcut through its
# ANSI path, which has no Chinese in Wine's C locale; Windows resolves it through its item list,
# which keeps the Unicode names.
#
# YG_PKG_WINEPREFIX: the Wine prefix of these runs (default /tmp/yg-pkg-prefix), made on first use
# (about 15 s) and locked while a run uses it. Xvfb on the first free display from :94 on. Both
# the Xvfb and the prefix's programs are ended on exit.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/wine.sh
source "$here/../scripts/lib/wine.sh"

if [ $# -ne 5 ]; then
  echo "usage: $0 <setup.exe> <ygpanel.exe> <ygHelp.chm> <version> <yg_hold_file.exe>" >&2
  exit 2
fi
setup=$(realpath "$1")
exe=$(realpath "$2")
chm=$(realpath "$3")
version=$4
holder=$(realpath "$5")
for f in "$setup" "$exe" "$chm" "$holder"; do
  [ -f "$f" ] || { echo "missing: $f (build the package_all target)" >&2; exit 1; }
done
for tool in wine:wine wineserver:wine Xvfb:xvfb xdpyinfo:x11-utils xdotool:xdotool python3:python3; do
  command -v "${tool%%:*}" >/dev/null ||
    { echo "missing: ${tool%%:*} (Debian package ${tool#*:})" >&2; exit 1; }
done

export WINEPREFIX=${YG_PKG_WINEPREFIX:-/tmp/yg-pkg-prefix}
export WINEARCH=win64 WINEDEBUG=-all
# No menu entries written into the home folder, no prompts for Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="

product=雁格输入法
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ygpanel'
hklm_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ygpanel'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value=雁格输入法按键面板
# The name released versions wrote the value under, and the shortcuts' names then.
old_run_value=雁格输入法键盘
old_run="[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
\"$old_run_value\"=\"C:\\\\old\\\\ygpanel.exe\""
approval_key='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
# Task Manager's record of a sign-in value the user turned off: 03, then when.
turned_off="[$approval_key]
\"$run_value\"=hex:03,00,00,00,17,79,bd,01,17,d9,d1,01"
settings_key='HKEY_CURRENT_USER\Software\雁格输入法\键盘面板'
words_key='HKEY_CURRENT_USER\Software\雁格输入法\词库'

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@" </dev/null >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
  fi
}

prefix_locked=0
cleanup() {
  # Once the lock is held, everything running in the prefix is this run's: the panels, the
  # uninstaller's copy of itself, Wine's own services.
  [ "$prefix_locked" -eq 1 ] && timeout 20 wineserver -k >/dev/null 2>&1
  yg_xvfb_stop
}
trap cleanup EXIT

# -- The prefix, one run at a time.
exec {lock}>"$WINEPREFIX.lock"
flock -w 120 "$lock" || { echo "$WINEPREFIX.lock is held" >&2; exit 1; }
prefix_locked=1

display=
for ((n = 94; n <= 110; n++)); do
  _yg_display_free "$n" || continue
  yg_xvfb_start "$n" && { display=$n; break; }
done
[ -n "$display" ] || { echo "no free X display from :94 to :110" >&2; exit 1; }

if [ ! -f "$WINEPREFIX/.yg-pkg-prefix" ]; then
  echo "Setting up the Wine prefix $WINEPREFIX" >&2
  wine wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
  timeout 120 wineserver -w
  touch "$WINEPREFIX/.yg-pkg-prefix"
fi

# -- Where things go in this prefix.
profile=$(wine cmd /c 'echo %USERPROFILE%' </dev/null 2>/dev/null | tr -d '\r')
[[ "$profile" == C:\\users\\* ]] || { echo "no user profile in $WINEPREFIX ($profile)" >&2; exit 1; }
unix_profile="$WINEPREFIX/drive_c/users/${profile##*\\}"
win_dir="$profile\\AppData\\Local\\Programs\\$product"
dir="$unix_profile/AppData/Local/Programs/$product"
menu="$unix_profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$product"
panel_lnk="$menu/雁格输入法按键面板.lnk"
help_lnk="$menu/雁格输入法按键面板帮助.lnk"
old_lnks=("$menu/雁格输入法键盘.lnk" "$menu/雁格输入法帮助.lnk")
win_panel_lnk="$profile\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\$product\\雁格输入法按键面板.lnk"
alt_win_dir='C:\yg-pkg-test'
alt_dir="$WINEPREFIX/drive_c/yg-pkg-test"

# reg_export <key>: the key as .reg text, UTF-8 without CRs; fails when there is no such key.
reg_export() {
  local file="$WINEPREFIX/drive_c/yg-pkg-reg.reg" status=1
  if wine reg export "$1" 'C:\yg-pkg-reg.reg' /y </dev/null >/dev/null 2>&1; then
    iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' && status=0
  fi
  rm -f "$file"
  return "$status"
}
exits_with() {
  local want=$1
  shift
  "$@"
  [ $? -eq "$want" ]
}
has_key() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
no_key() { ! has_key "$1"; }
# value_is <name> <.reg value text>: a line of the key's export is exactly "name"=text.
value_is() { grep -qxF -- "\"$1\"=$2" <<<"$exported"; }
# value_matches <name> <extended regex of the value text>
value_matches() { grep -qxE -- "\"$1\"=$2" <<<"$exported"; }
# reg_sz <text>: the text as a .reg string, backslashes and quotes escaped.
reg_sz() { local s=${1//\\/\\\\}; printf '"%s"' "${s//\"/\\\"}"; }
# has_utf16 <file> <text>: the file holds the text in UTF-16LE (a shortcut's Unicode strings).
has_utf16() {
  python3 -c 'import sys; sys.exit(sys.argv[2].encode("utf-16-le") not in open(sys.argv[1], "rb").read())' "$1" "$2"
}
# reg_import <.reg lines>: through regedit and a UTF-16 file, which keeps the Chinese key names
# whatever the locale; reg's own arguments would not.
reg_import() {
  local file="$WINEPREFIX/drive_c/yg-pkg-import.reg" status=0
  printf 'Windows Registry Editor Version 5.00\r\n\r\n%s\r\n' "$1" | _yg_utf16le >"$file"
  wine regedit /S 'C:\yg-pkg-import.reg' </dev/null >/dev/null 2>&1 || status=1
  rm -f "$file"
  return "$status"
}
# has_software_key <key>: the key is among the current user's software keys.
has_software_key() { reg_export 'HKCU\Software' | grep -qxF "[$1]"; }
no_software_key() { ! has_software_key "$1"; }
# run_value_is <.reg value text>, no_run_value: the panel's value under Run.
# (Each reads the key into its own `exported`, leaving the caller's alone.)
run_value_is() {
  local exported
  exported=$(reg_export "$run_key") && value_is "$run_value" "$1"
}
no_run_value() {
  local exported
  exported=$(reg_export "$run_key")
  ! grep -qF "\"$run_value\"=" <<<"$exported"
}
no_old_run_value() { ! reg_export "$run_key" | grep -qF "\"$old_run_value\"="; }
has_approval_record() { reg_export "$approval_key" | grep -qF "\"$run_value\"="; }
no_approval_record() { ! has_approval_record; }
turned_off_in_task_manager() { reg_import "$turned_off" && has_approval_record; }
panel_shown() { yg_window_id ygpanel.exe; }
panel_gone() { ! yg_window_id ygpanel.exe; }
uninstalled_from() { [ ! -e "$1/uninstall.exe" ] && [ ! -e "$1/ygpanel.exe" ] && [ ! -e "$menu" ]; }
start_panel() { wine "$1" </dev/null >/dev/null 2>&1 & }
# hold <installed file>: yg_hold_file holds the file open as the help viewer holds ygHelp.chm
# (others may read it, but neither replace nor delete it), until release.
hold_ready="$WINEPREFIX/drive_c/yg-hold-ready"
hold_release="$WINEPREFIX/drive_c/yg-hold-release"
hold() {
  rm -f "$hold_ready" "$hold_release"
  wine "$holder" "$win_dir\\$1" 'C:\yg-hold-ready' 'C:\yg-hold-release' </dev/null >/dev/null 2>&1 &
  holder_pid=$!
  yg_wait_for 20 test -e "$hold_ready"
}
release() {
  touch "$hold_release"
  wait "$holder_pid"
}

# A run that died halfway leaves an installation behind: start from none.
if has_key "$key" || [ -e "$dir" ] || [ -e "$menu" ] || [ -e "$alt_dir" ] || ! no_run_value ||
  has_software_key "$settings_key" || has_software_key "$words_key"; then
  echo "removing what an earlier run left" >&2
  wine reg delete "$key" /f </dev/null >/dev/null 2>&1
  reg_import "[-HKEY_CURRENT_USER\Software\雁格输入法]
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
\"$run_value\"=-
\"$old_run_value\"=-
[$approval_key]
\"$run_value\"=-"
  rm -rf "$dir" "$menu" "$alt_dir"
fi

# -- 1. The default folder.
check "the installer ends with 0" wine "$setup" /S
check "ygpanel.exe is the built one" cmp "$exe" "$dir/ygpanel.exe"
check "ygHelp.chm is beside it" cmp "$chm" "$dir/ygHelp.chm"
check "the uninstaller is beside it" test -f "$dir/uninstall.exe"
check "nothing else is in the folder" \
  test "$(ls -A "$dir" | sort | tr '\n' ' ')" = "uninstall.exe ygHelp.chm ygpanel.exe "
check "the panel's Start-menu shortcut is there" test -f "$panel_lnk"
check "the help's Start-menu shortcut is there" test -f "$help_lnk"
check "the panel shortcut names ygpanel.exe" has_utf16 "$panel_lnk" ygpanel.exe
check "the panel shortcut starts in the folder" has_utf16 "$panel_lnk" "$win_dir"
check "the help shortcut names ygHelp.chm" has_utf16 "$help_lnk" ygHelp.chm
check "the help shortcut starts in the folder" has_utf16 "$help_lnk" "$win_dir"
check "the uninstall key is in HKCU" has_key "$key"
check "no uninstall key in HKLM" no_key "$hklm_key"
exported=$(reg_export "$key")
check "DisplayName is 雁格输入法按键面板" value_is DisplayName '"雁格输入法按键面板"'
check "DisplayVersion is $version" value_is DisplayVersion "\"$version\""
check "InstallLocation is the folder" value_is InstallLocation "$(reg_sz "$win_dir")"
check "UninstallString names the uninstaller, quoted" \
  value_is UninstallString "$(reg_sz "\"$win_dir\\uninstall.exe\"")"
check "QuietUninstallString adds /S" \
  value_is QuietUninstallString "$(reg_sz "\"$win_dir\\uninstall.exe\" /S")"
check "DisplayIcon is the panel's icon" value_is DisplayIcon "$(reg_sz "$win_dir\\ygpanel.exe,0")"
check "NoModify is set" value_is NoModify dword:00000001
check "EstimatedSize is given in KiB" value_matches EstimatedSize 'dword:0000[0-9a-f]{4}'
check "without /AUTOSTART nothing starts at sign-in" no_run_value

start_panel "$dir/ygpanel.exe"
check "the installed panel starts" yg_wait_for 20 panel_shown
check "installing again over the running panel ends with 0" wine "$setup" /S
check "and closes the panel" yg_wait_for 10 panel_gone
check "ygpanel.exe is still the built one" cmp "$exe" "$dir/ygpanel.exe"

# The help of the version installed before, open in the help viewer.
printf 'the old help' >"$dir/ygHelp.chm"
start_panel "$dir/ygpanel.exe"
check "the panel runs before the upgrade" yg_wait_for 20 panel_shown
check "the help file is held open as the help viewer holds it" hold ygHelp.chm
check "an upgrade while the help file is open ends with 2" exits_with 2 wine "$setup" /S
check "and keeps the old help file" test "$(cat "$dir/ygHelp.chm")" = "the old help"
check "and the panel, still running" panel_shown
check "and its ygpanel.exe" cmp "$exe" "$dir/ygpanel.exe"
# In place (_?=): the uninstaller's own exit status, not that of the copy it starts.
check "an uninstall while the help file is open ends with 2" \
  exits_with 2 wine "$dir/uninstall.exe" /S "_?=$win_dir"
check "and keeps the help file" test -f "$dir/ygHelp.chm"
check "and ygpanel.exe" test -f "$dir/ygpanel.exe"
check "and the uninstaller" test -f "$dir/uninstall.exe"
check "and the uninstall key" has_key "$key"
check "and the Start-menu folder" test -e "$menu"
check "the help file is free again" release
check "then the upgrade ends with 0" wine "$setup" /S
check "and installs the new help file" cmp "$chm" "$dir/ygHelp.chm"
check "and closes the panel" yg_wait_for 10 panel_gone

# A ygpanel.exe the installer cannot close or replace, as that of a panel run as administrator
# (its windows take no WM_CLOSE from a program run normally): the help file of that version stays
# with it, whether an upgrade or an uninstall gives up.
printf 'the old help' >"$dir/ygHelp.chm"
check "ygpanel.exe is held open" hold ygpanel.exe
check "an upgrade while ygpanel.exe is held ends with 2" exits_with 2 wine "$setup" /S
check "and keeps the help file beside it" test "$(cat "$dir/ygHelp.chm")" = "the old help"
check "an uninstall while ygpanel.exe is held ends with 2" \
  exits_with 2 wine "$dir/uninstall.exe" /S "_?=$win_dir"
check "and keeps the help file too" test "$(cat "$dir/ygHelp.chm")" = "the old help"
check "and nothing else is left in the folder" \
  test "$(ls -A "$dir" | sort | tr '\n' ' ')" = "uninstall.exe ygHelp.chm ygpanel.exe "
check "ygpanel.exe is free again" release
check "the upgrade then ends with 0" wine "$setup" /S
check "and installs the new help file once more" cmp "$chm" "$dir/ygHelp.chm"

start_panel "$dir/ygpanel.exe"
check "the panel starts again" yg_wait_for 20 panel_shown
# As Windows' settings do it: the command the key names.
uninstaller=$(grep -oP '^"UninstallString"="\\"\K.*(?=\\"")' <<<"$exported" | sed 's/\\\\/\\/g')
check "the uninstaller ends with 0" wine "$uninstaller" /S
# It copies itself to the temporary folder and goes on from there.
check "the uninstaller finishes" yg_wait_for 20 uninstalled_from "$dir"
check "it closed the panel" yg_wait_for 10 panel_gone
check "ygpanel.exe is gone" test ! -e "$dir/ygpanel.exe"
check "ygHelp.chm is gone" test ! -e "$dir/ygHelp.chm"
check "uninstall.exe is gone" test ! -e "$dir/uninstall.exe"
check "the folder is gone" test ! -e "$dir"
check "the Start-menu folder is gone" test ! -e "$menu"
check "the uninstall key is gone" yg_wait_for 5 no_key "$key"

# -- 2. A folder of the user's choice, started at sign-in; the panel started from the Start menu.
check "the user turned the start at sign-in off in Task Manager" turned_off_in_task_manager
# What a released version left: its shortcuts and its value under the earlier name.
mkdir -p "$menu" && touch "${old_lnks[@]}"
check "a value under the earlier name is stored" reg_import "$old_run"
check "the installer takes /AUTOSTART and /D=" wine "$setup" /S /AUTOSTART "/D=$alt_win_dir"
check "the shortcuts of the earlier names are gone" test ! -e "${old_lnks[0]}" -a ! -e "${old_lnks[1]}"
check "/AUTOSTART replaces the value under the earlier name" no_old_run_value
check "/AUTOSTART clears Task Manager's record that it was turned off" no_approval_record
check "ygpanel.exe is there" cmp "$exe" "$alt_dir/ygpanel.exe"
check "the default folder stays empty" test ! -e "$dir"
exported=$(reg_export "$key")
check "InstallLocation follows /D=" value_is InstallLocation "$(reg_sz "$alt_win_dir")"
check "/AUTOSTART starts the installed panel, quoted, at sign-in" \
  run_value_is "$(reg_sz "\"$alt_win_dir\\ygpanel.exe\"")"
check "starting the Start-menu shortcut succeeds" wine start "$win_panel_lnk"
check "the shortcut starts the panel" yg_wait_for 20 panel_shown
echo "我的码表" >"$alt_dir/我的码表.txt"
# The panel's settings, as its menu stores them, and a key of the input method's own beside them.
check "settings are stored" reg_import "[$settings_key]
\"KeySize\"=dword:00000096
[$words_key]
\"词\"=\"雁格\"
$turned_off
$old_run"
check "the panel's settings key is there" has_software_key "$settings_key"
check "that uninstaller ends with 0" wine "$alt_dir/uninstall.exe" /S
check "that uninstaller finishes" yg_wait_for 20 uninstalled_from "$alt_dir"
check "it closed the panel too" yg_wait_for 10 panel_gone
check "ygHelp.chm is gone from there" test ! -e "$alt_dir/ygHelp.chm"
check "the user's file stays" test -f "$alt_dir/我的码表.txt"
check "the uninstall key is gone again" yg_wait_for 5 no_key "$key"
check "nothing starts at sign-in any more" no_run_value
check "not under the earlier name either" no_old_run_value
check "and Task Manager's record of it is gone" no_approval_record
check "the panel's settings are gone" no_software_key "$settings_key"
check "the input method's own key stays" has_software_key "$words_key"
reg_import "[-HKEY_CURRENT_USER\Software\雁格输入法]" >/dev/null
rm -rf "$alt_dir"

# -- 3. A ygpanel.exe that cannot be removed (here a folder of that name) stops the installer
# before it changes anything.
mkdir -p "$dir/ygpanel.exe"
check "an irremovable ygpanel.exe makes the installer end with 2" exits_with 2 wine "$setup" /S
check "and it installs nothing" test ! -e "$dir/ygHelp.chm"
check "and writes no uninstall key" no_key "$key"
check "and makes no Start-menu folder" test ! -e "$menu"
rm -rf "$dir"

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
