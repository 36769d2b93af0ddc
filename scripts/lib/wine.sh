# shellcheck shell=bash
# Wine and a private X display for the end-to-end runs. Source it; every function is yg_*.
# The callers install what it uses first:
#   need_packages wine wine64 xvfb xdotool imagemagick fonts-wqy-zenhei fonts-wqy-microhei fonts-wine x11-utils
# (fonts-wqy-microhei is optional: without it the UI fonts link to Zen Hei, which loses strokes
# at 9 to 16 pixels.)
#
#   yg_wine_env                      WINEPREFIX (default /tmp/yg-wineprefix, YG_WINEPREFIX
#                                    overrides it), WINEARCH=win64, WINEDEBUG=-all
#   yg_wine_prefix                   creates the prefix once and sets up Chinese fonts in it
#   yg_xvfb_start <n> [WxHxD]        a private Xvfb on :n (default 1024x768x24); exports DISPLAY
#   yg_xvfb_start_free [WxHxD]       yg_xvfb_start on the first display that is free and stays
#                                    free while it starts (several runs may look at once)
#   yg_xvfb_stop [n]                 stops the Xvfb that yg_xvfb_start started, by its PID
#   yg_free_display [first] [last]   a display number that no X server holds (default 91-139)
#   yg_wait_for <seconds> <cmd...>   polls cmd every 0.1 s until it succeeds
#   yg_wine_start <log> <prog> [args...]
#                                    starts a Windows program in the background (after
#                                    yg_wine_env or yg_wine_prefix); its PID in YG_WINE_PID
#   yg_wine_stop <pid>               ends a program started with yg_wine_start
#   yg_winpath <unix-path>           the same file as a Windows path (Z:\...)
#   yg_window_id <title-or-name>     the X window of a visible Wine window
#   yg_wait_window <seconds> <title-or-name>
#   yg_x_focus <title-or-name>       gives that window the X keyboard focus (see below)
#   yg_screenshot <png>              the whole display
#   yg_wine_dpi <dpi>                the display scaling the prefix reports (96, 120, 144, 192)

YG_WQY_FONT=/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc
YG_WQY_FAMILY="WenQuanYi Zen Hei"
YG_WQY_SHARP="WenQuanYi Zen Hei Sharp"
YG_WQY_MICRO_FONT=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
YG_WQY_MICRO="WenQuanYi Micro Hei"
# The symbols of the caption buttons, the menus' check marks and submenu arrows, as Windows draws
# them: without it Wine draws letters in their place. Debian's fonts-wine has it.
YG_MARLETT_FONT=/usr/share/wine/fonts/marlett.ttf

yg_wine_env() {
  export WINEPREFIX="${YG_WINEPREFIX:-/tmp/yg-wineprefix}"
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No menu entries or file associations written into the user's home.
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-winemenubuilder.exe=d}"
}

# yg_run_prefix <suffix>: a prefix of this run's own, $YG_WINEPREFIX-<suffix>, made ready and held
# for the rest of the script, so that a second run of the same kind stops at once instead of
# putting its windows among the first one's.
yg_run_prefix() {
  export YG_WINEPREFIX="${YG_WINEPREFIX:-/tmp/yg-wineprefix}-$1"
  exec {yg_run_lock}>"$YG_WINEPREFIX.run-lock"
  flock -n "$yg_run_lock" || { echo "$0: another run holds $YG_WINEPREFIX" >&2; return 1; }
  yg_wine_prefix
}

