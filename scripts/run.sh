#!/usr/bin/env bash
# Sets up, builds and runs the saver on the data folder of this checkout.
# Usage: scripts/run.sh [mode switch]   (default: /testpreview)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake -S "$root" -B "$root/build-run" -DCMAKE_BUILD_TYPE=Release -DWAVENDELL_TESTS=OFF >/dev/null
cmake --build "$root/build-run" -j"$(nproc 2>/dev/null || echo 2)" --target wavendell

# The installation directory is found through the machine-wide registry
# file; point a private one at this checkout.
conf="$root/build-run/config"
mkdir -p "$conf/CorvelScreenSavers" "$root/build-run/user-config"
printf 'Dir=%s\n' "$root" > "$conf/CorvelScreenSavers/FreeWavendell"

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display (\$DISPLAY is empty): run this from a desktop session." >&2
  exit 1
fi
exec env XDG_CONFIG_DIRS="$conf" XDG_CONFIG_HOME="$root/build-run/user-config" \
  "$root/build-run/wavendell" "${1:-/testpreview}"
