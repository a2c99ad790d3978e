#!/usr/bin/env bash
# The guide's example of a service of a plug-in's own in C: the C plug-in
# registers a counter, the C++ plug-in looks it up on every click and uses
# its result parameter; the C plug-in's own menu item counts and publishes
# the counter, and its handler hears it; both give everything back, menu
# items included (the IDE exits 0 only when nothing is left alive).
# Usage: counter-service.sh <ide-dir> <counter-plugin> <user-plugin> <work-dir>
set -euo pipefail
ide=$1 counter=$2 user=$3 work=$4
source "$(dirname "$0")/sdk-checks.sh"

# The IDE's own package beside a plug-in folder of these two only.
rm -rf "$work"
mkdir -p "$work/Plugins"
cp "$ide/Qorb_DelphiMain.bpl" "$ide/DelphiMainProc.dll" "$work/"
cp "$counter" "$user" "$work/Plugins/"
out=$("$ide/qorb-ide" --package "$work/Qorb_DelphiMain.bpl" --click "Qorb/Count" --click "Qorb/Count in C" \
  --click "Qorb/Count")
echo "$out"
expect "] [CounterC] [Info] counter registered"
expect "] [CounterUser] [Info] C counter is at 1"
expect "] [CounterC] [Info] clicked, count 2"
expect "] [CounterC] [Info] C counter"
expect "] [CounterUser] [Info] C counter is at 3"
rm -rf "$work"
