#!/usr/bin/env bash
# The saver's pace on both systems, each on a private Xvfb: bench/pacing_bench
# of the Linux build, and the same program built for Windows under Wine in
# a throw-away prefix.  Each prints frames a second against the design's
# 90.9.
#   bash bench/pacing.sh [LINUX-BUILD] [WINDOWS-BUILD] [SECONDS]
# (defaults: build, build-windows, 10).  A missing build is left out.
set -u
cd "$(dirname "$0")/.."
linux=${1:-build}
windows=${2:-build-windows}
seconds=${3:-10}
source scripts/xvfb.sh
tmp=$(mktemp -d)
cleanup() {
  WINEPREFIX=$tmp/wine timeout 20 wineserver -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT
start_xvfb || exit 1
export DISPLAY=$DISPLAY_STARTED
# A copy of the show: the saver writes its options file.
cp -r data "$tmp/data"

if [ -x "$linux/pacing_bench" ]; then
  echo "== Linux =="
  "$linux/pacing_bench" --data "$tmp/data/" --seconds "$seconds" 2>&1 | grep -v "^Ready for"
fi
if [ -f "$windows/pacing_bench.exe" ] && command -v wine >/dev/null; then
  echo "== Windows, under Wine =="
  export WINEPREFIX=$tmp/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  timeout 120 wine wineboot --init >/dev/null 2>&1
  data="Z:$tmp/data/"
  timeout $((seconds + 60)) wine "$windows/pacing_bench.exe" --data "${data//\//\\}" \
    --seconds "$seconds" 2>&1 | grep -v "^Ready for"
fi
