#!/usr/bin/env bash
# The main job against the built-in modem simulator: start modemsim on a
# pseudo-terminal and let wizard-cli identify the modem on it.
set -euo pipefail
BUILD=${1:-build}
BIN="$BUILD/bin"
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT

"$BIN/modemsim" --model "ORVA 56K Serial" --version "1.00" > "$work/sim.out" &
sim=$!
for _ in $(seq 50); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
port=$(head -n1 "$work/sim.out")
echo "Simulated modem on $port"
"$BIN/wizard-cli" identify --port "$port"
