#!/usr/bin/env bash
# The main job against the built-in modem simulator: a whole firmware update
# of a simulated modem (MODEL=... picks one of `wizard-cli demo --list`).
# With a display and the Qt wizard built, the wizard's window does it;
# otherwise the text front end.
set -euo pipefail
BUILD=${1:-build}
MODEL=${2:-}
args=(demo)
if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && [ -x "$BUILD/bin/Wizard" ]; then
  args+=(--gui)
fi
if [ -n "$MODEL" ]; then
  args+=(--model "$MODEL")
fi
exec "$BUILD/bin/wizard-cli" "${args[@]}"
