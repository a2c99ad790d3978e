#!/usr/bin/env bash
# The C headers need nothing but the compiler: every compiler a plug-in
# author may use, as C11 and as C++17, with the compiler's own headers only
# (-nostdinc); on Windows also beside windows.h, included before or after.
# Usage: c-headers.sh <source-dir>
set -euo pipefail
root=$1
sdk=$root/sdk
src=$root/tests/sdk/headers/EveryHelper.c
warn=(-Wall -Wextra -Werror -pedantic)
fails=0

# Compiles src with the compiler's own include folder only (none given:
# MinGW-w64's stddef.h and stdint.h are its C library's, and the only ones).
check() {
  local name=$1 own=$2
  shift 2
  local inc=()
  [ -n "$own" ] && inc=(-nostdinc -isystem "$own")
  for lang in "c -std=c11" "c++ -std=c++17"; do
    # shellcheck disable=SC2086
    if ! out=$("$@" -fsyntax-only -ffreestanding "${inc[@]}" -I "$sdk" "${warn[@]}" -x $lang "$src" 2>&1); then
      echo "FAIL: $name, $lang:"
      echo "$out"
      fails=$((fails + 1))
    else
      echo "ok: $name, $lang"
    fi
  done
}

clang_own=$(clang -print-resource-dir)/include
check gcc "$(gcc -print-file-name=include)" gcc
check clang "$clang_own" clang
check "MinGW-w64 gcc" "" x86_64-w64-mingw32-gcc-posix
check "clang, MSVC mode" "$clang_own" clang --target=x86_64-pc-windows-msvc

# windows.h declares the process heap's functions too; both orders.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '#include <windows.h>\n#include "%s"\n' "$src" >"$tmp/before.c"
printf '#include "%s"\n#include <windows.h>\n' "$src" >"$tmp/after.c"
for order in before after; do
  for cc in x86_64-w64-mingw32-gcc-posix "clang --target=x86_64-w64-mingw32"; do
    for lang in "c -std=c11" "c++ -std=c++17"; do
      # shellcheck disable=SC2086
      if ! out=$($cc -fsyntax-only -I "$sdk" -Wall -Wextra -Werror -x $lang "$tmp/$order.c" 2>&1); then
        echo "FAIL: windows.h $order, $cc, $lang:"
        echo "$out"
        fails=$((fails + 1))
      else
        echo "ok: windows.h $order, $cc, $lang"
      fi
    done
  done
done
exit $((fails > 0))
