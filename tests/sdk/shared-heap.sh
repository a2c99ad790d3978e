#!/usr/bin/env bash
# C plug-ins from three Windows toolchains (clang in MSVC mode with no C
# runtime, MinGW-w64 on the UCRT, MinGW-w64 on msvcrt) make strings the host
# keeps and frees, free what the host made, register, subscribe, publish
# and have their menu items clicked, in one qorb-ide.exe run, whose About
# library is C from clang in MSVC mode too. Wine's heap checker must find
# no block freed on a heap it does not belong to.
# Usage: shared-heap.sh <source-root> <ide-bin-dir> <work-dir> <runner>
set -euo pipefail
src=$1 bin=$2 work=$3 run=$4
source "$(dirname "$0")/sdk-checks.sh"
plugin=$src/tests/sdk/heap/HeapPlugin.c
flags=(-std=c11 -O2 -Wall -Wextra -Werror -I "$src/sdk")

rm -rf "$work"
mkdir -p "$work/Plugins" "$work/obj" "$work/package"
llvm-dlltool -m i386:x86-64 -d "$src/tests/sdk/heap/kernel32.def" -l "$work/obj/kernel32.lib"
clang --target=x86_64-pc-windows-msvc -ffreestanding "${flags[@]}" -DHEAP_ID=1 '-DHEAP_VARIANT="msvc"' \
  -c "$plugin" -o "$work/obj/HeapMsvc.o"
lld-link /nologo /dll /noentry /nodefaultlib "/implib:$work/obj/HeapMsvc.lib" "/out:$work/Plugins/HeapMsvc.dll" "$work/obj/HeapMsvc.o" \
  "$work/obj/kernel32.lib"
clang --target=x86_64-pc-windows-msvc -ffreestanding "${flags[@]}" -c "$src/tests/sdk/heap/ClangAbout.c" \
  -o "$work/obj/ClangAbout.o"
lld-link /nologo /dll /noentry /nodefaultlib "/out:$work/package/DelphiMainProc.dll" "$work/obj/ClangAbout.o" \
  "$work/obj/kernel32.lib"
cp "$bin/Qorb_DelphiMain.bpl" "$work/package/"
x86_64-w64-mingw32-gcc-posix "${flags[@]}" -DHEAP_CRT -DHEAP_ID=2 '-DHEAP_VARIANT="ucrt"' -shared -static-libgcc \
  -o "$work/Plugins/HeapUcrt.dll" "$plugin" -lucrt
x86_64-w64-mingw32-gcc-posix "${flags[@]}" -DHEAP_CRT -DHEAP_ID=3 '-DHEAP_VARIANT="msvcrt"' -shared -static-libgcc \
  -o "$work/Plugins/HeapMsvcrt.dll" "$plugin"

# Each is what it claims: kernel32 alone, the UCRT's malloc, msvcrt's.
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' '; }
[[ $(imports "$work/Plugins/HeapMsvc.dll") == "kernel32.dll " ]] \
  || { echo "HeapMsvc.dll imports $(imports "$work/Plugins/HeapMsvc.dll")"; exit 1; }
[[ $(imports "$work/Plugins/HeapUcrt.dll") == *api-ms-win-crt-heap* ]] \
  || { echo "HeapUcrt.dll imports $(imports "$work/Plugins/HeapUcrt.dll")"; exit 1; }
[[ $(imports "$work/Plugins/HeapMsvcrt.dll") != *api-ms-win-crt* ]] \
  || { echo "HeapMsvcrt.dll imports $(imports "$work/Plugins/HeapMsvcrt.dll")"; exit 1; }

# check names each one's C runtime.
out=$("$run" "$bin/qorb-ide.exe" check "$work/Plugins/HeapMsvc.dll" "$work/Plugins/HeapMsvcrt.dll" \
  "$work/Plugins/HeapUcrt.dll")
expect $'HeapMsvc.dll: would load\n'
expect $'  C runtime: none\n'
expect $'  C runtime: msvcrt.dll\n'
expect "  C runtime: msvcrt.dll and the UCRT"

status=0
out=$(WINEDEBUG=warn+heap "$run" "$bin/qorb-ide.exe" --package "$work/package/Qorb_DelphiMain.bpl" \
  --plugins "$work/Plugins" --strict --click "Qorb/Heap msvc" --click "Qorb/Heap ucrt" --click "Qorb/Heap msvcrt" \
  --click "Qorb/About Qorb..." 2>&1) || status=$?
heap=$(grep -E '^[0-9a-f]+:(err|warn):heap' <<< "$out" || true)
echo "$out" | grep -vE '^[0-9a-f]+:(err|warn):heap'
if [[ -n $heap ]]; then
  echo "Wine's heap checker complained:"
  echo "$heap"
  exit 1
fi
[[ $status == 0 ]] || { echo "qorb-ide.exe exited $status"; exit 1; }
expect "About dialog of clang: Qorb Tool-Suite for Delphi 1.0.0.0, 3 plug-ins:"
for v in msvc ucrt msvcrt; do
  expect "] [$v] [Info] found itself"
  expect "] [$v] [Info] heard"
  expect "] [$v] [Info] initialised, modules "
  expect "] [$v] [Info] clicked, modules 4"
done
rm -rf "$work"
