# Sourced by the scripts that need a private X server (and wait for it).
#   start_xvfb [extra Xvfb arguments...]
# starts Xvfb on a free display number chosen by the server itself
# (-displayfd) and sets DISPLAY_STARTED (":N") and XVFB_PID; stop_xvfb ends
# it (callers put it in their exit trap).  Returns 1 when no server came up.

start_xvfb() {
  local fifo
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/wavendell-xvfb.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset "$@" \
    3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number=""
  # The server writes its display number once it accepts connections.
  read -r -t 20 number <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$number" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
    echo "could not start Xvfb" >&2
    return 1
  fi
  DISPLAY_STARTED=":$number"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
  local tenths=$1; shift
  for _ in $(seq 1 "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