# yg_wine_prefix: the prefix, made once and reused while its stamp matches the recipe. Prefixes
# are shared between runs, so the set-up is serialised with a lock beside the prefix.
yg_wine_prefix() {
  yg_wine_env
  local stamp="$WINEPREFIX/.yg-prefix-complete" recipe
  recipe=$(_yg_prefix_recipe)
  if [ "$(cat "$stamp" 2>/dev/null)" = "$recipe" ]; then return 0; fi
  if [ ! -r "$YG_WQY_FONT" ]; then
    echo "yg_wine_prefix: $YG_WQY_FONT missing (fonts-wqy-zenhei)" >&2
    return 1
  fi
  if [ ! -r "$YG_MARLETT_FONT" ]; then
    echo "yg_wine_prefix: $YG_MARLETT_FONT missing (fonts-wine)" >&2
    return 1
  fi
  (
    exec {lock}>"$WINEPREFIX.lock"
    flock -w 600 "$lock" || { echo "yg_wine_prefix: $WINEPREFIX.lock is held" >&2; exit 1; }
    # Someone else may have finished it while we waited.
    if [ "$(cat "$stamp" 2>/dev/null)" = "$recipe" ]; then exit 0; fi
    _yg_wine_boot && _yg_wine_fonts && _yg_wine_check_fonts || exit 1
    echo "$recipe" >"$stamp"
  )
}

# What the stamp says of a complete prefix. Change the number when the set-up below changes, so
# that cached prefixes are set up again; installing Micro Hei later changes it too.
_yg_prefix_recipe() {
  echo "yg-prefix 4 $(_yg_hei_family)"
}

# The sans-serif face for the UI fonts and the Hei names: Micro Hei where it is installed, as its
# gasp table lets every size be smoothed; Zen Hei asks for unsmoothed 9 to 16 pixel glyphs, and
# without hinting those lose strokes.
_yg_hei_family() {
  if [ -r "$YG_WQY_MICRO_FONT" ]; then echo "$YG_WQY_MICRO"; else echo "$YG_WQY_FAMILY"; fi
}

_yg_hei_file() {
  if [ -r "$YG_WQY_MICRO_FONT" ]; then echo "$YG_WQY_MICRO_FONT"; else echo "$YG_WQY_FONT"; fi
}

_yg_wine_boot() {
  echo "Setting up the Wine prefix $WINEPREFIX" >&2
  # No Mono or Gecko: the prompts to download them would wait for a click that never comes.
  WINEDLLOVERRIDES="mscoree,mshtml=;$WINEDLLOVERRIDES" wine wineboot -i >/dev/null 2>&1 || {
    echo "yg_wine_prefix: wineboot failed" >&2
    return 1
  }
  _yg_wineserver_wait
}

# Waits until the prefix's wineserver has ended, so that everything wineboot started is done and
# the registry is on disk. Bounded: a program someone else left running in the prefix keeps the
# server alive.
_yg_wineserver_wait() {
  timeout 180 wineserver -w || echo "yg_wine_prefix: wineserver still busy, going on" >&2
}

# The Chinese fonts and Marlett inside the prefix, font links from the UI fonts to them, and the Chinese font
# names that programs ask for replaced by them.
_yg_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" file
  mkdir -p "$fonts" || return 1
  for file in "$YG_WQY_FONT" "$(_yg_hei_file)" "$YG_MARLETT_FONT"; do
    ln -sf "$file" "$fonts/$(basename "$file")" || return 1
  done
  local reg="$WINEPREFIX/drive_c/yg-fonts.reg"
  _yg_fonts_reg | _yg_utf16le >"$reg" || return 1
  # regedit reads a UTF-16LE .reg with a byte-order mark as Unicode; a UTF-8 one would be read in
  # the ANSI code page and mangle the Chinese names.
  if ! wine regedit /S 'C:\yg-fonts.reg' >/dev/null 2>&1; then
    echo "yg_wine_prefix: regedit failed" >&2
    return 1
  fi
  rm -f "$reg"
}

_yg_fonts_reg() {
  local link name hei
  hei=$(_yg_hei_family)
  link=$(_yg_reg_multi_sz "$(basename "$(_yg_hei_file)"),$hei")
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  # The Song faces get the Sharp face: like SimSun's own, its 12 to 16 pixel glyphs are hand-made
  # bitmaps. Outlines are all the font has at those sizes otherwise, and its gasp table asks for
  # them unsmoothed there, which drops strokes.
  for name in "SimSun" "宋体" "NSimSun" "新宋体"; do
    printf '"%s"="%s"\r\n' "$name" "$YG_WQY_SHARP"
  done
  for name in "SimHei" "黑体" "Microsoft YaHei" "微软雅黑" "Microsoft YaHei UI"; do
    printf '"%s"="%s"\r\n' "$name" "$hei"
  done
  # Latin UI fonts borrow the Chinese glyphs they lack from the linked font.
  printf '\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n' 'Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  for name in "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "MS Sans Serif" "Microsoft Sans Serif" \
    "Segoe UI" "Arial" "Lucida Sans Unicode" "Courier New" "System"; do
    printf '"%s"=hex(7):%s\r\n' "$name" "$link"
  done
}

