#!/usr/bin/env bash
# Runs COMMAND in a private desktop session for tests: its own D-Bus session bus, a PipeWire
# server (with WirePlumber and the PulseAudio protocol) whose default sink is a null sink
# named "tavtest", and an Xvfb display. Whatever plays to the default sink can be recorded
# from "tavtest.monitor". Nothing of the user's own session is touched. TAV_SOUND_SERVER_PIDS
# names the processes of the sound server (pipewire, pipewire-pulse), for tests that stop or
# kill it.
#
#   scripts/with-audio-session.sh COMMAND [ARGUMENT...]
#
# TAV_SESSION_DIR names the folder for the session's runtime and state files (default: a new
# temporary folder, removed afterwards). Exits with COMMAND's exit code, or 77 when the
# sound server cannot start on this machine.
set -euo pipefail

if (($# == 0)); then
  echo "usage: $0 COMMAND [ARGUMENT...]" >&2
  exit 2
fi

if [[ -z "${TAV_IN_AUDIO_SESSION:-}" ]]; then
  export TAV_IN_AUDIO_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

session_dir=${TAV_SESSION_DIR:-}
own_dir=false
if [[ -n "$session_dir" ]]; then
  mkdir -p "$session_dir"
  session_dir=$(cd "$session_dir" && pwd)
  rm -rf "$session_dir/runtime" "$session_dir/state" "$session_dir/config"
  # A socket path holds at most 107 bytes.
  if ((${#session_dir} > 70)); then
    echo "note: $session_dir is too long a path for the sound server's sockets;" \
      "using a temporary folder" >&2
    session_dir=""
  fi
fi
if [[ -z "$session_dir" ]]; then
  session_dir=$(mktemp -d "${TMPDIR:-/tmp}/tav-session.XXXXXX")
  own_dir=true
fi

# The sound server keeps its sockets and its remembered defaults here, away from the user's.
export XDG_RUNTIME_DIR=$session_dir/runtime
export XDG_STATE_HOME=$session_dir/state
export XDG_CONFIG_HOME=$session_dir/config
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
unset PIPEWIRE_REMOTE PULSE_SINK
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_STATE_HOME" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  if $own_dir; then
    rm -rf "$session_dir"
  fi
}
trap cleanup EXIT

skip() {
  echo "SKIP: $1 (logs in $session_dir/*.log)" >&2
  own_dir=false
  exit 77
}

# Waits up to five seconds for a command to succeed.
wait_for() {
  local i
  for i in $(seq 100); do
    if "$@" >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.05
  done
  return 1
}

command -v pipewire >/dev/null || skip "pipewire is not installed"
pipewire >"$session_dir/pipewire.log" 2>&1 &
pids+=($!)
server_pids=$!
wait_for test -S "$XDG_RUNTIME_DIR/pipewire-0" || skip "pipewire did not start"
wireplumber >"$session_dir/wireplumber.log" 2>&1 &
pids+=($!)
pipewire-pulse >"$session_dir/pipewire-pulse.log" 2>&1 &
pids+=($!)
export TAV_SOUND_SERVER_PIDS="$server_pids $!"
wait_for pactl info || skip "pipewire-pulse did not answer"

pactl load-module module-null-sink sink_name=tavtest \
  sink_properties=device.description=tavtest >/dev/null
wait_for pactl set-default-sink tavtest || skip "the null sink did not appear"
# The default only counts once the session manager has taken it over.
wait_for bash -c 'pactl get-default-sink | grep -qx tavtest' || skip "tavtest is not the default sink"

# A display of our own; Xvfb picks a free number and tells it through file descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$session_dir/display" \
  >"$session_dir/xvfb.log" 2>&1 &
pids+=($!)
wait_for test -s "$session_dir/display" || {
  echo "Xvfb did not start (see $session_dir/xvfb.log)" >&2
  exit 1
}
export DISPLAY=:$(head -n1 "$session_dir/display")

status=0
"$@" || status=$?
exit $status
