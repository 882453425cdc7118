#!/usr/bin/env bash
# The Windows DLL exports every name of the export table twice: NAME and
# _NAME@<4 x words>.
# usage: check_windows_exports.sh export_table.inc usersub.dll
set -euo pipefail
table=$1 dll=$2
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
exports=$("$objdump" -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/{on=1; next} on && NF==0{on=0} on{print $NF}' | sort)
missing=0
while read -r name words; do
  for want in "$name" "_${name}@$((4 * words))"; do
    if ! grep -qxF "$want" <<<"$exports"; then
      echo "missing export: $want"
      missing=1
    fi
  done
done < <(sed -n 's/^USERSUB_ENTRY(\([A-Za-z0-9_]*\), *\([0-9]*\)).*/\1 \2/p' "$table")
[ "$missing" = 0 ] && echo "$(wc -l <<<"$exports") names exported by the DLL, both forms of every row"
exit "$missing"