# A REG_MULTI_SZ of one string, as the comma-separated UTF-16LE bytes that hex(7) takes.
_yg_reg_multi_sz() {
  printf '%s\0\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' |
    sed 's/^,//; s/,$//'
}

_yg_utf16le() {
  printf '\xff\xfe'
  iconv -f UTF-8 -t UTF-16LE
}

# Reads the values back through Wine's own registry and compares them with what was meant.
_yg_wine_check_fonts() {
  local replacements='HKCU\Software\Wine\Fonts\Replacements'
  if _yg_reg_has "$replacements" -xF "\"宋体\"=\"$YG_WQY_SHARP\"" &&
    _yg_reg_has "$replacements" -xF "\"Microsoft YaHei UI\"=\"$(_yg_hei_family)\"" &&
    _yg_reg_has 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      -E '^"Tahoma"=hex\(7\):'; then
    return 0
  fi
  echo "yg_wine_prefix: the font settings did not reach the registry" >&2
  return 1
}

# _yg_reg_has <key> <grep options> <pattern>: a line of the key's export matches.
_yg_reg_has() {
  local file="$WINEPREFIX/drive_c/yg-reg-check.reg" found=1
  if wine reg export "$1" 'C:\yg-reg-check.reg' /y >/dev/null 2>&1; then
    iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | grep -q "$2" -- "$3" && found=0
  fi
  rm -f "$file"
  return "$found"
}

# yg_xvfb_start <display-number> [WxHxD]: refuses a display that is taken. The PID goes into
# YG_XVFB_PID and /tmp/yg-xvfb-<n>.pid, the server's output into /tmp/yg-xvfb-<n>.log.
yg_xvfb_start() {
  local num=$1 screen=${2:-1024x768x24} pid
  if ! _yg_display_free "$num"; then
    echo "yg_xvfb_start: display :$num is already in use" >&2
    return 1
  fi
  Xvfb ":$num" -screen 0 "$screen" -nolisten tcp -noreset </dev/null >"/tmp/yg-xvfb-$num.log" 2>&1 &
  pid=$!
  # Ours must be the server that answers, not one that took the number meanwhile.
  if ! yg_wait_for 15 _yg_xvfb_answers "$num" "$pid"; then
    _yg_stop_xvfb_pid "$pid"
    return 1
  fi
  YG_XVFB_PID=$pid
  YG_XVFB_DISPLAY=$num
  echo "$pid" >"/tmp/yg-xvfb-$num.pid"
  export DISPLAY=":$num"
}

yg_xvfb_start_free() {
  local num
  for ((num = 91; num <= 139; num++)); do
    _yg_display_free "$num" || continue
    yg_xvfb_start "$num" "$@" 2>/dev/null && return 0
  done
  echo "yg_xvfb_start_free: no display from :91 to :139 could be started" >&2
  return 1
}

# yg_free_display [first] [last]: the first display number in the range (default 91 to 139) that
# no X server holds.
yg_free_display() {
  local num
  for ((num = ${1:-91}; num <= ${2:-139}; num++)); do
    _yg_display_free "$num" && { echo "$num"; return 0; }
  done
  echo "yg_free_display: no free display from :${1:-91} to :${2:-139}" >&2
  return 1
}

_yg_display_free() {
  [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ] &&
    ! xdpyinfo -display ":$1" >/dev/null 2>&1
}

_yg_xvfb_answers() {
  kill -0 "$2" 2>/dev/null && xdpyinfo -display ":$1" >/dev/null 2>&1
}

