#!/usr/bin/env bash
# Installs what is missing, builds the viewer and the simulated camera (nothing else), starts the
# camera in the background and opens the viewer on it. The camera stops when the viewer closes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "pemblar needs a graphical display (set DISPLAY or WAYLAND_DISPLAY); none is available." >&2
  exit 1
fi

"$root/scripts/setup.sh"
# Only what this script runs, so the picture shows as soon as these three are built.
PEMBLAR_TARGETS="pemblar pemblar-camera pemblar-seed-history" "$root/scripts/build.sh" plain
bin="$root/build/plain"

port=${PEMBLAR_CAMERA_PORT:-5555}
"$bin/tools/pemblar-camera" --port "$port" &
camera=$!
trap 'kill "$camera" 2>/dev/null || true; wait "$camera" 2>/dev/null || true' EXIT

# On the first run (no history yet) the history holds the simulated camera's address and port.
"$bin/tools/pemblar-seed-history" 127.0.0.1 "$port"
"$bin/pemblar"
