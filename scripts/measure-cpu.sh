#!/usr/bin/env bash
# Measures the processor use of a built saver under a private Xvfb: the
# saver's and the X server's CPU (percent of one core) and the frames per
# second, over SECONDS after a warm-up, for each combination of
#   trail:  the show as it is, and a copy with DoNotUseAccumBuffer set
#   window: full screen ("/s" on a 1280x1024 screen) and a 320x200 window
#           given with "--window-id" (the XScreenSaver settings preview)
# Frames are counted by a small preloaded library around glXSwapBuffers.
# With SEED set, the calendar time and process id the saver sees are fixed,
# so that two builds play the same first scene and script.  With COMPARE_WITH
# naming another build of the saver, each measurement is made for BINARY and
# then for that build, on the same Xvfb, so that the two meet the same load.
#
# Usage: scripts/measure-cpu.sh BINARY [DATA_DIR]
#   env: SECONDS_MEASURED (30), WARMUP (5), SEED (unset: random),
#        TRAILS ("on off"), WINDOWS ("full small"), PRIORITY=1 (see below),
#        SCREEN (1280x1024: the Xvfb screen, which full screen fills),
#        SCRIPTS (actions, e.g. "bowingArc.xml grandCascade.xml": each in
#                 turn the only script played; unset: the show as it is),
#        COMPARE_WITH (a second saver binary, measured after BINARY each time)
# Needs gcc, Xvfb and bc.
#
# On a machine shared with other work the figures only say how much the
# scheduler gave.  As root, PRIORITY=1 gives this script's session a high
# scheduling weight (its autogroup), so they come close to an idle machine's.
set -euo pipefail
binary=$(readlink -f "$1")
binaries=("$binary")
if [ -n "${COMPARE_WITH:-}" ]; then binaries+=("$(readlink -f "$COMPARE_WITH")"); fi
root=$(cd "$(dirname "$0")/.." && pwd)
data=$(readlink -f "${2:-$root/data}")
seconds=${SECONDS_MEASURED:-30}
warmup=${WARMUP:-5}
work=$(mktemp -d)
source "$root/scripts/xvfb.sh"
cleanup() {
  stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT

# The weight is the session's: a session of its own keeps the caller's as it was.
if [ "${PRIORITY:-}" = 1 ] && [ -z "${MEASURE_CPU_SESSION:-}" ]; then
  rm -rf "$work"
  MEASURE_CPU_SESSION=1 exec setsid --wait "$0" "$@"
fi
if [ "${PRIORITY:-}" = 1 ] && [ -w /proc/self/autogroup ]; then
  echo -19 > /proc/self/autogroup 2>/dev/null || true
fi

cat > "$work/count.c" <<'EOF'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>
static long frames;
static int out = -1;
void glXSwapBuffers(void* d, unsigned long w) {
    static void (*real)(void*, unsigned long);
    if (!real) real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (out < 0) out = open(getenv("FRAME_COUNT_FILE"), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    char text[32];
    int n = snprintf(text, sizeof text, "%ld\n", ++frames);
    if (out >= 0) pwrite(out, text, (size_t)n, 0);
    real(d, w);
}
static const char* seed(void) {
    const char* s = getenv("FIXED_SEED");
    return s && *s ? s : NULL;
}
time_t time(time_t* t) {
    static time_t (*real)(time_t*);
    if (seed()) {
        time_t v = 1700000000 + atoi(seed());
        if (t) *t = v;
        return v;
    }
    if (!real) real = (time_t (*)(time_t*))dlsym(RTLD_NEXT, "time");
    return real(t);
}
pid_t getpid(void) {
    static pid_t (*real)(void);
    if (seed()) return 4242;
    if (!real) real = (pid_t (*)(void))dlsym(RTLD_NEXT, "getpid");
    return real();
}
EOF
gcc -shared -fPIC -O2 "$work/count.c" -o "$work/count.so" -ldl

# A plain window of another program that stays until killed.
cat > "$work/window.c" <<'EOF'
#include <X11/Xlib.h>
#include <stdio.h>
#include <unistd.h>
int main(void) {
    Display* d = XOpenDisplay(NULL);
    if (!d) return 1;
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 320, 200, 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    printf("%lu\n", w);
    fflush(stdout);
    for (;;) pause();
}
EOF
gcc -O2 "$work/window.c" -o "$work/window" -lX11

# Two installations: the show as given, and without the trail.
for trail in on off; do
  mkdir -p "$work/$trail/xdg/CorvelScreenSavers" "$work/$trail/home"
  cp -r "$data" "$work/$trail/data"
  printf 'Dir=%s\n' "$work/$trail" > "$work/$trail/xdg/CorvelScreenSavers/FreeWavendell"
done
sed -i 's/<DoNotUseAccumBuffer v="[0-9]*"/<DoNotUseAccumBuffer v="1"/' "$work/off/data/options.xml"
grep -q '<DoNotUseAccumBuffer v="1"' "$work/off/data/options.xml" ||
  { echo "options.xml has no DoNotUseAccumBuffer element" >&2; exit 1; }

# Plays only the script entry with the action $1 (nothing to do for "").
only_script() {
  [ -n "$1" ] || return 0
  for trail in on off; do
    scenario="$work/$trail/data/defaultScenario.xml"
    cp "$data/defaultScenario.xml" "$scenario"
    sed -i -e '/<Script /s/enabled="[0-9]*"/enabled="0"/' \
      -e "/<Script action=\"$1\"/s/enabled=\"0\"/enabled=\"1\"/" "$scenario"
    grep -q "<Script action=\"$1\" enabled=\"1\"" "$scenario" ||
      { echo "the scenario has no script entry $1" >&2; exit 1; }
  done
}

screen=${SCREEN:-1280x1024}
start_xvfb -screen 0 "${screen}x24" || exit 1
export DISPLAY=$DISPLAY_STARTED
xvfb_pid=$XVFB_PID

ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$1/stat"; }
percent() { echo "scale=1; 100 * ($2 - $1) / $ticks / $seconds" | bc; }

for script in ${SCRIPTS:-""}; do
  only_script "$script"
  for trail in ${TRAILS:-on off}; do
    for window in ${WINDOWS:-full small}; do
      for saver_binary in "${binaries[@]}"; do
        holder=
        if [ "$window" = full ]; then
          args=(/s)
        else
          "$work/window" > "$work/window.txt" &
          holder=$!
          for _ in $(seq 1 50); do [ -s "$work/window.txt" ] && break; sleep 0.1; done
          args=(--window-id "$(cat "$work/window.txt")")
        fi
        rm -f "$work/frames.txt"
        env XDG_CONFIG_DIRS="$work/$trail/xdg" XDG_CONFIG_HOME="$work/$trail/home" \
          FRAME_COUNT_FILE="$work/frames.txt" FIXED_SEED="${SEED:-}" \
          LD_PRELOAD="$work/count.so" "$saver_binary" "${args[@]}" > /dev/null 2>&1 &
        saver=$!
        sleep "$warmup"
        s0=$(cpu $saver); x0=$(cpu $xvfb_pid); f0=$(cat "$work/frames.txt" 2>/dev/null || echo 0)
        sleep "$seconds"
        s1=$(cpu $saver); x1=$(cpu $xvfb_pid); f1=$(cat "$work/frames.txt" 2>/dev/null || echo 0)
        kill $saver 2>/dev/null || true
        wait $saver 2>/dev/null || true
        if [ -n "$holder" ]; then
          kill $holder 2>/dev/null || true
          wait $holder 2>/dev/null || true
        fi
        label=
        if [ -n "$script" ]; then label="script=$script "; fi
        if [ ${#binaries[@]} -gt 1 ]; then label="${label}binary=$saver_binary "; fi
        echo "${label}trail=$trail window=$window screen=$screen saver=$(percent $s0 $s1)%" \
             "xvfb=$(percent $x0 $x1)% fps=$(echo "scale=1; ($f1 - $f0) / $seconds" | bc)"
      done
    done
  done
done
