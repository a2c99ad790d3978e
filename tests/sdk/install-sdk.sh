#!/usr/bin/env bash
# Installs the build to a fresh prefix and checks what an author gets there:
# the layout, an IDE that runs from it, and a C plug-in built with
# pkg-config alone.
# Usage: install-sdk.sh <source-root> <build-dir> <prefix> <cmake>
set -euo pipefail
src=$1 build=$2 prefix=$3 cmake=$4
source "$(dirname "$0")/sdk-checks.sh"

install_prefix "$cmake" "$build" "$prefix"
expect_files "$prefix" bin/qorb-ide bin/Qorb_DelphiMain.bpl bin/DelphiMainProc.dll bin/Plugins/QorbHello.dll \
    lib/libqorbrtl.so lib/libqorbwin.so lib/libqorbvcl.so lib/libqorbtoolsapi.so lib/libqorbide.so \
    lib/libqorbotahelper.a lib/cmake/Qorb/QorbConfig.cmake lib/cmake/Qorb/QorbConfigVersion.cmake \
    lib/cmake/Qorb/QorbResources.cmake lib/pkgconfig/qorb.pc \
    include/qorb/qorb_plugin.h include/qorb/qorb_about.h include/qorb/sdk/Qorb.Plugin.Menu.h \
    include/qorb/rtl/InterfacedObject.h include/qorb/otahelper/Qorb.OTAHelper.Options.h
# The options-page base goes into plug-ins, which are unloaded: nothing in
# it may be a unique symbol (it would keep the plug-in mapped).
if [[ $(nm -C "$prefix/lib/libqorbotahelper.a") == *' u '* ]]; then
  echo "libqorbotahelper.a has unique symbols"; exit 1
fi
for f in qorb-ide Qorb_DelphiMain.bpl DelphiMainProc.dll; do
  [[ $(readelf -d "$prefix/bin/$f") == *'(RUNPATH)'*'[$ORIGIN/../lib]'* ]] || { echo "$f: RUNPATH is not \$ORIGIN/../lib"; exit 1; }
done

# The IDE runs from the prefix with its example plug-ins, wherever the
# prefix is.
mv "$prefix" "$prefix.moved"
out=$("$prefix.moved/bin/qorb-ide")
mv "$prefix.moved" "$prefix"
expect $'\n  Say Hello\n'
expect "] [Hello] [Info] Hello plug-in is ready"

# A C author without CMake.
cc=${CC:-cc}
plugin=$prefix.c-plugin
mkdir -p "$plugin"
"$cc" -std=c11 -Wall -Wextra -Werror -shared -fPIC -fvisibility=hidden \
  $(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags qorb) \
  -o "$plugin/Info.dll" "$src/examples/info-c/InfoPlugin.c"
[[ $(nm -D --defined-only "$plugin/Info.dll") == *' T InitPlugin'*' T Shutdown'* ]] || { echo "Info.dll: exports missing"; exit 1; }
rm -rf "$plugin"
