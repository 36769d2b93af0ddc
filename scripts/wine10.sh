#!/usr/bin/env bash
# Runs the end-to-end suite of the real panel under Debian 13's Wine 10, beside the Debian 12
# Wine 8 that every other test runs under: an expectation that holds under both describes what
# Windows does rather than what one Wine does. It is no part of `scripts/test.sh`.
#
#   bash scripts/wine10.sh [--no-build] [--dpi N]... [--only CHECK,...]   (default: --dpi 96 --dpi 144)
#
# --only goes on to scripts/e2e.sh.
# On Debian 13 itself (the Windows workflow's container) it installs what it needs, builds and
# runs there. Elsewhere it builds here and runs the suite in a Debian 13 chroot made once with
# debootstrap under $YG_WINE10_ROOT (default /var/tmp/yg-wine10) and reused: the repository and
# /tmp are mounted into it at their own paths, so the exe and tools are the ones built here and X
# displays are picked free among everyone's. The Wine prefixes are $YG_WINEPREFIX-wine10[-<dpi>].
# Ends with "wine10: N passed, N failed", counting the runs (each run's own checks are in its log).
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

build=1 dpis=() only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --dpi) dpis+=("$2"); shift ;;
    --only) only=(--only "$2"); shift ;;
    *) echo "usage: $0 [--no-build] [--dpi N]... [--only CHECK,...]" >&2; exit 2 ;;
  esac
  shift
done
[ ${#dpis[@]} -gt 0 ] || dpis=(96 144)

is_debian13() { grep -qx 'VERSION_ID="13"' /etc/os-release 2>/dev/null; }

build_windows() {
  need_packages cmake ccache make g++-mingw-w64-x86-64-posix googletest python3 fp-utils nsis || return 1
  cmake --preset windows >/dev/null && cmake --build --preset windows
}

# The runs themselves, on a Debian 13 system.
run_here() {
  if [ "$build" -eq 1 ]; then build_windows || exit 1; fi
  export YG_WINEPREFIX="${YG_WINEPREFIX:-/tmp/yg-wineprefix}-wine10"
  wine --version
  local passed=0 failed=0 dpi
  for dpi in "${dpis[@]}"; do
    echo "=== Wine 10, $dpi DPI"
    if bash scripts/e2e.sh --no-build --dpi "$dpi" "${only[@]}"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  done
  echo "wine10: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

if is_debian13; then
  run_here
  exit
fi

# In a function, read whole before it runs: bash reads a script as it goes, and this one waits
# many minutes on the chroot, in which the file may be edited.
in_chroot() {
  root=${YG_WINE10_ROOT:-/var/tmp/yg-wine10}
  repo=$PWD
  if [ "$build" -eq 1 ]; then build_windows || exit 1; fi

  # One run at a time uses the chroot: it holds its mounts.
  exec {lock}>"$root.lock"
  flock -w 3600 "$lock" || { echo "$0: $root.lock is held" >&2; exit 1; }
  # A run that was killed may have left its mounts.
  for point in "$repo" /tmp /dev/shm /dev/pts /dev /sys /proc; do
    ! mountpoint -q "$root$point" || umount -l "$root$point"
  done

  if [ ! -f "$root/.yg-complete" ]; then
    need_packages debootstrap || exit 1
    echo "Making the Debian 13 chroot $root"
    rm -rf --one-file-system "$root"
    debootstrap --variant=minbase trixie "$root" >"$root.debootstrap.log" 2>&1 || {
      echo "$0: debootstrap failed; see $root.debootstrap.log" >&2
      exit 1
    }
    touch "$root/.yg-complete"
  fi
  cp /etc/resolv.conf "$root/etc/resolv.conf"

  mounted=()
  mount_into() {
    mkdir -p "$root$2" && mount --bind "$1" "$root$2" && mounted=("$root$2" "${mounted[@]}")
  }
  unmount_all() {
    local point
    for point in "${mounted[@]}"; do umount "$point" 2>/dev/null || umount -l "$point"; done
  }
  trap unmount_all EXIT
  mkdir -p "$root/proc" && mount -t proc proc "$root/proc" && mounted=("$root/proc") || exit 1
  for point in /sys /dev /dev/pts /dev/shm /tmp "$repo"; do
    mount_into "$point" "$point" || exit 1
  done

  args=(--no-build "${only[@]}")
  for dpi in "${dpis[@]}"; do args+=(--dpi "$dpi"); done
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    ${YG_WINEPREFIX:+YG_WINEPREFIX="$YG_WINEPREFIX"} bash "$repo/scripts/wine10.sh" "${args[@]}"
}

in_chroot
