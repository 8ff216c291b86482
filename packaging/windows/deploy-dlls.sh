#!/usr/bin/env bash
# Copies into FOLDER every DLL that its executables and DLLs import, and those DLLs' own imports,
# from the given search folders (the first that has it). DLLs found in none are Windows' own.
#   deploy-dlls.sh FOLDER SEARCH_FOLDER...
set -euo pipefail
folder=$1
shift
objdump=x86_64-w64-mingw32-objdump

imports() { "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'; }

declare -A seen=()
queue=()
while IFS= read -r -d '' f; do queue+=("$f"); done < <(find "$folder" \( -name '*.exe' -o -name '*.dll' \) -print0)
while [ ${#queue[@]} -gt 0 ]; do
  f=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS= read -r dll; do
    key=${dll,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    [ -e "$folder/$dll" ] && continue
    for dir in "$@"; do
      if [ -e "$dir/$dll" ]; then
        cp "$dir/$dll" "$folder/$dll"
        queue+=("$folder/$dll")
        break
      fi
    done
  done < <(imports "$f")
done
