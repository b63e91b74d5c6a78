#!/usr/bin/env bash
# The Debian package and XScreenSaver, on this machine (needs root):
#  1. builds the package, checks it with lintian (no errors) and installs it;
#  2. the installed saver, run by an unprivileged user, plays the show in a
#     window it is given, finding its data through /etc/xdg, and leaves the
#     installed (read-only) data as it was;
#  3. the installed wavendell-check, run by that user, finds the installed
#     show clean;
#  4. wavendell-register, on that user's new account (no ~/.xscreensaver),
#     writes the settings from XScreenSaver's defaults with our entry; a
#     real XScreenSaver daemon reads them and shows the fountains when told
#     to run our entry; wavendell-register --remove takes the entry out and
#     leaves every other line as it was;
#  5. a real XScreenSaver daemon, run by that user with settings made by
#     wavendell-register, shows the fountains full screen on activation and
#     ends the saver on deactivation; a second entry, whose show folder
#     XScreenSaver's line wrapping broke, plays that folder when selected,
#     and the first saver ends by the daemon's SIGTERM;
#  6. the screensaver desktop entry passes desktop-file-validate, and MATE's
#     screen saver finds it: its preferences dialog lists and previews the
#     fountains, and the screen saver shows them full screen;
#  7. after the package is purged, an installation under another prefix
#     finds its data through that prefix's etc/xdg.
# Afterwards the package is purged and the test user removed.
# Usage: scripts/package-test.sh [build directory]   (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-$root/build-package}

if [ "$(id -u)" -ne 0 ]; then
  echo "package test SKIPPED: it needs root (installs the package, makes a test user)"
  exit 0
fi
if dpkg-query -W -f='${Status}' wavendell 2>/dev/null | grep -q "ok installed"; then
  echo "package test SKIPPED: wavendell is already installed here and would be replaced;" \
       "remove it first (dpkg -P wavendell)"
  exit 0
fi

bash scripts/install-deps.sh package-test

source scripts/xvfb.sh
user=wavendell-test
tmp=$(mktemp -d /tmp/wavendell-package-test.XXXXXX)
chmod 755 "$tmp"
home=$tmp/home
pids=()