# yg_xvfb_stop [display-number]: without a number, the server this shell started, if any; with
# one, the PID recorded for it. Only ever that PID, and only while it still is an Xvfb.
yg_xvfb_stop() {
  local num=${1:-${YG_XVFB_DISPLAY:-}} pid
  [ -n "$num" ] || return 0
  if [ "$num" = "${YG_XVFB_DISPLAY:-}" ]; then
    pid=$YG_XVFB_PID
    unset YG_XVFB_PID YG_XVFB_DISPLAY
  else
    pid=$(cat "/tmp/yg-xvfb-$num.pid" 2>/dev/null)
  fi
  [ -n "$pid" ] || return 0
  [ "$(cat "/tmp/yg-xvfb-$num.pid" 2>/dev/null)" = "$pid" ] && rm -f "/tmp/yg-xvfb-$num.pid"
  _yg_stop_xvfb_pid "$pid"
}

_yg_stop_xvfb_pid() {
  local pid=$1
  [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "Xvfb" ] || return 0
  kill "$pid" 2>/dev/null
  yg_wait_for 5 _yg_gone "$pid" || kill -KILL "$pid" 2>/dev/null
  _yg_reap "$pid"
}

_yg_gone() { ! kill -0 "$1" 2>/dev/null; }

# yg_wait_for <timeout-seconds> <command...>: the command's own output is discarded; the timeout
# may have decimals.
yg_wait_for() {
  local timeout=$1 deadline
  shift
  deadline=$(($(date +%s%3N) + $(awk -v t="$timeout" 'BEGIN { printf "%d", t * 1000 }')))
  while :; do
    "$@" >/dev/null 2>&1 && return 0
    [ "$(date +%s%3N)" -lt "$deadline" ] || break
    sleep 0.1
  done
  echo "yg_wait_for: gave up after ${timeout}s waiting for: $*" >&2
  return 1
}

# yg_wine_start <log-file> <program> [args...]: the program's output goes to the log. The PID in
# YG_WINE_PID is the Windows process itself: the wine launcher execs into it.
yg_wine_start() {
  local log=$1
  shift
  wine "$@" </dev/null >"$log" 2>&1 &
  YG_WINE_PID=$!
}

yg_wine_stop() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  yg_wait_for 5 _yg_gone "$pid" || kill -KILL "$pid" 2>/dev/null
  _yg_reap "$pid"
}

# _yg_reap <pid>: collects a child this shell stopped. Its status is that of the signal (143 after
# SIGTERM), which is what stopping it meant: a caller under `set -e` must not end with it.
_yg_reap() {
  wait "$1" 2>/dev/null || true
}

# yg_window_id <title-or-name>: the first visible X window whose title is exactly the argument,
# else whose WM_CLASS name is (Wine sets it to the program's file name, e.g. notepad.exe).
# Prints the X window id; fails when there is none.
yg_window_id() {
  local pattern ids
  pattern="^$(_yg_regex_quote "$1")\$"
  ids=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null) ||
    ids=$(xdotool search --onlyvisible --classname "$pattern" 2>/dev/null) || return 1
  head -n 1 <<<"$ids"
}

yg_wait_window() {
  yg_wait_for "$1" yg_window_id "$2" || return 1
  yg_window_id "$2"
}

# yg_x_focus <title-or-name>: with no window manager, the X server sends the keys of xdotool
# type/key to the window under the pointer, and Wine hands them to the window it received them
# in, whatever the foreground window is. Fixing the X focus on the window that should get them
# makes typing independent of where the pointer was last clicked.
yg_x_focus() {
  local id
  id=$(yg_window_id "$1") || { echo "yg_x_focus: no visible window $1" >&2; return 1; }
  xdotool windowfocus --sync "$id"
}

# yg_winpath <unix-path>: Wine maps the whole Unix tree to drive Z:.
yg_winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}

_yg_regex_quote() {
  sed 's/[][\.^$*+?(){}|]/\\&/g' <<<"$1"
}

yg_screenshot() {
  import -display "$DISPLAY" -window root "$1"
}

# yg_wine_dpi <dpi>: the display scaling the prefix's programs see (96 = 100%, 144 = 150%).
yg_wine_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 &&
    _yg_reg_has 'HKCU\Control Panel\Desktop' -iE "^\"LogPixels\"=dword:0*$(printf '%x' "$1")\$"
}
