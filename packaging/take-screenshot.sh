#!/usr/bin/env bash
# Takes the software centre's screenshot of the main window. Run it on an X display of its own
# (xvfb-run): BREVANT starts in a throwaway home, so it shows the shipped default files, and
# WINDOW_SHOT saves its window once painted.
# Usage: take-screenshot.sh BREVANT WINDOW_SHOT OUTPUT.png
set -euo pipefail
brevant=$1 window_shot=$2 output=$3
export QT_QPA_PLATFORM=xcb
home=$(mktemp -d "${TMPDIR:-/tmp}/brevant-screenshot.XXXXXX")
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_DOWNLOAD_DIR HOME="$home" \
  "$brevant" >"$home/brevant.log" 2>&1 &
pid=$!
stop_brevant() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -rf "$home"
}
trap stop_brevant EXIT

window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name '^Brevant$' | head -n 1) || true
if [ -z "$window" ]; then
  cat "$home/brevant.log" >&2
  echo "Brevant showed no window." >&2
  exit 1
fi
"$window_shot" "$window" "$output"
