#!/usr/bin/env bash
# Sets up, builds and runs every test: the include layering, the unit tests
# without a display, the GL tests against Mesa under a private Xvfb, the
# same again in a build with AddressSanitizer and UndefinedBehaviorSanitizer,
# the Windows build with its tests under Wine, then the Debian package with
# lintian and a real XScreenSaver daemon (as root only).
# Compiler warnings are errors.  Ends by saying which stages ran.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/xvfb.sh

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
ran=()
skipped=()

trap stop_xvfb EXIT
start_xvfb
test_display=$DISPLAY_STARTED

run_suite() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVENDELL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  # Unit tests must not need a display.
  (cd "$dir" && env -u DISPLAY ctest -L unit --output-on-failure -j"$jobs")
  (cd "$dir" && DISPLAY="$test_display" ctest -L gl --output-on-failure -j1)
}

echo "== include layering =="
bash scripts/check-layers.sh
ran+=("include layering")

echo "== build and tests =="
run_suite "$root/build"
ran+=("unit and GL tests")

echo "== build and tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
# Mesa's driver keeps allocations for the life of the process; leaks are
# checked only in our own code (see tests/lsan.supp).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:suppressions=$root/tests/asan.supp
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite "$root/build-sanitize" -DWAVENDELL_SANITIZE=ON
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
ran+=("unit and GL tests with sanitizers")

echo "== fuzz targets on their corpora (smoke run) =="
bash scripts/fuzz.sh --smoke
ran+=("fuzz smoke run")

echo "== Windows build and Wine tests =="
start=$SECONDS
bash scripts/install-deps.sh windows-test
bash scripts/build-windows.sh "$root/build-windows" >/dev/null
echo "Windows build: $((SECONDS - start)) s"
bash tests/windows/wine-test.sh "$root/build-windows" "$root/build/screen_probe"
echo "Windows stage: $((SECONDS - start)) s"
ran+=("Windows build and Wine tests")

echo "== Debian package and XScreenSaver =="
package_log=$(mktemp)
trap 'stop_xvfb; rm -f "$package_log"' EXIT
bash scripts/package-test.sh "$root/build-package" | tee "$package_log"
if grep -q "^package test SKIPPED" "$package_log"; then
  skipped+=("Debian package and XScreenSaver ($(sed -n 's/^package test SKIPPED: //p' "$package_log"))")
else
  ran+=("Debian package and XScreenSaver")
fi
rm -f "$package_log"

echo
echo "== summary =="
for stage in "${ran[@]}"; do echo "passed:  $stage"; done
for stage in "${skipped[@]+"${skipped[@]}"}"; do echo "SKIPPED: $stage"; done
