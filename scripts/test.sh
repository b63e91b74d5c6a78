#!/usr/bin/env bash
# Sets up, builds and runs every test: the include layering, the code's
# layout against .clang-format, the unit tests without a display, the GL
# tests against Mesa under a private Xvfb, the same again in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer,
# the fuzz targets on their corpora, the Windows build with its tests under
# Wine, then the Debian package with lintian and a real XScreenSaver daemon
# (as root only).  Compiler warnings are errors.
#
# Every stage runs, whatever an earlier one did; the summary gives one line
# per stage (passed, FAILED or SKIPPED, with its time), and the exit status
# is 1 when any stage failed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/xvfb.sh

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
summary=()
failed=0
test_display=

scratch=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$scratch"' EXIT

# run_stage NAME FUNCTION: runs the function in a subshell of its own with
# errexit, so that the first failing command ends that stage alone.  A
# stage skips itself by writing its reason to $skip_file and returning 0.
run_stage() {
  local name=$1 fn=$2 start=$SECONDS status
  echo "== $name =="
  skip_file="$scratch/skip"
  rm -f "$skip_file"
  set +e
  ( set -e; "$fn" )
  status=$?
  set -e
  local took=$((SECONDS - start))
  local time
  time=$(printf '%d min %02d s' $((took / 60)) $((took % 60)))
  if [ "$status" -ne 0 ]; then
    summary+=("FAILED   $name ($time; status $status)")
    failed=1
  elif [ -s "$skip_file" ]; then
    summary+=("SKIPPED  $name ($time): $(cat "$skip_file")")
  else
    summary+=("passed   $name ($time)")
  fi
}

# Whether every test that failed in the ctest output in file $1 failed only
# because LeakSanitizer's tracer thread crashed while it stopped the
# process's threads at exit ("Tracer caught signal 11" after the test
# passed: a fault of the sanitizer, google/sanitizers#1353).  A leak report,
# an assertion, a crash or a time-out is never such a failure.
only_tracer_crashes() {
  awk '
    function close_block() { if (cur && !(seen && passed)) bad = 1; cur = 0 }
    / Test +#[0-9]+: / {
      close_block()
      if ($0 ~ /\*\*\*Failed/) { cur = 1; seen = 0; passed = 0; failed++ }
      else if ($0 ~ /\*\*\*/) bad = 1
      next
    }
    /^ +Start +[0-9]+: / || /tests passed, / { close_block(); next }
    cur && /Tracer caught signal/ { seen = 1 }
    cur && /^\[  PASSED  \]/ { passed = 1 }
    cur && /(Direct|Indirect) leak of|ERROR: AddressSanitizer|runtime error:/ { bad = 1 }
    END { close_block(); exit !(failed > 0 && !bad) }' "$1"
}

# ctest with its arguments; tests that failed only by the tracer's crash
# run once more, and that run decides.
run_ctest() {
  local log status
  log=$(mktemp)
  ctest "$@" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  if [ "$status" -ne 0 ] && only_tracer_crashes "$log"; then
    echo "LeakSanitizer's tracer crashed after the tests above had passed; they run once more"
    ctest --rerun-failed --output-on-failure -j1
    status=$?
  fi
  rm -f "$log"
  return "$status"
}

run_suite() {
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVENDELL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  # Unit tests must not need a display; both sets run even when the first fails.
  local status=0
  (cd "$dir" && unset DISPLAY && run_ctest -L unit --output-on-failure -j"$jobs") || status=1
  if [ -z "$test_display" ]; then
    echo "no Xvfb: the GL tests cannot run" >&2
    return 1
  fi
  (cd "$dir" && DISPLAY="$test_display" run_ctest -L gl --output-on-failure -j1) || status=1
  return "$status"
}

stage_layers() { bash scripts/check-layers.sh; }

stage_format() { bash scripts/check-format.sh; }

stage_tests() { run_suite "$root/build"; }

stage_sanitized_tests() {
  # Mesa's driver keeps allocations for the life of the process; leaks are
  # checked only in our own code (see tests/lsan.supp).
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:suppressions=$root/tests/asan.supp
  export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$root/build-sanitize" -DWAVENDELL_SANITIZE=ON
}

stage_fuzz() { bash scripts/fuzz.sh --smoke; }

stage_windows() {
  local start=$SECONDS
  bash scripts/install-deps.sh windows-test
  bash scripts/build-windows.sh "$root/build-windows" >/dev/null
  echo "Windows build: $((SECONDS - start)) s"
  # The Wine checks use the screen probe of the Linux build.
  cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWAVENDELL_WERROR=ON >/dev/null
  cmake --build "$root/build" -j"$jobs" --target screen_probe >/dev/null
  bash tests/windows/wine-test.sh "$root/build-windows" "$root/build/screen_probe"
}

stage_package() {
  local log="$scratch/package.log" status=0
  bash scripts/package-test.sh "$root/build-package" | tee "$log" || status=$?
  [ "$status" -eq 0 ] || return "$status"
  sed -n 's/^package test SKIPPED: //p' "$log" >"$skip_file"
}

if start_xvfb; then test_display=$DISPLAY_STARTED; fi

run_stage "include layering" stage_layers
run_stage "code format" stage_format
run_stage "unit and GL tests" stage_tests
run_stage "unit and GL tests with sanitizers" stage_sanitized_tests
run_stage "fuzz smoke run" stage_fuzz
run_stage "Windows build and Wine tests" stage_windows
run_stage "Debian package and XScreenSaver" stage_package

echo
echo "== summary =="
for line in "${summary[@]}"; do echo "$line"; done
total=$SECONDS
printf 'total: %d min %02d s\n' $((total / 60)) $((total % 60))
exit "$failed"