fail() {
  echo "package test FAILED: $*" >&2
  id "$user" >/dev/null 2>&1 && ps -o pid,ppid,stat,etime,args -u "$user" >&2 || true
  for f in "$tmp"/*.log; do
    [ -s "$f" ] && { echo "--- $f" >&2; tail -n 40 "$f" >&2; }
  done
  exit 1
}

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  if id "$user" >/dev/null 2>&1; then
    # The daemon and the saver started as the test user.
    pkill -TERM -u "$user" 2>/dev/null || true
    sleep 0.5
    pkill -KILL -u "$user" 2>/dev/null || true
    userdel "$user" 2>/dev/null || true
  fi
  stop_xvfb
  if dpkg-query -W -f='${Status}' wavendell 2>/dev/null | grep -q "ok installed"; then
    dpkg -P wavendell >/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

# The command prefix that runs a command as the test user with a plain
# environment, without a process of its own (so that $! of a background run
# is the command itself); set once the display is known.
as_user_cmd=()
as_user() { "${as_user_cmd[@]}" "$@"; }


echo "== package =="
start=$SECONDS
deb=$(bash scripts/package.sh "$build")
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target screen_probe >/dev/null
# The test user runs the probe: copy it out of the checkout, which that user
# may not be able to enter (a clone in a folder made by mktemp -d is 0700).
install -m 755 "$build/screen_probe" "$tmp/screen_probe"
probe=$tmp/screen_probe
echo "built $deb in $((SECONDS - start)) s"

start=$SECONDS
lintian --fail-on error --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1 ||
  fail "lintian reports errors: $(grep '^E:' "$tmp/lintian.log" | head -n 20)"
echo "lintian: no errors, $(grep -c '^W:' "$tmp/lintian.log" || true) warnings ($((SECONDS - start)) s)"
sed -n 's/^W: /  warning: /p' "$tmp/lintian.log"

start=$SECONDS
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 ||
  fail "the package does not install"
for f in /usr/libexec/xscreensaver/wavendell /usr/bin/wavendell-register \
         /usr/share/wavendell/data/defaultScenario.xml /usr/share/xscreensaver/config/wavendell.xml \
         /usr/share/man/man6/wavendell.6.gz /usr/share/man/man1/wavendell-register.1.gz \
         /usr/bin/wavendell-check /usr/share/man/man1/wavendell-check.1.gz \
         /usr/share/doc/wavendell/making-a-show.md \
         /usr/share/applications/screensavers/wavendell.desktop; do
  [ -f "$f" ] || fail "$f is not installed"
done
[ "$(cat /etc/xdg/CorvelScreenSavers/FreeWavendell)" = "Dir=/usr/share/wavendell" ] ||
  fail "/etc/xdg/CorvelScreenSavers/FreeWavendell does not name /usr/share/wavendell"
dpkg-query --control-show wavendell conffiles | grep -qx /etc/xdg/CorvelScreenSavers/FreeWavendell ||
  fail "the settings file is not a configuration file of the package"
echo "installed in $((SECONDS - start)) s"

# The test user and a private X server that the user may connect to.
userdel "$user" 2>/dev/null || true
useradd --system --no-create-home --home-dir "$home" --shell /bin/sh --user-group "$user"
mkdir -p "$home"
chown "$user:" "$home"
# -ac: the test user may connect.
start_xvfb -ac -br || fail "could not start Xvfb"
display=$DISPLAY_STARTED
as_user_cmd=(setpriv --reuid="$user" --regid="$user" --init-groups
             env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/sh
             PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$display")

# Plays the installed program $1 in a window of its own and checks the show.
play_in_window() {
  local program=$1 what=$2
  "${as_user_cmd[@]}" "$probe" window 640 400 >"$tmp/window.txt" 2>"$tmp/window.log" &
  local window_pid=$!
  pids+=("$window_pid")
  wait_for 100 grep -q '^0x' "$tmp/window.txt" || fail "no window for the saver"
  local id
  id=$(head -n 1 "$tmp/window.txt")
  "${as_user_cmd[@]}" "$program" --window-id "$id" >"$tmp/saver-out.log" 2>"$tmp/saver.log" &
  local saver_pid=$!
  pids+=("$saver_pid")
  as_user "$probe" watch "$id" 90 || fail "$what: no fountains in the window"
  kill -TERM "$saver_pid"
  local status=0
  wait "$saver_pid" || status=$?
  # A hack ends by the signal that stops it: 128 + SIGTERM.
  [ "$status" -eq 143 ] || fail "$what: the saver ended with status $status, not by SIGTERM"
  [ ! -s "$tmp/saver.log" ] || fail "$what: the saver complained"
  kill "$window_pid" 2>/dev/null || true
  wait "$window_pid" 2>/dev/null || true
}

echo "== the installed saver in a given window =="
start=$SECONDS
play_in_window /usr/libexec/xscreensaver/wavendell "installed saver"
# The data folder is not the user's to write: the options file is left as
# installed, without a temporary file beside it.
dpkg -V wavendell >"$tmp/verify.log" 2>&1 && [ ! -s "$tmp/verify.log" ] ||
  fail "the installed files changed"
leftovers=$(find /usr/share/wavendell/data -maxdepth 1 -name 'options.xml?*')
[ -z "$leftovers" ] || fail "files were left beside options.xml: $leftovers"
echo "the installed saver plays the show ($((SECONDS - start)) s)"

echo "== the installed checker on the installed show =="
start=$SECONDS
as_user /usr/bin/wavendell-check /usr/share/wavendell/data >"$tmp/check.log" 2>&1 ||
  fail "wavendell-check does not find the installed show clean: $(tail -n 5 "$tmp/check.log")"
grep -qx "/usr/share/wavendell/data: a clean show" "$tmp/check.log" ||
  fail "wavendell-check said: $(cat "$tmp/check.log")"
echo "the installed show checks clean ($((SECONDS - start)) s)"

# Waits for the test user's saver to start and prints its process id.
saver_pid() {
  wait_for 300 pgrep -u "$user" -x wavendell >/dev/null || return 1
  pgrep -u "$user" -x wavendell | head -n 1
}

# Waits for the test user's savers to end.
savers_end() {
  wait_for 100 sh -c "! pgrep -u '$user' -x wavendell >/dev/null"
}

echo "== wavendell-register on a new account =="
start=$SECONDS
entry='  GL: "Wavendell fountains" wavendell --root \n\'
as_user /usr/bin/wavendell-register --help >"$tmp/help.txt" 2>&1 ||
  fail "wavendell-register --help did not exit with 0"
grep -q '^usage: wavendell-register' "$tmp/help.txt" || fail "wavendell-register --help printed no usage"
status=0
as_user /usr/bin/wavendell-register --no-such-option >"$tmp/help.txt" 2>"$tmp/usage.txt" || status=$?
[ "$status" -eq 2 ] && [ ! -s "$tmp/help.txt" ] && grep -q '^usage:' "$tmp/usage.txt" ||
  fail "an unknown option did not give the usage on standard error and status 2 (status $status)"
[ ! -e "$home/.xscreensaver" ] || fail "the new account already has a ~/.xscreensaver"
as_user /usr/bin/wavendell-register >"$tmp/register.log" 2>&1 ||
  fail "wavendell-register on a new account failed: $(cat "$tmp/register.log")"
[ "$(grep -cxF "$entry" "$home/.xscreensaver")" -eq 1 ] ||
  fail "the new ~/.xscreensaver does not list the entry once"
grep -qx 'mode:[[:space:]]*random' "$home/.xscreensaver" ||
  fail "the new ~/.xscreensaver does not hold XScreenSaver's default mode"
[ ! -e "$home/.xscreensaver.wavendell-backup" ] || fail "a backup was made of a file that was not there"
cp "$home/.xscreensaver" "$tmp/registered"
# Our entry is the last of the list; -select counts from 1.
count=$(awk '/^programs:/ { list = 1; next } list && /^[[:space:]]*$/ { exit } list { n++ } END { print n }' \
  "$home/.xscreensaver")
[ "$(awk '/^programs:/ { list = 1; next } list && /^[[:space:]]*$/ { exit } list { last = $0 } END { print last }' \
  "$home/.xscreensaver")" = "$entry" ] || fail "the entry is not the last of the list"
"${as_user_cmd[@]}" xscreensaver --no-splash --verbose >"$tmp/xscreensaver-new.log" 2>&1 &
daemon_pid=$!
pids+=("$daemon_pid")
wait_for 100 as_user xscreensaver-command -version >/dev/null 2>&1 ||
  fail "the daemon does not answer with the new settings"
as_user xscreensaver-command -select "$count" >/dev/null 2>&1 ||
  fail "xscreensaver-command -select $count failed"
saver_pid >/dev/null || fail "the daemon did not run entry $count of the new settings"
as_user "$probe" watch root 90 || fail "no fountains on the screen from the new settings"
as_user xscreensaver-command -exit >/dev/null 2>&1 || true
wait "$daemon_pid" 2>/dev/null || true
savers_end || fail "the saver still runs after the daemon ended"
as_user /usr/bin/wavendell-register --remove >"$tmp/register.log" 2>&1 ||
  fail "wavendell-register --remove failed: $(cat "$tmp/register.log")"
grep -vxF "$entry" "$tmp/registered" | cmp -s - "$home/.xscreensaver" ||
  fail "--remove changed more than our entry: $(grep -vxF "$entry" "$tmp/registered" | diff - "$home/.xscreensaver" | head)"
cmp -s "$tmp/registered" "$home/.xscreensaver.wavendell-backup" || fail "--remove kept no backup"
rm -f "$home/.xscreensaver" "$home/.xscreensaver.wavendell-backup"
echo "registered on a new account, shown by the daemon, taken out again ($((SECONDS - start)) s)"

echo "== XScreenSaver daemon =="
start=$SECONDS
# Settings as xscreensaver-settings writes them, with an empty programs
# list; wavendell-register adds our entry, the only one, so "selected: 0".
cat >"$home/.xscreensaver" <<'EOF'
# XScreenSaver Preferences File

timeout:	1:00:00
cycle:		1:00:00
lock:		False
lockTimeout:	0:00:00
splash:		False
fade:		False
unfade:		False
dpmsEnabled:	False

mode:		one
selected:	0

programs:								      \

pointerHysteresis:	10
EOF
chown "$user:" "$home/.xscreensaver"
as_user /usr/bin/wavendell-register >"$tmp/register.log" 2>&1 || fail "wavendell-register failed"
grep -qxF '  GL: "Wavendell fountains" wavendell --root \n\' "$home/.xscreensaver" ||
  fail "wavendell-register did not add the entry"
[ -f "$home/.xscreensaver.wavendell-backup" ] || fail "wavendell-register kept no backup"
# A second entry naming a show folder with a space ("My Shows"), as
# XScreenSaver saves a long line: wrapped inside the quoted folder, so that
# the daemon passes the blanks before the break and the next line's
# indentation in place of the space.  The saver finds the folder all the
# same and says which one it plays.
show="$home/My Shows/copy show"
mkdir -p "$home/My Shows"
cp -r /usr/share/wavendell/data "$show"
chown -R "$user:" "$home/My Shows"
registered='  GL: "Wavendell fountains" wavendell --root \n\'
wrapped=$(printf '  GL: "Wavendell own show" wavendell --root --data "%s/My   \\\n\t\t\t\t  Shows/copy show" \\n\\' "$home")
registered=$registered wrapped=$wrapped \
  awk '{ print } $0 == ENVIRON["registered"] { print ENVIRON["wrapped"] }' \
  "$home/.xscreensaver" >"$tmp/settings" && cat "$tmp/settings" >"$home/.xscreensaver"
grep -qF "Shows/copy show\" \n\\" "$home/.xscreensaver" || fail "could not add the wrapped entry"

# Before activation the screen stays black: the check can tell.
if as_user "$probe" watch root 3 >/dev/null; then fail "the screen changes before activation"; fi

"${as_user_cmd[@]}" xscreensaver --no-splash --verbose >"$tmp/xscreensaver.log" 2>&1 &
pids+=("$!")
wait_for 100 as_user xscreensaver-command -version >/dev/null 2>&1 ||
  fail "the daemon does not answer"
as_user xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
wait_for 300 pgrep -u "$user" -x wavendell >/dev/null || fail "the daemon did not start the saver"
as_user "$probe" watch root 90 || fail "no fountains on the screen after activation"
# The wrapped entry in place of the first, while the screen stays blanked:
# the daemon stops the first saver (which ends by that SIGTERM, a normal end
# to the daemon) and the second says in the daemon's log that it plays the
# folder with the space.
as_user xscreensaver-command -select 2 >/dev/null 2>&1 || fail "xscreensaver-command -select 2 failed"
wait_for 300 grep -qF "playing \"$show\"," "$tmp/xscreensaver.log" ||
  fail "the saver did not say it plays \"$show\" from the wrapped entry"
if grep -F "installed show instead" "$tmp/xscreensaver.log" >&2; then
  fail "the saver fell back to the installed show"
fi
wait_for 50 grep -qF "(wavendell) exited normally with SIGTERM" "$tmp/xscreensaver.log" ||
  fail "the daemon did not see the first saver end by its SIGTERM: $(grep -F '(wavendell) exited' "$tmp/xscreensaver.log")"
as_user xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
wait_for 100 sh -c "! pgrep -u '$user' -x wavendell >/dev/null" || fail "the saver still runs after deactivation"
as_user xscreensaver-command -exit >/dev/null 2>&1 || true
echo "XScreenSaver shows the fountains, plays a wrapped show folder and ends them ($((SECONDS - start)) s)"

echo "== MATE's screen saver =="
start=$SECONDS
desktop=/usr/share/applications/screensavers/wavendell.desktop
desktop-file-validate "$desktop" >"$tmp/desktop.log" 2>&1 ||
  fail "desktop-file-validate refuses $desktop: $(cat "$tmp/desktop.log")"
# Hints (no main category: screen savers have none) are not faults.
! grep -E ': (error|warning): ' "$tmp/desktop.log" || fail "desktop-file-validate finds faults in $desktop"
# MATE's programs talk over a session bus; their settings go to a key file
# in the test user's home.
as_user dbus-daemon --session --fork --print-address=1 >"$tmp/bus.txt" || fail "no session bus"
mate_cmd=("${as_user_cmd[@]}" DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$tmp/bus.txt")"
          GSETTINGS_BACKEND=keyfile XDG_CURRENT_DESKTOP=MATE)
as_mate() { "${mate_cmd[@]}" "$@"; }
as_mate gsettings set org.mate.screensaver mode single &&
  as_mate gsettings set org.mate.screensaver themes "['screensavers-wavendell']" &&
  as_mate gsettings set org.mate.screensaver lock-enabled false || fail "gsettings failed"
# The preferences dialog lists MATE's themes, selects the one set above only
# when the list holds it, and previews it in a window of the dialog.
"${mate_cmd[@]}" mate-screensaver-preferences >"$tmp/mate-preferences.log" 2>&1 &
prefs_pid=$!
pids+=("$prefs_pid")
saver=$(saver_pid) || fail "mate-screensaver-preferences did not preview the fountains (not in its list?)"
window=$(tr '\0' '\n' <"/proc/$saver/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[ -n "$window" ] || fail "MATE's preview ran the saver without XSCREENSAVER_WINDOW"
as_user "$probe" watch "$window" 90 || fail "no fountains in MATE's preview"
kill "$prefs_pid"
wait "$prefs_pid" 2>/dev/null || true
savers_end || fail "the preview's saver still runs after the dialog ended"
"${mate_cmd[@]}" mate-screensaver --no-daemon >"$tmp/mate-screensaver.log" 2>&1 &
pids+=("$!")
wait_for 100 as_mate mate-screensaver-command --query >/dev/null 2>&1 ||
  fail "mate-screensaver does not answer"
as_mate mate-screensaver-command --activate >/dev/null 2>&1 ||
  fail "mate-screensaver-command --activate failed"
saver_pid >/dev/null || fail "mate-screensaver did not start the saver"
as_user "$probe" watch root 90 || fail "no fountains on the screen from mate-screensaver"
as_mate mate-screensaver-command --deactivate >/dev/null 2>&1 ||
  fail "mate-screensaver-command --deactivate failed"
savers_end || fail "the saver still runs after mate-screensaver was deactivated"
as_mate mate-screensaver-command --exit >/dev/null 2>&1 || true
echo "MATE lists, previews and shows the fountains ($((SECONDS - start)) s)"

echo "== installation under another prefix =="
start=$SECONDS
dpkg -P wavendell >/dev/null
[ ! -e /etc/xdg/CorvelScreenSavers/FreeWavendell ] || fail "purging left the settings file"
prefix=$tmp/prefix
cmake -S "$root" -B "$build" -DCMAKE_INSTALL_PREFIX="$prefix" >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target wavendell wavendell-register \
  wavendell-check >/dev/null
cmake --install "$build" >/dev/null
[ "$(cat "$prefix/etc/xdg/CorvelScreenSavers/FreeWavendell")" = "Dir=$prefix/share/wavendell" ] ||
  fail "the settings file under the prefix does not name its share folder"
play_in_window "$prefix/libexec/xscreensaver/wavendell" "saver under $prefix"
printf 'programs:\n' >"$home/other-settings"
chown "$user:" "$home/other-settings"
as_user "$prefix/bin/wavendell-register" "$home/other-settings" >/dev/null ||
  fail "wavendell-register under $prefix failed"
grep -qF "$prefix/libexec/xscreensaver/wavendell --root" "$home/other-settings" ||
  fail "the entry under $prefix does not name the program by its path"
echo "an installation under $prefix finds its data ($((SECONDS - start)) s)"

echo "package test passed"
