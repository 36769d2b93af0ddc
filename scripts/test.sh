#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root), builds everything and runs the tests.
#
#   bash scripts/test.sh [--full]
#
# The quick set, CI's: the core's tests natively; the Windows program, its help, its packages and
# the test tools cross-compiled with Wine hidden from PATH, which proves they build where there is
# no Wine, and every test that needs Wine then registered and skipped; then, with Wine, every test
# of the windows preset but those labelled `full`. --full runs those too (the unit tests under
# Wine, the installer, the short reliability run, the end-to-end runs at 120, 144 and 168 DPI in
# full), in place of those labelled `quick`.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
source scripts/lib/no_wine.sh

skip=full
case "${1:-}" in
  "") ;;
  --full) skip=quick ;;
  *) echo "usage: $0 [--full]" >&2; exit 2 ;;
esac

need_packages cmake ccache g++ make libgtest-dev googletest python3 \
  g++-mingw-w64-x86-64-posix fp-utils nsis \
  wine wine64 xvfb xdotool imagemagick x11-utils fonts-wqy-zenhei fonts-wqy-microhei fonts-wine
# ccache keys on paths inside the clone relative to it, and not on the folder the debug build
# compiles in, so that a clone elsewhere compiles only what differs from one built before.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

cmake --workflow --preset linux

mkdir -p build
yg_hide_wine build/no-wine-path
yg_without_wine cmake --preset windows -U YG_WINE
yg_without_wine cmake --build --preset windows --target all package_all
yg_without_wine ctest --preset windows -L '^wine$'
cmake --preset windows >/dev/null
ctest --preset windows -LE "^$skip\$"
