#!/usr/bin/env bash
# Configures the project as a Windows machine does with MSYS2 (the windows-native preset):
# compiled for the machine it runs on, not cross-compiled, with GoogleTest an installed package
# and no Wine. The compiler is the cross one and GoogleTest a stand-in of imported targets: enough
# for CMake to generate, and to register the tests that the Windows workflow asks ctest for by
# name and label. (That the program, its help and its packages build without Wine is shown by
# scripts/test.sh, which builds the windows preset with Wine hidden.)
#
#   bash scripts/configure-as-windows.sh
#
# Prints one line a check and ends with "configure as windows: N passed, N failed"; the exit status
# is the number of failures.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/no_wine.sh

scratch=$(mktemp -d /tmp/yg-as-windows.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
yg_hide_wine "$scratch/path"

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "PASS $what"
  else
    failed=$((failed + 1))
    echo "FAIL $what"
  fi
}

check "no wine is left on PATH" yg_without_wine bash -c '! command -v wine >/dev/null'

mkdir -p "$scratch/gtest"
cat >"$scratch/gtest/GTestConfig.cmake" <<'CMAKE'
foreach(name gtest gtest_main gmock gmock_main)
  add_library(GTest::${name} STATIC IMPORTED)
  set_target_properties(GTest::${name} PROPERTIES IMPORTED_LOCATION ${CMAKE_CURRENT_LIST_DIR}/lib${name}.a)
endforeach()
CMAKE
echo 'set(CMAKE_CROSSCOMPILING OFF)' >"$scratch/not-cross.cmake"
yg_without_wine cmake -S . -B "$scratch/build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PROJECT_INCLUDE="$scratch/not-cross.cmake" -DGTest_DIR="$scratch/gtest" -DCMAKE_BUILD_TYPE=MinSizeRel \
  >"$scratch/configure.log" 2>&1
check "CMake generates" test $? -eq 0
names() { ctest --test-dir "$scratch/build" -N "$@" | sed -n 's/^ *Test *#[0-9]*: //p'; }
tests=$(names)
for name in yg_win32_tests help_chm e2e_panel; do
  check "$name is registered" grep -qx "$name" <<<"$tests"
done
check "unit tests are registered" test -n "$(names -L unit)"

if [ "$failed" -gt 0 ]; then
  echo "--- configure:" && tail -n 20 "$scratch/configure.log"
fi
echo "configure as windows: $passed passed, $failed failed"
exit "$failed"
