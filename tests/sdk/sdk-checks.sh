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
