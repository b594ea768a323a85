# Sourced by the Wayland session scripts (weston-session, mutter-session):
# what they share. A script checks its own tools, then calls
# start_compositor with the compositor's command line and
# run_in_session with the command to run.

wayland_session_needs() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$session_name: no $tool" >&2; exit 77; }
  done
  local plugin
  plugin=$(find /usr/lib/*/qt6/plugins/platforms -name 'libqwayland-generic.so' 2>/dev/null | head -n1)
  [ -n "$plugin" ] || { echo "$session_name: no Wayland platform for Qt (qt6-wayland)" >&2; exit 77; }
}

# A runtime folder of its own, so that the compositor's socket and lock
# meet no other session's.
runtime=$(mktemp -d)
chmod 700 "$runtime"
compositor_pid=
wayland_session_cleanup() {
  [ -z "$compositor_pid" ] || kill "$compositor_pid" 2>/dev/null || true
  [ -z "$compositor_pid" ] || wait "$compositor_pid" 2>/dev/null || true
  rm -rf "$runtime"
}
trap wayland_session_cleanup EXIT
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=cq-$session_name

# start_compositor COMMAND...: starts it, its output in the runtime folder,
# and waits for its socket.
start_compositor() {
  "$@" >"$runtime/compositor.log" 2>&1 &
  compositor_pid=$!
  for _ in $(seq 100); do [ -S "$runtime/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
  [ -S "$runtime/$WAYLAND_DISPLAY" ] || {
    echo "$session_name: $1 did not start" >&2
    cat "$runtime/compositor.log" >&2
    exit 1
  }
}

# run_in_session COMMAND...: the program on the toolkit's Wayland platform,
# with the accessibility bus of screen-reader-session (which needs the
# session bus: run the session script under dbus-run-session).
run_in_session() {
  set +e
  SESSION_QT_QPA_PLATFORM=wayland "$(dirname "${BASH_SOURCE[0]}")/screen-reader-session" "$@"
  exit $?
}
