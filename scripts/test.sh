#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root), builds everything and runs every test:
# the core's tests natively, then the Windows program cross-compiled with its tests under Wine,
# the help file's check and the end-to-end runs of the real panel on a private X display.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

need_packages cmake ccache g++ make libgtest-dev googletest python3 \
  g++-mingw-w64-x86-64-posix fp-utils nsis \
  wine wine64 xvfb xdotool imagemagick x11-utils fonts-wqy-zenhei fonts-wqy-microhei

cmake --workflow --preset linux
cmake --workflow --preset windows
