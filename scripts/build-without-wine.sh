#!/usr/bin/env bash
# Builds the Windows program, its help and its packages as on a machine without Wine: with every
# Wine program hidden from PATH, configures the windows preset into a scratch folder and builds
# there. The tests that run under Wine must still be registered, the same ones as in a build with
# Wine, and each must be skipped with its reason.
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

# Each folder of PATH that holds a Wine program is replaced by a folder of links to everything
# else in it: wine, wineserver and the rest, and the programs that are links into Wine's folder.
hidden_path=
n=0
IFS=: read -ra folders <<<"$PATH"
for folder in "${folders[@]}"; do
  # find -H: a folder of PATH may itself be a link (/bin on Debian).
  if [ -n "$(find -H "$folder" -maxdepth 1 \( -name 'wine*' -o -lname '*wine*' \) -print -quit 2>/dev/null)" ]; then
    n=$((n + 1))
    links="$scratch/path$n"
    mkdir -p "$links"
    ln -s "$folder"/* "$links"/ 2>/dev/null
    find -H "$folder" -maxdepth 1 \( -name 'wine*' -o -lname '*wine*' \) -printf "$links/%f\0" | xargs -0 rm -f
    folder=$links
  fi
  hidden_path=${hidden_path:+$hidden_path:}$folder
done
no_wine() { PATH=$hidden_path "$@"; }

check "no wine is left on PATH" no_wine bash -c '! command -v wine && ! command -v wineserver >/dev/null'
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

if [ "$failed" -gt 0 ]; then
  echo "--- configure:" && tail -n 20 "$scratch/configure.log"
  echo "--- build:" && tail -n 20 "$scratch/build.log"
  echo "--- tests:" && echo "$run" | tail -n 30
fi
echo "build without wine: $passed passed, $failed failed"
exit "$failed"
