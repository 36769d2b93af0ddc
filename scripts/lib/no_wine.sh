# shellcheck shell=bash
# Runs commands as on a machine without Wine. Source it.
#
#   yg_hide_wine <folder>      makes a PATH without Wine's programs (in YG_NO_WINE_PATH): each
#                              folder of PATH that holds one is stood in for by a folder of links,
#                              made under <folder>, to everything else in it
#   yg_without_wine <cmd...>   runs cmd with that PATH

yg_hide_wine() {
  local links folder found others n=0 path= i
  links=$(realpath -m "$1")  # make runs commands in other folders
  local -a programs targets
  rm -rf "$links"
  IFS=: read -ra folders <<<"$PATH"
  for folder in "${folders[@]}"; do
    others=() found=0
    programs=()
    for i in "$folder"/*; do [ -e "$i" ] || [ -L "$i" ] && programs+=("$i"); done
    # A Wine program: named wine*, or a link that leads into Wine (Debian's regedit, msiexec and
    # regsvr32 go through /etc/alternatives to Wine's program loader). One realpath for the folder.
    targets=()
    [ ${#programs[@]} -eq 0 ] || mapfile -t targets < <(realpath -m -- "${programs[@]}")
    for i in "${!programs[@]}"; do
      if [[ ${programs[i]##*/} == wine* || ${targets[i]} == *wine* ]]; then found=1; else others+=("${programs[i]}"); fi
    done
    if [ "$found" = 1 ]; then
      n=$((n + 1))
      mkdir -p "$links/$n" || return 1
      ln -s "${others[@]}" "$links/$n"/ 2>/dev/null
      folder=$links/$n
    fi
    path=${path:+$path:}$folder
  done
  YG_NO_WINE_PATH=$path
}

yg_without_wine() { PATH=$YG_NO_WINE_PATH "$@"; }
