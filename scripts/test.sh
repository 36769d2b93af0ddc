#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root), builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh

need_packages cmake g++ make libgtest-dev

cmake --workflow --preset linux
