#!/usr/bin/env bash
# What a new plug-in author does with an installed SDK: `qorb-ide new`, then
# the three commands it prints, for the C++, the C and the options-page
# template. Each project's own test runs its plug-in in the installed IDE.
# With a toolchain file and a runner, the SDK is a Windows one: qorb-ide.exe
# runs through the runner, the projects are cross-built with the toolchain
# and their tests run the IDE through its emulator.
# Usage: new-projects.sh <prefix> <work-dir> <ctest> [<toolchain-file> <runner>]
set -euo pipefail
prefix=$1 work=$2 ctest=$3 toolchain=${4:-} run=${5:-}
source "$(dirname "$0")/sdk-checks.sh"
export PATH=$(dirname "$ctest"):$PATH

use_sdk "$prefix" "$toolchain" "$run"
[[ -z $toolchain ]] || configure+=(-G Ninja)

rm -rf "$work"
mkdir -p "$work"
cd "$work"
build() {
  local name=$1
  shift
  "${ide[@]}" new "$name" "$@"
  cmake -S "$name" -B "$name/build" "${configure[@]}" \
    > "$name.configure.log" 2>&1 || { cat "$name.configure.log"; exit 1; }
  cmake --build "$name/build"
  if [[ -z $toolchain ]]; then
    expect_relocatable "$name/build/$name.dll" "$work" "$prefix"
  fi
  ctest --test-dir "$name/build" --output-on-failure
}
build CppPlugin
build CPlugin --c
build OptionsPlugin --options-page
if [[ -n $toolchain ]]; then
  expect_c_runtime_only CPlugin/build/CPlugin.dll
fi
cd /
rm -rf "$work"
