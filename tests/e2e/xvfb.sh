# Starts a private Xvfb on a free display number (sourced by the e2e scripts).
# PANOREL_SCREEN gives its size (default 1280x1024).
start_xvfb() {
  local fifo
  fifo=$(mktemp -u /tmp/panorel-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${PANOREL_SCREEN:-1280x1024}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number
  # -displayfd writes the display number once the server accepts clients.
  if ! read -r -t 30 number <"$fifo"; then
    rm -f "$fifo"
    echo "Xvfb did not start" >&2
    return 1
  fi
  rm -f "$fifo"
  export DISPLAY=":$number"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
