#!/usr/bin/env bash
# Private X server for headless runs and tests.
#
#   xserver.sh start [--xvfb] [--owner PID]
#                               start a server on a free display; prints
#                               "DISPLAY PID" (for example ":3 12345"); with
#                               --owner the server is stopped when PID ends
#   xserver.sh stop PID         stop the server started with that PID
#
# The default server is Xorg with the dummy video driver and the committed
# 1024x768 @ 75 Hz configuration (GLUT game mode works there). --xvfb starts
# Xvfb instead, whose modes carry no refresh rate (game mode fails there); its
# screen is 1024x768x24 unless XVFB_SCREEN names another (for example 1700x800x24).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

start() {
  local kind="" owner=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --xvfb) kind="--xvfb" ;;
      --owner) owner="$2"; shift ;;
    esac
    shift
  done
  local logdir="${XSERVER_LOGDIR:-${TMPDIR:-/tmp}}"
  local fifo; fifo="$(mktemp -u "${TMPDIR:-/tmp}/xserver-fd.XXXXXX")"
  mkfifo "$fifo"
  exec 3<>"$fifo"
  rm -f "$fifo"
  local pid
  if [ "$kind" = "--xvfb" ]; then
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
      >"$logdir/xvfb-$$.log" 2>&1 3>&3 &
    pid=$!
  else
    Xorg -displayfd 3 -config "$here/xorg/dummy-1024x768.conf" \
      -configdir /nonexistent-xorg-conf.d -noreset -nolisten tcp \
      -logfile "$logdir/xorg-dummy-$$.log" >"$logdir/xorg-dummy-$$.out" 2>&1 3>&3 &
    pid=$!
  fi
  local num=""
  if ! read -r -t 20 num <&3; then
    kill "$pid" 2>/dev/null || true
    echo "xserver.sh: the X server did not start (see $logdir)" >&2
    exit 1
  fi
  exec 3>&-
  # Wait until clients can connect.
  local i
  for i in $(seq 1 100); do
    if [ -S "/tmp/.X11-unix/X$num" ]; then break; fi
    sleep 0.1
  done
  if [ -n "$owner" ]; then
    # Stops the server when its owner is gone (crashed or killed test processes included)
    ( while kill -0 "$owner" 2>/dev/null && kill -0 "$pid" 2>/dev/null; do sleep 1; done
      kill "$pid" 2>/dev/null ) </dev/null >/dev/null 2>&1 &
  fi
  echo ":$num $pid"
}

stop() {
  local pid="$1"
  kill "$pid" 2>/dev/null || exit 0
  local i
  for i in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || exit 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

case "${1:-}" in
  start) shift; start "$@" ;;
  stop) shift; stop "$1" ;;
  *) echo "usage: $0 start [--xvfb] [--owner PID] | stop PID" >&2; exit 2 ;;
esac
