#!/usr/bin/env bash
# Loads usersub.dll under wine from a folder that holds only the DLL and a small
# host, as on a Windows machine without a compiler runtime, and calls it through
# GetProcAddress (tests/exports/windows_smoke_host.c). The wine prefix is the
# test's own, under the build folder; its server is stopped at the end.
# usage: windows_smoke.sh usersub.dll windows_smoke_host.exe work_dir
set -euo pipefail
dll=$(realpath "$1") host=$(realpath "$2") work=$3
mkdir -p "$work"
work=$(realpath "$work")

wine=$(command -v wine || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
server=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
trap '"$server" -k >/dev/null 2>&1 || true' EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  start=$(date +%s)
  timeout 600 "$wine" wineboot -i >/dev/null 2>&1
  timeout 300 "$server" -w
  echo "new wine prefix in $(($(date +%s) - start)) s"
fi

run=$work/run
rm -rf "$run" && mkdir -p "$run"
cp "$dll" "$run/usersub.dll"
cp "$host" "$run/host.exe"
cd "$run"

failed=0
status=0
out=$(timeout 120 "$wine" host.exe calls 2>/dev/null | tr -d '\r') || status=$?
echo "$out"
if [ "$status" != 0 ] || grep -q '^FAIL' <<<"$out" || ! grep -q '^ok SPECIES_INDEX of CH4 is 3$' <<<"$out"; then
  echo "FAIL calls through GetProcAddress: exit status $status"
  failed=1
fi

status=0
out=$(timeout 120 "$wine" host.exe fatal 2>/dev/null | tr -d '\r') || status=$?
echo "$out"
want=$'sized once\n Allocation error: USER_MODEL_TABLE is already allocated'
if [ "$status" != 1 ] || [ "$out" != "$want" ]; then
  echo "FAIL the fatal path must write its message and end with status 1, not $status"
  failed=1
fi

[ "$failed" = 0 ] && echo "usersub.dll loads alone and answers under wine"
exit "$failed"
