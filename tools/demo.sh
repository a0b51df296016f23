#!/usr/bin/env bash
# The main job against the built-in modem simulator: a whole firmware update
# of a simulated modem (MODEL=... picks one of `wizard-cli demo --list`).
set -euo pipefail
BUILD=${1:-build}
MODEL=${2:-}
if [ -n "$MODEL" ]; then
  exec "$BUILD/bin/wizard-cli" demo --model "$MODEL"
fi
exec "$BUILD/bin/wizard-cli" demo
