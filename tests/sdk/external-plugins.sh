#!/usr/bin/env bash
# A plug-in author's path: build plug-ins outside the tree with the SDK
# against a built IDE folder, drop them into a copy of that folder, run it.
# Usage: external-plugins.sh <source-root> <ide-dir> <work-dir> <cmake>
set -euo pipefail
src=$1 ide=$2 work=$3 cmake=$4

rm -rf "$work"
"$cmake" -S "$src/tests/sdk/external" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DQORB_SDK_ROOT="$src" -DQORB_IDE_DIR="$ide" > "$work.configure.log" 2>&1 || { cat "$work.configure.log"; exit 1; }
"$cmake" --build "$work/build"

# The IDE folder runs wherever it is copied.
cp -r "$ide" "$work/ide"
rm -rf "$work/ide/Plugins"
mkdir "$work/ide/Plugins"
cp "$work/build/ExternalCpp.dll" "$work/build/ExternalC.dll" "$work/ide/Plugins/"

out=$("$work/ide/qorb-ide" --click "Qorb/External Item")
echo "$out"
expect() {
  [[ $out == *"$1"* ]] || { echo "MISSING: $1"; exit 1; }
}
expect $'Qorb\n  External Item\n  -'
expect "  External Plug-in  3.1.0.7  Someone Else"
expect "$work/ide/Plugins/ExternalC.dll"
expect "] [ExternalC] [Info] loaded"
expect "] [External] [Info] clicked"
rm -rf "$work" "$work.configure.log"
