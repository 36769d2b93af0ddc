#!/usr/bin/env bash
# Runs a command with the cached Wine prefix and a private X display: with-display.sh <cmd...>
set -uo pipefail
source "$(dirname "$0")/lib/wine.sh"
yg_wine_prefix || exit 1
yg_xvfb_start_free || exit 1
trap 'yg_xvfb_stop' EXIT
"$@"
