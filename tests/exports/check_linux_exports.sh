#!/usr/bin/env bash
# The Linux library exports exactly the names of the export table.
# usage: check_linux_exports.sh export_table.inc libusersub.so
set -euo pipefail
table=$1 lib=$2
expected=$(sed -n 's/^USERSUB_ENTRY(\([A-Za-z0-9_]*\), *[0-9]*).*/\1/p' "$table" | sort)
actual=$(nm -D --defined-only "$lib" | awk '{print $3}' | sort)
if [ "$expected" != "$actual" ]; then
  echo "exported names differ from the export table:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$(echo "$expected" | wc -l) names exported, as in the table"
