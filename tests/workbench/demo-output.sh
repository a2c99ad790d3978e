#!/usr/bin/env bash
# The demo's run prints what the stored text says, on either platform:
# the same lines, apart from the times, the IDE's folder (<bin>) and the
# order of lines, which follows the order the folder lists its plug-ins in
# (a hash order on Linux, by name on Windows). The C example's count and
# list of the plug-ins loaded before it follow that order too.
# Usage: demo-output.sh <expected.txt> <qorb-ide> [<runner>]
set -euo pipefail
expected=$1 ide=$2 run=${3:-}
bin=$(cd "$(dirname "$ide")" && pwd)

normalized() {
  sed -E 's/\[[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}\]/[hh:nn:ss.zzz]/g; s#\\#/#g; s#(Z:)?'"$bin"'#<bin>#g' |
    grep -v -e '^  Suite modules: ' -e '\[SuiteInfo\] \[Info\] Plug-in: ' | sort
}
out=$($run "$ide" --click "Qorb/Say Hello" --click "Qorb/About Qorb..." --welcome --options "Qorb/Logging")
if ! diff <(normalized < "$expected") <(normalized <<< "$out"); then
  echo "The run printed (< expected, > printed; lines sorted):"
  echo "$out"
  exit 1
fi
