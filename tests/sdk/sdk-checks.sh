# Checks shared by the SDK scripts (sourced).

# Installs the build to a fresh prefix; the installer's output only when
# it fails.
# Usage: install_prefix <cmake> <build-dir> <prefix>
install_prefix() {
  local cmake=$1 build=$2 prefix=$3
  rm -rf "$prefix" "$prefix.moved"
  "$cmake" --install "$build" --prefix "$prefix" > "$prefix.install.log" 2>&1 || { cat "$prefix.install.log"; exit 1; }
  rm -f "$prefix.install.log"
}

# Usage: expect_files <prefix> <path under it>...
expect_files() {
  local prefix=$1 f
  shift
  for f in "$@"; do
    [[ -e $prefix/$f ]] || { echo "MISSING from the prefix: $f"; exit 1; }
  done
}

# How the scripts run the installed IDE (ide) and configure a project
# against the prefix (configure). With a toolchain file and a runner the SDK
# is a Windows one: projects are cross-built and qorb-ide.exe runs through
# the runner, on its own, without the build's bin/ on Wine's path.
# Usage: use_sdk <prefix> [<toolchain-file> <runner>]
use_sdk() {
  local prefix=$1 toolchain=${2:-} run=${3:-}
  ide=("$prefix/bin/qorb-ide")
  configure=("-DCMAKE_PREFIX_PATH=$prefix")
  if [[ -n $toolchain ]]; then
    ide=("$run" "$prefix/bin/qorb-ide.exe")
    # The toolchain confines package searches to the MinGW root: the
    # package folder itself is named.
    configure=("-DCMAKE_TOOLCHAIN_FILE=$toolchain" "-DQorb_DIR=$prefix/lib/cmake/Qorb")
    unset WINEPATH
  fi
}

# A C plug-in DLL needs the C runtime and nothing of its compiler's.
# Usage: expect_c_runtime_only <dll>
expect_c_runtime_only() {
  local imports
  imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | sort -f | tr '\n' ' ')
  [[ ${imports,,} == "kernel32.dll msvcrt.dll " ]] || { echo "$(basename "$1") imports $imports"; exit 1; }
}

# $out holds what the IDE printed.
expect() {
  [[ $out == *"$1"* ]] || { echo "MISSING: $1"; exit 1; }
}

# A file built against the installed SDK carries no path of this machine:
# its RUNPATH, if any, is only $ORIGIN, and no folder of the build or of the
# prefix appears in it.
# Usage: expect_relocatable <file> <folder>...
expect_relocatable() {
  local file=$1 dynamic
  shift
  dynamic=$(readelf -d "$file")
  if grep -q '(RPATH)' <<< "$dynamic"; then
    echo "$file: has an RPATH entry"; echo "$dynamic"; exit 1
  fi
  local runpath
  runpath=$(sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p' <<< "$dynamic")
  if [[ -n $runpath && $runpath != '$ORIGIN' ]]; then
    echo "$file: RUNPATH is [$runpath], not [\$ORIGIN]"; exit 1
  fi
  local folder
  for folder in "$@"; do
    if grep -qF "$folder" <<< "$dynamic"; then
      echo "$file: names $folder"; echo "$dynamic"; exit 1
    fi
  done
}
