#!/usr/bin/env bash
# Runs a command against a wine prefix of its own whose desktop is on the
# X server of DISPLAY (run it under xvfb-run): wine keeps a prefix's
# desktop on the display it first started on, so windowed programs need a
# prefix that no display-less run has started before.
#   wine-gui-run.sh PREFIX PORT LINK COMMAND...
# The prefix is made anew with COM port PORT mapped to LINK (see
# wine-prefix.sh), and its server stopped afterwards.
set -euo pipefail
prefix=$1 port=$2 link=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-gui-run.sh: no DISPLAY (run it under xvfb-run)" >&2
  exit 2
fi
export WINEPREFIX=$prefix
"$here/wine-prefix.sh" start "$prefix" "$port" "$link"
status=0
"$@" || status=$?
"$here/wine-prefix.sh" stop "$prefix"
exit $status
