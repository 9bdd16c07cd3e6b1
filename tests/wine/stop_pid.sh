# Sourced by the fixtures' stop scripts.
# stop_pid <pid file>: ends the process recorded there (TERM, up to 5 s,
# then KILL) and removes the file; a missing or empty file does nothing.
stop_pid() {
  [ -s "$1" ] || return 0
  local pid
  pid=$(cat "$1")
  kill "$pid" >/dev/null 2>&1
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" >/dev/null 2>&1
  rm -f "$1"
}
