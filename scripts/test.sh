#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit tests without a display, the
# GL tests against Mesa under a private Xvfb, then the same again in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

# A private X server for the GL tests.
start_xvfb() {
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export TEST_DISPLAY=":$n"
        return 0
      fi
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}
xvfb_pid=
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
start_xvfb

run_suite() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  # Unit tests must not need a display.
  (cd "$dir" && env -u DISPLAY ctest -L unit --output-on-failure -j"$jobs")
  (cd "$dir" && DISPLAY="$TEST_DISPLAY" ctest -L gl --output-on-failure -j1)
}

echo "== build and tests =="
run_suite "$root/build"

echo "== build and tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
# Mesa's driver keeps allocations for the life of the process; leaks are
# checked only in our own code (see tests/lsan.supp).
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:suppressions=$root/tests/asan.supp
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite "$root/build-sanitize" -DWAVENDELL_SANITIZE=ON
unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS

echo "== Debian package and XScreenSaver =="
bash scripts/package-test.sh "$root/build-package"

echo "all tests passed"
