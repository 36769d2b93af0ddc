#!/usr/bin/env bash
# Builds the Windows program, its help and its packages as on a machine without Wine: with every
# Wine program hidden from PATH, configures the windows preset into a scratch folder and builds
# there. The tests that run under Wine must still be registered, the same ones as in a build with
# Wine, and each must be skipped with its reason. Last, configures as a Windows machine does
# (nothing cross-compiled), which must generate too.
#
#   bash scripts/build-without-wine.sh <the windows preset's build folder, configured with Wine>
#
# Prints one line a check and ends with "build without wine: N passed, N failed"; the exit status
# is the number of failures.
set -uo pipefail
cd "$(dirname "$0")/.."

if [ $# -ne 1 ] || [ ! -f "$1/CTestTestfile.cmake" ]; then
  echo "usage: $0 <configured build folder of the windows preset>" >&2
  exit 2
fi
reference=$1
scratch=$(mktemp -d /tmp/yg-no-wine.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

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

# A Wine program: named wine*, or a link that leads into Wine (Debian's regedit, msiexec and
# regsvr32 go through /etc/alternatives to Wine's program loader).
is_wine() { [[ ${1##*/} == wine* || (-L $1 && $(readlink -f "$1") == *wine*) ]]; }

# Each folder of PATH that holds a Wine program is replaced by a folder of links to everything
# else in it.
hidden_path=
n=0
IFS=: read -ra folders <<<"$PATH"
for folder in "${folders[@]}"; do
  others=()
  found=0
  for program in "$folder"/*; do
    if is_wine "$program"; then found=1; else others+=("$program"); fi
  done
  if [ "$found" = 1 ]; then
    n=$((n + 1))
    links="$scratch/path$n"
    mkdir -p "$links"
    ln -s "${others[@]}" "$links"/ 2>/dev/null
    folder=$links
  fi
  hidden_path=${hidden_path:+$hidden_path:}$folder
done
no_wine() { PATH=$hidden_path "$@"; }

for program in wine wine64 wineserver regedit msiexec regsvr32; do
  check "no $program is left on PATH" no_wine bash -c "! command -v $program >/dev/null"
done
check "but the compiler is" no_wine bash -c 'command -v x86_64-w64-mingw32-g++-posix >/dev/null'

build=$scratch/build
no_wine cmake --preset windows -B "$build" >"$scratch/configure.log" 2>&1
check "the windows preset configures" test $? -eq 0
check "configuring says the Wine tests will be skipped" grep -q "No wine on PATH" "$scratch/configure.log"
check "wine is not found" grep -qx 'YG_WINE:FILEPATH=YG_WINE-NOTFOUND' "$build/CMakeCache.txt"

no_wine cmake --build "$build" --target package_all -j 2 >"$scratch/build.log" 2>&1
check "the exe, the help and the packages build" test $? -eq 0
for file in platform/win32/ygpanel.exe platform/win32/ygHelp.chm packaging/ygpanel-*-setup.exe \
  packaging/ygpanel-*-portable.zip; do
  check "built: $file" compgen -G "$build/$file"
done

# The same tests as with Wine, none missing.
names() { ctest --test-dir "$1" -N "${@:2}" | sed -n 's/^ *Test *#[0-9]*: //p' | sort; }
check "the same tests are registered as with Wine" test "$(names "$build")" = "$(names "$reference")"
wine_tests=$(names "$build" -L wine -FA '.*')
check "some tests need Wine" test -n "$wine_tests"
run=$(no_wine ctest --test-dir "$build" -L wine -FA '.*' --verbose 2>&1)
while read -r name; do
  check "$name is skipped" grep -qE "^ *[0-9]+/[0-9]+ Test +#[0-9]+: $name \.+\*+Skipped" <<<"$run"
  check "$name says why" grep -qxE "[0-9]+: $name skipped: it runs under Wine, and there is no wine on PATH" <<<"$run"
done <<<"$wine_tests"

# Configured as on Windows with MSYS2 (the windows-native preset): compiled for the machine it runs
# on, not cross-compiled, with GoogleTest an installed package. The compiler is the cross one and
# GoogleTest a stand-in of imported targets: enough for CMake to generate, and to register the tests
# that the Windows workflow asks ctest for by name and label.
native=$scratch/native
mkdir -p "$native/gtest"
cat >"$native/gtest/GTestConfig.cmake" <<'CMAKE'
foreach(name gtest gtest_main gmock gmock_main)
  add_library(GTest::${name} STATIC IMPORTED)
  set_target_properties(GTest::${name} PROPERTIES IMPORTED_LOCATION ${CMAKE_CURRENT_LIST_DIR}/lib${name}.a)
endforeach()
CMAKE
echo 'set(CMAKE_CROSSCOMPILING OFF)' >"$native/not-cross.cmake"
no_wine cmake -S . -B "$native/build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_PROJECT_INCLUDE="$native/not-cross.cmake" -DGTest_DIR="$native/gtest" -DCMAKE_BUILD_TYPE=MinSizeRel \
  >"$native/configure.log" 2>&1
check "configured as on Windows, CMake generates" test $? -eq 0
native_tests=$(names "$native/build")
for name in yg_win32_tests help_chm e2e_panel; do
  check "configured as on Windows, $name is registered" grep -qx "$name" <<<"$native_tests"
done
check "configured as on Windows, unit tests are registered" test -n "$(names "$native/build" -L unit)"

if [ "$failed" -gt 0 ]; then
  echo "--- configured as on Windows:" && tail -n 20 "$native/configure.log"
  echo "--- configure:" && tail -n 20 "$scratch/configure.log"
  echo "--- build:" && tail -n 20 "$scratch/build.log"
  echo "--- tests:" && echo "$run" | tail -n 30
fi
echo "build without wine: $passed passed, $failed failed"
exit "$failed"
