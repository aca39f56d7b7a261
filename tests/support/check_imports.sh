#!/usr/bin/env bash
# check_imports.sh OBJDUMP FOLDER: fails when a .exe or .dll in FOLDER imports
# a DLL of the compiler's run-time instead of carrying it statically.
set -u
objdump=$1
folder=$2
status=0
checked=0
for file in "$folder"/*.exe "$folder"/*.dll; do
  [ -e "$file" ] || continue
  checked=$((checked + 1))
  imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  bad=$(printf '%s\n' "$imports" | grep -i -E '^(libstdc\+\+|libgcc|libwinpthread|zlib1|libz)' || true)
  if [ -n "$bad" ]; then
    echo "$(basename "$file") needs: $bad"
    status=1
  fi
done
if [ "$checked" -eq 0 ]; then
  echo "no programs found in $folder"
  exit 1
fi
echo "$checked files checked"
exit $status
