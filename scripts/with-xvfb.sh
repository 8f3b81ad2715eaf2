#!/usr/bin/env bash
# Runs a command inside an X server of its own (Xvfb, 24-bit colour, room for
# the double-scale editor). The server picks a free display number itself,
# so runs starting at the same moment never share or fight over one.
set -euo pipefail

number_file="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$number_file"' EXIT

for _ in $(seq 100); do
  [ -s "$number_file" ] && break
  kill -0 "$server" 2>/dev/null || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
number="$(head -n 1 "$number_file")"
[ -n "$number" ] || { echo "with-xvfb: Xvfb gave no display" >&2; exit 1; }

DISPLAY=":$number" "$@"
