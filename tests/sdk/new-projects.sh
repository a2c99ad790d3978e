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

ide=("$prefix/bin/qorb-ide")
configure=("-DCMAKE_PREFIX_PATH=$prefix")
if [[ -n $toolchain ]]; then
  ide=("$run" "$prefix/bin/qorb-ide.exe")
  # The toolchain confines package searches to the MinGW root: the package
  # folder itself is named.
  configure=(-G Ninja "-DCMAKE_TOOLCHAIN_FILE=$toolchain" "-DQorb_DIR=$prefix/lib/cmake/Qorb")
  # The installed IDE on its own, not helped by the build's bin/.
  unset WINEPATH
fi

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
  # A C plug-in needs the C runtime and nothing of its compiler's.
  imports=$(x86_64-w64-mingw32-objdump -p CPlugin/build/CPlugin.dll | sed -n 's/^\tDLL Name: //p' | sort -f | tr '\n' ' ')
  [[ ${imports,,} == "kernel32.dll msvcrt.dll " ]] || { echo "CPlugin.dll imports $imports"; exit 1; }
fi
cd /
rm -rf "$work"
