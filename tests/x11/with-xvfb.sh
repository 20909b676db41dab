#!/usr/bin/env bash
# Runs a command on a headless X server of its own (Xvfb), never on the
# user's desktop: the window tests click and type into what they open.
# The server picks a free display number itself (-displayfd), so several
# tests can run at once. Usage: with-xvfb.sh COMMAND [ARG ...]
set -uo pipefail

command -v Xvfb >/dev/null || { echo "with-xvfb.sh: Xvfb is missing (Debian package xvfb)" >&2; exit 1; }
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "with-xvfb.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
[ -s "$work/display" ] || { echo "with-xvfb.sh: Xvfb gave no display" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
# A settings folder of the run's own and no desktop scale: editors open at
# 100 % unless a test says otherwise.
export XDG_CONFIG_HOME="$work/config"
unset GDK_SCALE
"$@"
