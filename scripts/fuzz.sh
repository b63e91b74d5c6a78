#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them on their corpora: the seeds made
# from data/ and tests/ plus the inputs kept in fuzz/corpus/<target>/.
#   scripts/fuzz.sh [--smoke] [--seconds N] [--out DIR] [target...]
#   --smoke      each target replays its corpus and fuzzes a few seconds
#                (what the test command runs)
#   --seconds N  fuzz each target N seconds (default 600)
#   --out DIR    keep the new inputs and any crash there (default: a
#                temporary folder, removed afterwards)
# Fails when a target crashes, leaks, hangs or breaks its own checks; the
# input that did it is kept in the output folder and named.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=600
smoke=0
out=
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) smoke=1; seconds=4 ;;
    --seconds) seconds=$2; shift ;;
    --out) out=$2; shift ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1") ;;
  esac
  shift
done

bash scripts/install-deps.sh fuzz
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DWAVENDELL_FUZZ=ON -DWAVENDELL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" --target fuzz_targets >/dev/null

if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    [ "$name" = fuzz_show ] || targets+=("$name")
  done
fi
keep_out=1
if [ -z "$out" ]; then
  out=$(mktemp -d)
  keep_out=0
fi
cleanup() { [ "$keep_out" -eq 1 ] || rm -rf "$out"; }
trap cleanup EXIT

# Seeds from the shipped show and the test show, per target.
seed() {
  local target=$1 dir=$2
  case "$target" in
    fuzz_scenario) cp data/defaultScenario.xml tests/data/test_show/defaultScenario.xml "$dir/" 2>/dev/null || true
                   cp data/defaultScenario.xml "$dir/shipped.xml" ;;
    fuzz_scene) for s in data/*/scene.xml tests/data/test_show/*/scene.xml; do
                  cp "$s" "$dir/$(basename "$(dirname "$s")").xml"; done ;;
    fuzz_action_script)
      local figures=(data/_figures/*.xml) i=0
      for s in data/_scripts/*.xml; do
        { cat "$s"; printf '\0'; cat "${figures[$((i % ${#figures[@]}))]}"; } >"$dir/$(basename "$s")"
        i=$((i + 1))
      done ;;
    fuzz_figure) cp data/_figures/*.xml "$dir/" ;;
    fuzz_options) cp data/options.xml "$dir/" ;;
    fuzz_jpeg) for j in tests/data/test_show/*/*.jpg; do
                 cp "$j" "$dir/$(basename "$(dirname "$j")")-$(basename "$j")"; done ;;
    fuzz_bmp) cp data/*.bmp "$dir/" ;;
    fuzz_shader_text) cp data/shaders/* "$dir/" ;;
    fuzz_registry_file) printf 'Dir=/usr/share/wavendell\n' >"$dir/installed" ;;
  esac
}

# The targets write every input to a scratch file: in memory where there is
# room for it, so flushing costs nothing.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for target in "${targets[@]}"; do
  corpus=$out/$target/corpus
  mkdir -p "$corpus" "$out/$target/seeds"
  seed "$target" "$out/$target/seeds"
  kept=fuzz/corpus/$target
  [ -d "$kept" ] || kept=
  start=$SECONDS
  if "$build/$target" "$corpus" "$out/$target/seeds" ${kept:+"$kept"} \
       -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -artifact_prefix="$out/$target/" -print_final_stats=1 \
       >"$out/$target/log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target/log")
    echo "$target: ${runs:-?} runs in $((SECONDS - start)) s, corpus $(ls "$corpus" | wc -l) new inputs"
  else
    echo "$target: FAILED after $((SECONDS - start)) s" >&2
    grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$out/$target/log" | head -n 8 >&2
    keep_out=1
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs and logs in $out)" >&2
  exit 1
fi
