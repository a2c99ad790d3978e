#!/usr/bin/env bash
# A plug-in author's path: build plug-ins and a library of their own outside
# the tree against the installed SDK, move the plug-in folder elsewhere and
# run it with the installed IDE.
# With a toolchain file and a runner, the SDK is a Windows one (see
# new-projects.sh).
# Usage: external-plugins.sh <source-root> <prefix> <work-dir> <cmake> [<toolchain-file> <runner>]
set -euo pipefail
src=$1 prefix=$2 work=$3 cmake=$4 toolchain=${5:-} run=${6:-}
source "$(dirname "$0")/sdk-checks.sh"

use_sdk "$prefix" "$toolchain" "$run"

rm -rf "$work"
"$cmake" -S "$src/tests/sdk/external" -B "$work/build" -G Ninja "${configure[@]}" \
  -DCMAKE_BUILD_TYPE=Release -DOPTIONS_EXAMPLE_DIR="$src/examples/options-page" \
  > "$work.configure.log" 2>&1 || { cat "$work.configure.log"; exit 1; }
"$cmake" --build "$work/build"

if [[ -z $toolchain ]]; then
  for f in "$work/build/Plugins/"*; do expect_relocatable "$f" "$work" "$prefix"; done
fi

# Nothing of the build folder is needed once the plug-in folder is moved.
mv "$work/build/Plugins" "$work/moved"
rm -rf "$work/build"

out=$("${ide[@]}" --plugins "$work/moved" --strict \
  --click "Qorb/External Item" --click "Qorb/External Item" --options "Qorb/Logging")
echo "$out"
# In load order, which is the folder's listing order.
expect $'\n  External Item\n'
expect $'\n  External C\n'
expect "  External Plug-in  3.1.0.7  Someone Else"
expect "ExternalC.dll"
# The helper is mapped as the plug-in's dependency, not loaded as a plug-in.
plugins=$(sed -n '/^Plug-ins:$/,/^$/p' <<<"$out")
[[ $plugins != *ExternalHelper* ]] || { echo "LISTED AS A PLUG-IN: the helper library"; exit 1; }
expect "] [ExternalC] [Info] loaded"
expect "] [ExternalC] [Info] Grüße €𝄞 �(�)"
expect "] [External] [Info] menu item helper ok"
expect "] [External] [Info] C header agrees"
expect "] [External] [Info] helper answers 42"
expect "] [External] [Info] clicked"
# Each click reaches the other C++ plug-in, which finds the counter, and the C one.
expect "] [Subscriber] [Info] ping 1 of 1 clicks; 4 plug-ins"
expect "] [Subscriber] [Info] ping 2 of 2 clicks; 4 plug-ins"
expect "] [ExternalC] [Info] C got ping 2; 4 plug-ins"
expect $'Options page Qorb/Logging:\n  frame: TExampleOptionsFrame\n  confirmed: entries accepted\n  closed: accepted'
# A C plug-in without a resource script builds where llvm-rc is not to be
# found: the SDK asks for it only for a resource script.
if [[ -z $toolchain ]]; then
  mkdir -p "$work/c-only"
  cat > "$work/c-only/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.25)
project(COnly C)
find_package(Qorb 1 CONFIG REQUIRED)
qorb_add_plugin(ExternalC SOURCES "$src/tests/sdk/external/ExternalC.c")
EOF
  "$cmake" -S "$work/c-only" -B "$work/c-only/build" -G Ninja "${configure[@]}" \
    -DCMAKE_C_COMPILER="$(command -v cc)" -DCMAKE_MAKE_PROGRAM="$(command -v ninja)" \
    -DCMAKE_FIND_USE_SYSTEM_ENVIRONMENT_PATH=OFF -DCMAKE_FIND_USE_CMAKE_SYSTEM_PATH=OFF \
    > "$work.configure.log" 2>&1 || { cat "$work.configure.log"; exit 1; }
  grep -q 'QORB_LLVM_RC:FILEPATH=QORB_LLVM_RC-NOTFOUND' "$work/c-only/build/CMakeCache.txt" ||
    { echo "llvm-rc was found: the check proves nothing"; exit 1; }
  "$cmake" --build "$work/c-only/build"
fi
rm -rf "$work" "$work.configure.log"
