#!/usr/bin/env bash
# The Windows build installed to a fresh prefix: the layout, every DLL a
# program or plug-in there needs found where Windows looks, an IDE that runs
# from the prefix wherever it is, and C plug-ins built without CMake by
# MinGW-w64 gcc and by clang, loaded by that IDE.
# Usage: install-sdk-windows.sh <source-root> <build-dir> <prefix> <cmake> <wine-runner>
set -euo pipefail
src=$1 build=$2 prefix=$3 cmake=$4 run=$5
source "$(dirname "$0")/sdk-checks.sh"
# The build's bin/ on Wine's path would hide a DLL missing from the prefix.
unset WINEPATH
objdump=x86_64-w64-mingw32-objdump

install_prefix "$cmake" "$build" "$prefix"
expect_files "$prefix" bin/qorb-ide.exe bin/Qorb_DelphiMain.bpl bin/DelphiMainProc.dll \
    bin/Plugins/QorbHello.dll bin/Plugins/QorbSuiteInfo.dll bin/Plugins/QorbOptionsExample.dll \
    bin/libqorbrtl.dll bin/libqorbwin.dll bin/libqorbvcl.dll bin/libqorbtoolsapi.dll bin/libqorbide.dll \
    bin/libqorbworkbench.dll bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll \
    lib/libqorbrtl.dll.a lib/libqorbwin.dll.a lib/libqorbvcl.dll.a lib/libqorbtoolsapi.dll.a \
    lib/libqorbotahelper.a lib/cmake/Qorb/QorbConfig.cmake lib/cmake/Qorb/QorbTargets.cmake \
    lib/cmake/Qorb/QorbResources.cmake lib/cmake/Qorb/toolchain-mingw-w64.cmake lib/cmake/Qorb/wine-run \
    lib/pkgconfig/qorb.pc \
    include/qorb/qorb_plugin.h include/qorb/qorb_about.h include/qorb/sdk/Qorb.Plugin.Menu.h \
    include/qorb/rtl/InterfacedObject.h include/qorb/otahelper/Qorb.OTAHelper.Options.h
# Nothing that only the build uses.
for f in "$prefix"/bin/*.a "$prefix"/bin/Plugins/*.a "$prefix"/lib/libQorb_DelphiMain*; do
  [[ -e $f ]] && { echo "not for the prefix: $f"; exit 1; }
done

# Every DLL a file of bin/ imports is beside the program or in Wine's
# system folder: the two places of the search order a prefix can rely on.
"$run" --init
# The prefix wine-run uses.
system32=${QORB_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/qorb/wine}/drive_c/windows/system32
for f in "$prefix"/bin/*.exe "$prefix"/bin/*.dll "$prefix"/bin/*.bpl "$prefix"/bin/Plugins/*.dll; do
  while read -r dll; do
    found=$(find "$prefix/bin" "$system32" -maxdepth 1 -iname "$dll" -print -quit)
    [[ -n $found ]] || { echo "$(basename "$f") needs $dll, which is neither in bin/ nor a system DLL"; exit 1; }
  done < <("$objdump" -p "$f" | sed -n 's/^\tDLL Name: //p')
done

# A plug-in exports what it marks and nothing else, in C++ too.
for f in "$prefix"/bin/Plugins/*.dll; do
  exports=$("$objdump" -p "$f" | sed -n '/Ordinal\/Name Pointer/,/^$/s/^\t\[ *[0-9]*\] //p' | tr '\n' ' ')
  [[ $exports == "InitPlugin Shutdown " ]] || { echo "$(basename "$f") exports $exports"; exit 1; }
done

# The IDE runs from the prefix with its example plug-ins, wherever the
# prefix is.
mv "$prefix" "$prefix.moved"
out=$("$run" "$prefix.moved/bin/qorb-ide.exe" --click "Qorb/Say Hello" --strict)
mv "$prefix.moved" "$prefix"
expect $'\n  Say Hello\n'
expect "] [Hello] [Info] Hello plug-in is ready"
expect "] [Hello] [Info] Hello from the Qorb example plug-in!"
expect "  Qorb Suite Info  0.9.1.4  Tessary Systems"

# C authors without CMake, with our compiler and with another one: the
# plug-in needs the C runtime and nothing of its compiler's.
plugins=$prefix.c-plugins
rm -rf "$plugins"
mkdir -p "$plugins"
flags=(-std=c11 -Wall -Wextra -Werror -shared -I"$prefix/include/qorb")
x86_64-w64-mingw32-gcc-posix "${flags[@]}" -static-libgcc -o "$plugins/InfoGcc.dll" "$src/examples/info-c/InfoPlugin.c"
built=1
if command -v clang > /dev/null; then
  libgcc_dir=$(dirname "$(x86_64-w64-mingw32-gcc-posix -print-libgcc-file-name)")
  clang --target=x86_64-w64-mingw32 "${flags[@]}" -L"$libgcc_dir" -o "$plugins/InfoClang.dll" \
    "$src/examples/info-c/InfoPlugin.c"
  built=2
fi
for f in "$plugins"/*.dll; do expect_c_runtime_only "$f"; done
out=$("$run" "$prefix/bin/qorb-ide.exe" --plugins "$plugins" --strict)
[[ $(grep -c '\] \[SuiteInfo\] \[Info\] Host: ' <<< "$out") == "$built" ]] \
  || { echo "not every C plug-in ran:"; echo "$out"; exit 1; }
rm -rf "$plugins"
