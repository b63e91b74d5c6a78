#!/usr/bin/env bash
# Runs the README's two commands the way a newcomer would, on a machine that
# has nothing beyond Debian's base system: makes a clean Debian root with
# debootstrap in a scratch folder (from the package archive this machine's
# apt already uses), copies a clean clone of the current commit into it,
# runs the test command there, then the run command under a private Xvfb
# for a few seconds, checking that the preview draws.  Everything is
# unmounted and removed at the end, whether it passed or failed.
# Needs root (debootstrap, chroot, mounts).
# Usage: scripts/fresh-machine-test.sh [SCRATCH-PARENT]   (default: /var/tmp)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
start=$SECONDS

if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-machine-test.sh needs root (debootstrap, chroot and mounts): run it with sudo." >&2
  exit 1
fi

commit=$(git rev-parse HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not tested; the clone holds commit $commit only"
fi

# The base suite of this machine's release, and the archive apt takes it from.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' |
           awk -v suite="$codename" '$2 == suite { print $1; exit }')
if [ -z "$codename" ] || [ -z "$mirror" ]; then
  echo "cannot tell this machine's Debian release or its archive from apt's configuration" >&2
  exit 1
fi
if ! command -v debootstrap >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

scratch=$(mktemp -d "${1:-/var/tmp}/wavendell-fresh.XXXXXX")
root="$scratch/root"

mounted_below() { awk -v r="$root/" 'index($2, r) == 1 { print $2 }' /proc/self/mounts; }

teardown() {
  local status=$?
  set +e
  # Whatever still runs inside the root (an Xvfb, a saver) goes first.
  local p target
  for p in /proc/[0-9]*; do
    target=$(readlink "$p/root" 2>/dev/null) || continue
    case "$target" in "$root"|"$root"/*) kill -9 "${p#/proc/}" 2>/dev/null ;; esac
  done
  sleep 1
  local m
  for m in $(mounted_below | sort -r); do umount "$m" 2>/dev/null || umount -l "$m"; done
  if [ -n "$(mounted_below)" ]; then
    echo "still mounted below $root; left in place:" >&2
    mounted_below >&2
  else
    rm -rf --one-file-system "$scratch"
  fi
  local took=$((SECONDS - start))
  printf 'fresh machine: %s, total %d min %02d s\n' \
    "$([ "$status" -eq 0 ] && echo passed || echo FAILED)" $((took / 60)) $((took % 60))
  exit "$status"
}
trap teardown EXIT
trap 'exit 130' INT TERM

phase() { printf '== %s (at %d min %02d s) ==\n' "$1" $(((SECONDS - start) / 60)) $(((SECONDS - start) % 60)); }

phase "debootstrap $codename from $mirror"
debootstrap --variant=minbase "$codename" "$root" "$mirror" >"$scratch/debootstrap.log" 2>&1 ||
  { tail -20 "$scratch/debootstrap.log" >&2; exit 1; }

# The same package sources and fetch settings as this machine's apt (the
# base system's own list lacks the updates and security suites).
rm -f "$root/etc/apt/sources.list"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  if [ -f "$f" ]; then cp "$f" "$root${f%/*}/"; fi
done
apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy) ' \
  >"$root/etc/apt/apt.conf.d/90host-fetch-settings" || true
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mountpoint -q "$root/dev/pts" || mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
mountpoint -q "$root/dev/shm" || mount -t tmpfs -o mode=1777 shm "$root/dev/shm"

phase "clean clone of $commit"
git clone -q --no-local "$repo" "$root/root/wavendell"
git -C "$root/root/wavendell" checkout -q --detach "$commit"

in_root() {
  chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} \
    bash -c "cd /root/wavendell && $1"
}

phase "test command: bash scripts/test.sh"
tests_status=0
in_root "bash scripts/test.sh" || tests_status=$?

phase "run command: bash scripts/run.sh under a private Xvfb"
run_status=0
in_root '
  source scripts/xvfb.sh
  start_xvfb || exit 1
  export DISPLAY=$DISPLAY_STARTED
  bash scripts/run.sh >/tmp/run.log 2>&1 &
  run=$!
  trap "kill $run 2>/dev/null; stop_xvfb" EXIT
  # The run command builds first; the preview window comes when it runs.
  window=
  for _ in $(seq 1 1200); do
    window=$(xwininfo -root -tree 2>/dev/null | sed -n "s/^ *\(0x[0-9a-f]*\) \"Screensaver Preview Test\".*/\1/p" | head -1)
    [ -n "$window" ] && break
    kill -0 $run 2>/dev/null || break
    sleep 0.5
  done
  if [ -z "$window" ]; then
    echo "the run command showed no preview window:" >&2
    tail -20 /tmp/run.log >&2
    exit 1
  fi
  echo "preview window $window"
  build/screen_probe watch "$window" 20 || { echo "the preview did not draw" >&2; tail -20 /tmp/run.log >&2; exit 1; }
' || run_status=$?

echo
echo "== fresh machine summary =="
echo "$([ "$tests_status" -eq 0 ] && echo "passed  " || echo "FAILED  ") test command (bash scripts/test.sh)"
echo "$([ "$run_status" -eq 0 ] && echo "passed  " || echo "FAILED  ") run command (bash scripts/run.sh draws)"
[ "$tests_status" -eq 0 ] && [ "$run_status" -eq 0 ]
