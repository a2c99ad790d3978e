#!/usr/bin/env bash
# What a new plug-in author does with an installed SDK: `qorb-ide new`, then
# the three commands it prints, for the C++, the C and the options-page
# template. Each project's own test runs its plug-in in the installed IDE.
# With a toolchain file and a runner, the SDK is a Windows one: qorb-ide.exe
# runs through the runner, and the configure line it prints cross-builds
# each project with the prefix's own toolchain file, whose emulator (the
# prefix's Wine runner) runs the IDE in the project's test.
# Usage: new-projects.sh <prefix> <work-dir> <ctest> [<toolchain-file> <runner>]
set -euo pipefail
prefix=$1 work=$2 ctest=$3 toolchain=${4:-} run=${5:-}
source "$(dirname "$0")/sdk-checks.sh"
export PATH=$(dirname "$ctest"):$PATH

use_sdk "$prefix" "$toolchain" "$run"

rm -rf "$work"
mkdir -p "$work"
cd "$work"
build() {
  local name=$1 printed
  shift
  printed=$("${ide[@]}" new "$name" "$@")
  echo "$printed"
  if [[ -n $toolchain ]]; then
    # The configure line as printed: it must work from Linux with nothing
    # but the prefix (its toolchain file and Wine runner).
    (eval "$(grep '^  cmake -S ' <<< "$printed")") \
      > "$name.configure.log" 2>&1 || { cat "$name.configure.log"; exit 1; }
  else
    cmake -S "$name" -B "$name/build" "${configure[@]}" \
      > "$name.configure.log" 2>&1 || { cat "$name.configure.log"; exit 1; }
  fi
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
