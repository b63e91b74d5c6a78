#!/usr/bin/env bash
# Builds the Windows smoke program against the cross-built libraries and runs
# it under Wine on a private Xvfb, in a throw-away Wine prefix.
# Usage: tests/windows_smoke/run.sh [build-dir]   (default: build-windows-smoke)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=${1:-$root/build-windows-smoke}
triple=x86_64-w64-mingw32

prefix=$(bash scripts/build-windows-deps.sh)
for p in xvfb xauth; do
  dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed ||
    { echo "$p is missing: apt-get install xvfb xauth" >&2; exit 1; }
done

# --fresh: a build directory remembers where it found each library, and a
# new prefix (new versions, or a changed deps script) must replace them all.
cmake --fresh -S tests/windows_smoke -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DWAVENDELL_WINDOWS_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j2
exe=$build/windows_smoke.exe

# The program must run on its own: only Windows' DLLs, none of MinGW's
# (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) and none of ours.
echo "DLLs imported by $(basename "$exe"):"
allowed='^(kernel32|user32|gdi32|opengl32|glu32|msvcrt|advapi32|shell32|ole32)\.dll$'
bad=0
while read -r dll; do
  echo "  $dll"
  echo "$dll" | tr '[:upper:]' '[:lower:]' | grep -Eq "$allowed" || bad=1
done < <("$triple-objdump" -p "$exe" | sed -n 's/.*DLL Name: //p')
if [ "$bad" -ne 0 ]; then
  echo "$(basename "$exe") needs DLLs that are not part of Windows" >&2
  exit 1
fi

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
  # wineserver would otherwise linger for a few seconds after the run.
  WINEPREFIX=$tmp/wine timeout 20 wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$n" ] && break
  kill "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "could not start Xvfb" >&2; exit 1; }

export DISPLAY=:$n WINEPREFIX=$tmp/wine WINEDEBUG=-all
# No Mono or Gecko in the prefix: nothing here needs .NET or HTML, and
# without the override wineboot stops to offer installing them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine keeps its prefix under HOME unless told; CI's HOME may be anything.
export HOME=${HOME:-$tmp}
# Debian's "wine" runs /usr/lib/wine/wine64 when there is no 32-bit Wine
# (there is no wine64 command on the path); WINEDEBUG=-all also quiets its
# advice to install wine32.
start=$SECONDS
timeout 120 wine wineboot --init
echo "Wine prefix made in $((SECONDS - start)) s"
timeout 120 wine "$exe" --gtest_color=no
