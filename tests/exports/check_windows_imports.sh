#!/usr/bin/env bash
# The Windows DLL imports nothing but Windows' own DLLs: a plain Windows machine
# has no compiler runtime to load beside it.
# usage: check_windows_imports.sh usersub.dll
set -euo pipefail
dll=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
imports=$("$objdump" -p "$dll" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table read from $dll"; exit 1; }
bad=0
while read -r name; do
  case "${name,,}" in
    kernel32.dll | msvcrt.dll | ntdll.dll | user32.dll | advapi32.dll | ws2_32.dll | shell32.dll | \
      ole32.dll | oleaut32.dll | gdi32.dll | bcrypt.dll | ucrtbase.dll | api-ms-win-*.dll) ;;
    *) echo "imports a DLL that is not part of Windows: $name"; bad=1 ;;
  esac
done <<<"$imports"
[ "$bad" = 0 ] && echo "imports only Windows' DLLs:" $imports
exit "$bad"
