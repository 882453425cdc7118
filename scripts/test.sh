#!/usr/bin/env bash
# Installs what a fresh machine lacks, builds, and runs every test: the unit and
# host-interface tests, the export checks, the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows cross-build
# with its export and import checks and a smoke test of the DLL under wine.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ binutils libgtest-dev libbenchmark-dev g++-mingw-w64-x86-64-posix wine64 wine)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

jobs=$(nproc)

echo "== build and test"
cmake -S . -B build/test -DUSERSUB_WERROR=ON >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -DUSERSUB_WERROR=ON -DUSERSUB_SANITIZE=ON -DUSERSUB_BENCH=OFF \
  -DUSERSUB_EXAMPLES=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize -j"$jobs" --output-on-failure

echo "== Windows cross-build, its exports and its imports"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DUSERSUB_WERROR=ON >/dev/null
cmake --build build/windows -j"$jobs"
tests/exports/check_windows_exports.sh src/exports/export_table.inc build/windows/usersub.dll
tests/exports/check_windows_imports.sh build/windows/usersub.dll

echo "== the DLL alone beside a host, under wine"
tests/exports/windows_smoke.sh build/windows/usersub.dll build/windows/windows_smoke_host.exe build/windows/wine

echo "== all tests passed"
