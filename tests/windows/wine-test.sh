#!/usr/bin/env bash
# The Windows build under Wine on a private Xvfb, all in one throw-away Wine
# prefix:
#  1. the unit tests built for Windows;
#  2. wavendell.scr with its key set by "wine reg add": its manifest declares
#     per-monitor DPI awareness; /s covers the screen with the show at 200%
#     scaling and ends on a key; /c, /c:HWND and an empty command line
#     end at once; /p HWND draws in a window of our test host and ends when
#     that window is destroyed; with only the user's key the saver still
#     plays, after its "Error" boxes; with no key at all it shows both boxes;
#  3. the installer: a silent install writes the key and the files, the
#     installed saver plays, a silent uninstall takes away exactly what the
#     install added; installed again over a custom folder it upgrades
#     in place; of two installations, each uninstaller takes only its own
#     files and leaves the user's.
# Message boxes are modal on Windows: tests/windows/wine_helper.exe finds
# them, prints their caption and text and presses OK; every wait has a
# timeout.
# Usage: tests/windows/wine-test.sh WINDOWS-BUILD-DIR SCREEN-PROBE
#   WINDOWS-BUILD-DIR as made by scripts/build-windows.sh; SCREEN-PROBE the
#   Linux build's tools/screen_probe, which looks at the X screen.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=$(cd "$1" && pwd)
probe=$2
source scripts/xvfb.sh

scr=$build/wavendell.scr
helper=$build/wine_helper.exe
setup=$build/wavendell-setup.exe
for f in "$scr" "$helper" "$setup" "$build/unit_tests.exe" "$probe"; do
  [ -f "$f" ] || { echo "wine test: $f is missing" >&2; exit 1; }
done

