#!/usr/bin/env bash
# Builds the Debian package: configures for /usr, builds the saver,
# wavendell-register and wavendell-check, and runs cpack. Prints the path of the .deb last.
# Usage: scripts/package.sh [build directory]   (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
dir=${1:-$root/build-package}

bash scripts/install-deps.sh package >&2

# Only the installed programs are built: installing does not build every
# target (tools, benchmarks) first.
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DWAVENDELL_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" -j"$(nproc 2>/dev/null || echo 2)" --target wavendell wavendell-register wavendell-check >&2
(cd "$dir" && rm -f ./*.deb && cpack -G DEB >&2)

deb=$(ls "$dir"/*.deb)
echo "$deb"
