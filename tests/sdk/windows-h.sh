#!/usr/bin/env bash
# A Windows author includes windows.h as a matter of course: the C++ SDK's
# plug-in headers go beside it in one file, before it or after it, with the
# SDK's compiler.
# Usage: windows-h.sh <source-root>
set -euo pipefail
root=$1
headers=(sdk/Qorb.Plugin.Contracts.h sdk/Qorb.Plugin.EventBus.h sdk/Qorb.Plugin.Menu.h
  rtl/InterfacedObject.h rtl/ComPtr.h rtl/Method.h rtl/Format.h)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
{
  echo '#include <windows.h>'
  for h in "${headers[@]}"; do echo "#include \"$h\""; done
  # Both sides' names in use: the system's GUID and HRESULT are the SDK's.
  echo 'static_assert(sizeof(IID) == sizeof(IInterface::IID));'
  echo 'HRESULT Ask(IInterface* i, REFIID iid, void** obj) { return i->QueryInterface(iid, obj) == S_OK ? S_OK : E_NOINTERFACE; }'
} >"$tmp/before.cpp"
{
  for h in "${headers[@]}"; do echo "#include \"$h\""; done
  echo '#include <windows.h>'
  tail -2 "$tmp/before.cpp"
} >"$tmp/after.cpp"
fails=0
for order in before after; do
  if out=$(x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I "$root" "$tmp/$order.cpp" 2>&1); then
    echo "ok: windows.h $order"
  else
    echo "FAIL: windows.h $order:"
    echo "$out" | head -20
    fails=$((fails + 1))
  fi
done
exit $((fails > 0))