tmp=$(mktemp -d /tmp/wavendell-wine-test.XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]+"${pids[@]}"}"; do kill "$pid" 2>/dev/null || true; done
  # wineserver ends every process of the prefix; it would linger otherwise.
  WINEPREFIX=$tmp/wine timeout 20 wineserver -k 2>/dev/null || true
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "wine test FAILED: $*" >&2
  for f in "$tmp"/*.log; do
    [ -s "$f" ] && { echo "--- $(basename "$f")" >&2; tail -n 20 "$f" >&2; }
  done
  exit 1
}


# Waits up to $2 seconds for process $1 to end; its status is in $status.
wait_end() {
  local pid=$1 seconds=$2
  wait_for $((seconds * 10)) sh -c "! kill -0 $pid 2>/dev/null" || return 1
  status=0
  wait "$pid" || status=$?
  return 0
}

# A command that fails outside a check names its line instead of ending the
# test without a word.
trap 'fail "line $LINENO: a command failed unexpectedly"' ERR

start_xvfb || fail "could not start Xvfb"
export DISPLAY=$DISPLAY_STARTED WINEPREFIX=$tmp/wine WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and wineboot would stop to
# offer them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export HOME=${HOME:-$tmp}

start=$SECONDS
timeout 120 wine wineboot --init >"$tmp/wineboot.log" 2>&1 || fail "wineboot failed"
[ "$(readlink "$WINEPREFIX/dosdevices/z:")" = / ] || fail "the prefix has no drive Z: for /"
# The Windows name of a path of ours, through drive Z:, as winepath -w names
# it, without starting a Wine process.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
echo "Wine prefix made in $((SECONDS - start)) s"

echo "== unit tests under Wine =="
start=$SECONDS
timeout 600 wine "$build/unit_tests.exe" --gtest_brief=1 --gtest_color=no >"$tmp/unit.log" 2>&1 ||
  { cat "$tmp/unit.log"; fail "unit tests under Wine"; }
grep -E '^(attempt|motion-blur|WGL_EXT|[0-9]+ pixel formats)' "$tmp/unit.log" || true
grep -E '^\[  (PASSED|SKIPPED) ' "$tmp/unit.log"
echo "unit tests passed ($((SECONDS - start)) s)"

key='Software\CorvelScreenSavers\FreeWavendell'
reg() { timeout 60 wine reg "$@" >>"$tmp/reg.log" 2>&1; }
# An installation of our own: the saver rewrites its options file there.
mkdir -p "$tmp/install"
cp -r "$root/data" "$tmp/install/"
install_dir=$(windows_path "$tmp/install")
reg add "HKLM\\$key" /v Dir /d "$install_dir" /f || fail "wine reg add"

boxes_expected() {  # COUNT: starts the finder of message boxes
  timeout 120 wine "$helper" boxes "$1" 90 >"$tmp/boxes.txt" 2>"$tmp/boxes.log" &
  boxes_pid=$!
  pids+=("$boxes_pid")
}
boxes_seen() {  # "CAPTION: TEXT"...: the boxes the finder dismissed, in order
  local expected
  expected=$(printf '%s\n' "$@")
  # A finder that has named every box it was to find has done its part,
  # even where Wine is slow to let its process end.
  if ! wait_end "$boxes_pid" 100 || [ "$status" -ne 0 ]; then
    [ "$(tr -d '\r' <"$tmp/boxes.txt")" = "$expected" ] ||
      fail "expected $# boxes, saw: $(tr -d '\r' <"$tmp/boxes.txt")"
  fi
  [ "$(tr -d '\r' <"$tmp/boxes.txt")" = "$expected" ] ||
    fail "boxes: $(tr -d '\r' <"$tmp/boxes.txt")"
}
machine_box="Error: HKEY_LOCAL_MACHINE Registry not found! Please reinstall Corvel Vivaruzov Screen Saver"
user_box="Error: Registry not found! Please reinstall Corvel Vivaruzov Screen Saver"

echo "== the manifest: per-monitor DPI awareness, common controls 6 =="
timeout 60 wine "$helper" manifest "$(windows_path "$scr")" >"$tmp/manifest.txt" 2>&1 ||
  fail "no manifest in the .scr: $(cat "$tmp/manifest.txt")"
tr -d '\r' <"$tmp/manifest.txt"
tr -d '\r' <"$tmp/manifest.txt" | grep -qx 'dpiAwareness: PerMonitorV2, PerMonitor' ||
  fail "the manifest declares no per-monitor awareness"
tr -d '\r' <"$tmp/manifest.txt" | grep -qx 'dpiAware: true/pm' || fail "no dpiAware fallback"
tr -d '\r' <"$tmp/manifest.txt" | grep -qi '^common controls: .*common-controls.*_6\.0\.' ||
  fail "the manifest does not bring in common controls 6"

echo "== /s at 200% scaling: full screen, ends on a key =="
start=$SECONDS
# 192 dots an inch; with DpiScalingVer set Wine scales programs that are not
# DPI-aware, as Windows does, instead of treating every one as aware.
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f || fail "wine reg add"
reg add 'HKCU\Control Panel\Desktop' /v DpiScalingVer /t REG_DWORD /d 0x1018 /f ||
  fail "wine reg add"
timeout 180 wine "$scr" /s >"$tmp/saver.log" 2>&1 &
saver=$!
pids+=("$saver")
"$probe" watch root 90 >"$tmp/probe.txt" || fail "/s: no show on the screen"
cat "$tmp/probe.txt"
# The saver's window covers the screen; with one monitor there is no
# other window (Wine's input method window aside) to cover another.
xwininfo -root -tree | grep -F '("wavendell.scr" "wavendell.scr")' |
  grep -v '"Default IME"' >"$tmp/windows.txt" || true
grep -q " 1280x1024+0+0 " "$tmp/windows.txt" || fail "/s: no window covering the screen"
[ "$(wc -l <"$tmp/windows.txt")" -eq 1 ] || fail "/s: more windows than one: $(cat "$tmp/windows.txt")"
xdotool key space
wait_end "$saver" 20 || fail "/s: a key did not end the saver"
[ "$status" -eq 0 ] || fail "/s ended with status $status"
echo "/s shows the show and ends on a key ($((SECONDS - start)) s)"
reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f || fail "wine reg delete"
reg delete 'HKCU\Control Panel\Desktop' /v DpiScalingVer /f || fail "wine reg delete"

echo "== /c, /c:HWND and no switch: configuration, ends at once =="
for args in /c /c:65810 ""; do
  start=$SECONDS
  timeout 30 wine "$scr" $args >"$tmp/configure.log" 2>&1 || fail "'$args' did not end at once"
  echo "'$args' ended in $((SECONDS - start)) s"
done

# The preview host: prints the handle of its window (400 x 300 client
# area), destroys it once the close file exists.
host_pid=
start_host() {
  rm -f "$tmp/close" "$tmp/host.txt"
  timeout 180 wine "$helper" host "$(windows_path "$tmp")\\close" >"$tmp/host.txt" 2>"$tmp/host.log" &
  host_pid=$!
  pids+=("$host_pid")
  wait_for 300 grep -qs '^[0-9]' "$tmp/host.txt" || fail "the preview host shows no window"
  host_hwnd=$(head -n 1 "$tmp/host.txt" | tr -d '\r')
}
# Wine draws a GL child window into an X window of its own (its "client
# window"), kept outside the parent's X window; on Xvfb it does not copy
# that picture into the parent's X window, so the check reads the child's
# own: the one X window of the host's client size at the origin of its X
# parent.
preview_xid() {
  xwininfo -root -tree | awk '$0 ~ / 400x300[+]0[+]0 / { print $1 }' >"$tmp/preview-xid.txt"
  [ "$(wc -l <"$tmp/preview-xid.txt")" -eq 1 ]
}
# Runs the saver $1 as a preview in the host and checks the show in its
# window and that destroying the host's window ends the saver.
preview_in_host() {
  local program=$1 what=$2
  timeout 180 wine "$program" /p "$host_hwnd" >"$tmp/preview.log" 2>&1 &
  local saver=$!
  pids+=("$saver")
  wait_for 600 preview_xid || fail "$what: no preview window in the host"
  "$probe" watch "$(cat "$tmp/preview-xid.txt")" 90 >"$tmp/probe.txt" ||
    fail "$what: no show in the preview window"
  cat "$tmp/probe.txt"
  touch "$tmp/close"
  wait_end "$saver" 30 || fail "$what: the saver did not end with its parent window"
  [ "$status" -eq 0 ] || fail "$what: the saver ended with status $status"
  wait_end "$host_pid" 20 || fail "the preview host did not end"
}

echo "== /p HWND: preview in the test host's window =="
start=$SECONDS
start_host
preview_in_host "$scr" "/p $host_hwnd"
echo "/p draws in the host and ends with its window ($((SECONDS - start)) s)"

echo "== only the user's key =="
start=$SECONDS
reg delete "HKLM\\$key" /f || fail "wine reg delete"
reg add "HKCU\\$key" /v Dir /d "$install_dir" /f || fail "wine reg add"
start_host
# One box as the program starts, one as its window is made.
boxes_expected 2
preview_in_host "$scr" "the user's key"
boxes_seen "$machine_box" "$machine_box"
echo "the user's key is used after the machine's is missing ($((SECONDS - start)) s)"

echo "== no key at all =="
start=$SECONDS
reg delete "HKCU\\$key" /f || fail "wine reg delete"
# Both boxes, then the options file's: without a data folder it is read
# from nowhere (and nothing is written anywhere), so the box names the file
# alone.
boxes_expected 3
(cd "$WINEPREFIX/drive_c" && timeout 120 wine "$scr" /c) >"$tmp/nokey.log" 2>&1 ||
  fail "without a key the saver did not end"
boxes_seen "$machine_box" "$user_box" 'options.xml: Error opening file for reading'
[ ! -e "$WINEPREFIX/drive_c/options.xml" ] || fail "an options file was written at C:\\"
echo "both boxes shown and dismissed ($((SECONDS - start)) s)"

echo "== installer =="
start=$SECONDS
# A machine that never had the saver.
reg delete 'HKLM\Software\CorvelScreenSavers' /f || true
reg delete 'HKCU\Software\CorvelScreenSavers' /f || true
drive=$WINEPREFIX/drive_c
# Wine's own scratch and state files change on their own.
listing() { (cd "$drive" && find . -path ./users -prune -o -path ./windows/temp -prune -o -print | sort); }
listing >"$tmp/before.txt"
timeout 180 wine "$setup" /S >"$tmp/setup.log" 2>&1 || fail "the silent install failed"
installed="$drive/Program Files/Wavendell fountains"
cmp -s "$scr" "$drive/windows/system32/wavendell.scr" || fail "the .scr is not in System32"
diff -r "$root/data" "$installed/data" >"$tmp/data-diff.log" 2>&1 || fail "the installed show differs"
[ -f "$installed/uninstall.exe" ] || fail "no uninstaller"
timeout 60 wine reg query "HKLM\\$key" /v Dir >"$tmp/query.txt" 2>&1 || fail "the installer wrote no key"
grep -qF 'C:\Program Files\Wavendell fountains' "$tmp/query.txt" || fail "Dir: $(cat "$tmp/query.txt")"
echo "installed in $((SECONDS - start)) s"

start=$SECONDS
start_host
preview_in_host 'C:\windows\system32\wavendell.scr' "the installed saver"
echo "the installed saver plays the show ($((SECONDS - start)) s)"

start=$SECONDS
timeout 60 wine "C:\\Program Files\\Wavendell fountains\\uninstall.exe" /S >"$tmp/uninstall.log" 2>&1 ||
  fail "the silent uninstall failed"
# The uninstaller runs from a copy of itself and returns at once.
wait_for 600 test ! -e "$installed" || fail "the uninstaller left $installed"
listing >"$tmp/after.txt"
diff "$tmp/before.txt" "$tmp/after.txt" >"$tmp/listing-diff.log" ||
  fail "the uninstall left other files than before: $(head -n 20 "$tmp/listing-diff.log")"
if timeout 60 wine reg query 'HKLM\Software\CorvelScreenSavers' >/dev/null 2>&1; then
  fail "the uninstall left the registry key"
fi
if timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\WavendellFountains' \
     >/dev/null 2>&1; then
  fail "the uninstall left its entry in the programs list"
fi
echo "uninstalled, nothing left ($((SECONDS - start)) s)"

echo "== installed twice, the first time in a folder outside the code page =="
start=$SECONDS
# Named in UTF-8 here, in UTF-16 to Windows; without a space, which Wine
# would quote and the installer's /D does not take.
custom_name=$'Fountains-\xe5\x99\xb4\xe6\xb0\xb4'
custom="$drive/$custom_name"
LC_ALL=C.UTF-8 timeout 180 wine "$setup" /S "/D=C:\\$custom_name" >"$tmp/setup1.log" 2>&1 ||
  fail "the install into C:\\$custom_name failed"
[ -f "$custom/uninstall.exe" ] || fail "the first install is not in C:\\$custom_name"
timeout 180 wine "$setup" /S >"$tmp/setup2.log" 2>&1 || fail "the second install failed"
[ ! -e "$installed" ] || fail "the second install went to Program Files, not over the first"
diff -r "$root/data" "$custom/data" >"$tmp/data-diff.log" 2>&1 || fail "the upgraded show differs"
start_host
preview_in_host 'C:\windows\system32\wavendell.scr' "the saver installed in C:\\$custom_name"
LC_ALL=C.UTF-8 timeout 60 wine "C:\\$custom_name\\uninstall.exe" /S >"$tmp/uninstall2.log" 2>&1 ||
  fail "the second silent uninstall failed"
wait_for 600 test ! -e "$custom" || fail "the uninstaller left $custom"
listing >"$tmp/after2.txt"
diff "$tmp/before.txt" "$tmp/after2.txt" >"$tmp/listing-diff.log" ||
  fail "the second uninstall left other files than before: $(head -n 20 "$tmp/listing-diff.log")"
if timeout 60 wine reg query 'HKLM\Software\CorvelScreenSavers' >/dev/null 2>&1; then
  fail "the second uninstall left the registry key"
fi
echo "upgraded in place, played from a folder outside the code page, uninstalled ($((SECONDS - start)) s)"

echo "== two installations: each uninstaller takes only its own =="
start=$SECONDS
timeout 180 wine "$setup" /S '/D=C:\Fountains-A' >"$tmp/setupA.log" 2>&1 || fail "the install into A failed"
timeout 180 wine "$setup" /S '/D=C:\Fountains-B' >"$tmp/setupB.log" 2>&1 || fail "the install into B failed"
[ -f "$drive/Fountains-A/uninstall.exe" ] && [ -f "$drive/Fountains-B/uninstall.exe" ] ||
  fail "not installed in both A and B"
# A file of the user's own in the newer installation's show.
echo "my notes" >"$drive/Fountains-B/data/my-notes.txt"
timeout 60 wine 'C:\Fountains-A\uninstall.exe' /S >"$tmp/uninstallA.log" 2>&1 || fail "A's uninstall failed"
wait_for 600 test ! -e "$drive/Fountains-A" || fail "A's uninstaller left its folder"
cmp -s "$scr" "$drive/windows/system32/wavendell.scr" || fail "A's uninstaller took B's saver"
timeout 60 wine reg query "HKLM\\$key" /v Dir >"$tmp/query.txt" 2>&1 || fail "A's uninstaller took B's key"
grep -qF 'C:\Fountains-B' "$tmp/query.txt" || fail "Dir after A's uninstall: $(cat "$tmp/query.txt")"
timeout 60 wine 'C:\Fountains-B\uninstall.exe' /S >"$tmp/uninstallB.log" 2>&1 || fail "B's uninstall failed"
wait_for 600 test ! -e "$drive/Fountains-B/uninstall.exe" || fail "B's uninstaller left itself"
listing >"$tmp/after3.txt"
diff "$tmp/before.txt" "$tmp/after3.txt" | sed -n 's/^> //p' >"$tmp/left.txt" || true
printf '%s\n' ./Fountains-B ./Fountains-B/data ./Fountains-B/data/my-notes.txt | diff - "$tmp/left.txt" ||
  fail "after both uninstalls more or less is left than the user's own file"
if timeout 60 wine reg query 'HKLM\Software\CorvelScreenSavers' >/dev/null 2>&1; then
  fail "B's uninstall left the registry key"
fi
echo "A's uninstaller left B's saver and key; B's left only the user's file ($((SECONDS - start)) s)"

echo "wine test passed"
