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
cp "$work/build/"External*.dll "$work/ide/Plugins/"

out=$("$work/ide/qorb-ide" --click "Qorb/External Item" --click "Qorb/External Item" --options "Qorb/Logging")
echo "$out"
expect() {
  [[ $out == *"$1"* ]] || { echo "MISSING: $1"; exit 1; }
}
# In load order, which is the folder's listing order.
expect $'\n  External Item\n'
expect $'\n  External C\n'
expect "  External Plug-in  3.1.0.7  Someone Else"
expect "$work/ide/Plugins/ExternalC.dll"
expect "] [ExternalC] [Info] loaded"
expect "] [ExternalC] [Info] Grüße €𝄞 �(�)"
expect "] [External] [Info] menu item helper ok"
expect "] [External] [Info] C header agrees"
expect "] [External] [Info] clicked"
# Each click reaches the other C++ plug-in, which finds the counter, and the C one.
expect "] [Subscriber] [Info] ping 1 of 1 clicks; 4 plug-ins"
expect "] [Subscriber] [Info] ping 2 of 2 clicks; 4 plug-ins"
expect "] [ExternalC] [Info] C got ping 2; 4 plug-ins"
expect $'Options page Qorb/Logging:\n  frame: TExampleOptionsFrame\n  confirmed: entries accepted\n  closed: accepted'
rm -rf "$work" "$work.configure.log"
