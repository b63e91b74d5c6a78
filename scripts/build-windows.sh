#!/usr/bin/env bash
# Builds the Windows saver from these sources with the MinGW-w64 cross
# compilers: wavendell.scr, the installer wavendell-setup.exe, and (unless
# WAVENDELL_TESTS=OFF is given) the unit tests and the helper the Wine tests
# drive.  The libraries come from scripts/build-windows-deps.sh (cached).
# Prints the paths of the .scr and the installer last.
# Usage: scripts/build-windows.sh [build directory] [cmake options...]
#        (default build directory: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dir=${1:-$root/build-windows}
shift || true

prefix=$(bash scripts/build-windows-deps.sh)

# A build directory remembers where it found each library: a new prefix
# (new versions, or a changed deps script) must replace them all.
fresh=()
if [ -f "$dir/CMakeCache.txt" ] &&
   ! grep -qxF "WAVENDELL_WINDOWS_PREFIX:PATH=$prefix" "$dir/CMakeCache.txt"; then
  fresh=(--fresh)
fi
cmake "${fresh[@]}" -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DWAVENDELL_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DWAVENDELL_WINDOWS_PREFIX="$prefix" "$@" >/dev/null
# The build machines are shared: never more than two jobs.
jobs=$(nproc 2>/dev/null || echo 1)
if [ "$jobs" -gt 2 ]; then jobs=2; fi
cmake --build "$dir" -j"$jobs" >&2

echo "$dir/wavendell.scr"
echo "$dir/wavendell-setup.exe"
