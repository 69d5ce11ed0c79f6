#!/usr/bin/env bash
# A headless PulseAudio server with a null sink as its default output, so the
# tests and CI can play real audio without a sound card.
#
#   scripts/test-audio.sh [start] [--no-settle] [DIR]
#                                         start it (or find it running); prints
#                                         the PULSE_SERVER line to use
#   scripts/test-audio.sh stop [DIR]      stop the server started in DIR
#   scripts/test-audio.sh status [DIR]    exit 0 when it answers
#
# DIR holds the server's socket, pid and log; default /tmp/vellumtone-pulse-$UID.
# Clients reach it with PULSE_SERVER=unix:DIR/native (the tests change
# XDG_CONFIG_HOME, so the usual socket lookup would not find it).
#
# Works as root too: the daemon runs in user mode (--system=false) with its
# own runtime folder, and accepts clients without a cookie.
set -euo pipefail

command=start
case "${1:-}" in
  start|stop|status) command=$1; shift ;;
esac
settle=yes
if [ "${1:-}" = --no-settle ]; then
  settle=no
  shift
fi
dir=${1:-/tmp/vellumtone-pulse-$(id -u)}
socket="$dir/native"
server="unix:$socket"
sink=vellumtone_null
clock=vellumtone_clock

answers() { PULSE_SERVER=$server pactl info >/dev/null 2>&1; }
ctl() { PULSE_SERVER=$server pactl "$@"; }

# The null sink only keeps low latency while some stream asks for it; without
# that a new stream waits up to two seconds for its first sound. A loopback
# from its monitor into a second null sink keeps it running like a real device.
# Even so, the very first stream a fresh sink plays waits about two seconds;
# start plays a moment of silence to get that over with, unless told
# --no-settle (for tests that measure no latency).
ensure_sinks() {
  if ! ctl list short sinks | awk '{print $2}' | grep -qx "$sink"; then
    ctl load-module module-null-sink sink_name=$sink \
      sink_properties=device.description=Vellumtone-Null-Output >/dev/null
  fi
  if ! ctl list short sinks | awk '{print $2}' | grep -qx "$clock"; then
    ctl load-module module-null-sink sink_name=$clock >/dev/null
    ctl load-module module-loopback source=$sink.monitor sink=$clock latency_msec=20 >/dev/null
  fi
  ctl set-default-sink $sink
  ctl set-default-source $sink.monitor
}

start() {
  if answers; then
    ensure_sinks
    echo "PULSE_SERVER=$server"
    return 0
  fi
  if ! command -v pulseaudio >/dev/null; then
    echo "test-audio: pulseaudio is not installed (scripts/setup.sh installs it)" >&2
    return 1
  fi
  mkdir -p "$dir"
  chmod 700 "$dir"
  rm -f "$socket"
  # HOME and the runtime and state paths point into DIR, so nothing of the
  # user's own audio set-up is read or changed.
  HOME="$dir" PULSE_RUNTIME_PATH="$dir" PULSE_STATE_PATH="$dir" XDG_CONFIG_HOME="$dir/config" \
    pulseaudio --daemonize=yes --system=false --exit-idle-time=-1 -n \
      --use-pid-file=yes --log-target=file:"$dir/log" \
      --load="module-native-protocol-unix socket=$socket auth-anonymous=1"
  for _ in $(seq 50); do
    answers && break
    sleep 0.1
  done
  if ! answers; then
    echo "test-audio: the server did not answer; see $dir/log" >&2
    return 1
  fi
  ensure_sinks
  if [ "$settle" = yes ] && command -v pacat >/dev/null; then
    head -c 4410 /dev/zero |
      PULSE_SERVER=$server pacat --raw --rate=22050 --channels=1 --format=s16le >/dev/null 2>&1 || true
  fi
  echo "PULSE_SERVER=$server"
}

# True while the process runs (a zombie left for its parent to reap counts as gone).
running() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

stop() {
  local pidfile="$dir/pid"
  if [ -f "$pidfile" ]; then
    local pid
    pid=$(cat "$pidfile")
    if running "$pid" && grep -q pulseaudio "/proc/$pid/comm" 2>/dev/null; then
      kill "$pid"
      for _ in $(seq 50); do
        running "$pid" || break
        sleep 0.05
      done
    fi
  fi
  rm -f "$socket" "$pidfile"
}

case $command in
  start) start ;;
  stop) stop ;;
  status) answers ;;
esac
