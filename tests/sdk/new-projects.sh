#!/usr/bin/env bash
# What a new plug-in author does with an installed SDK: `qorb-ide new`, then
# the three commands it prints, for the C++, the C and the options-page
# template. Each project's own test runs its plug-in in the installed IDE.
# Usage: new-projects.sh <prefix> <work-dir> <ctest>
set -euo pipefail
prefix=$1 work=$2 ctest=$3
source "$(dirname "$0")/sdk-checks.sh"
export CMAKE_PREFIX_PATH=$prefix
export PATH=$(dirname "$ctest"):$PATH

rm -rf "$work"
mkdir -p "$work"
cd "$work"
build() {
  local name=$1
  shift
  "$prefix/bin/qorb-ide" new "$name" "$@"
  cmake -S "$name" -B "$name/build" > "$name.configure.log" 2>&1 || { cat "$name.configure.log"; exit 1; }
  cmake --build "$name/build"
  expect_relocatable "$name/build/$name.dll" "$work" "$prefix"
  ctest --test-dir "$name/build" --output-on-failure
}
build CppPlugin
build CPlugin --c
build OptionsPlugin --options-page
cd /
rm -rf "$work"
