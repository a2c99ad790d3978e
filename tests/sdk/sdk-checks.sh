# Checks shared by the SDK scripts (sourced).

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
