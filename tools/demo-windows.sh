#!/usr/bin/env bash
# make demo-windows: wizard-cli.exe demo under wine, the way make demo runs
# on Linux. The simulated modem runs on the Linux side (wizard-cli demo
# --serve), on the pseudo-terminal the wine prefix of the Windows build
# knows as COM5; the Windows program updates it through COM5 and checks what
# it received in the directory both share.
set -euo pipefail
BUILD=${1:-build}
BUILD_WINDOWS=${2:-build-windows}
MODEL=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(cd "$BUILD_WINDOWS" && pwd)/wine-prefix
link=$prefix-com5
export WINEDEBUG=-all
export WINELOADER=${WINELOADER:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINEPREFIX=$prefix

"$here/wine-prefix.sh" ensure "$prefix" COM5 "$link"
dir=$(mktemp -d "${TMPDIR:-/tmp}/wizard-demo-windows-XXXXXX")
model=()
if [ -n "$MODEL" ]; then
  model=(--model "$MODEL")
fi
rm -f "$link"
"$BUILD/bin/wizard-cli" demo "${model[@]}" --serve "$dir" --link "$link" >"$dir/serve.log" 2>&1 &
serve=$!
cleanup() {
  kill "$serve" 2>/dev/null || true
  wait "$serve" 2>/dev/null || true
  "$here/wine-prefix.sh" stop "$prefix"
  rm -rf "$dir"
}
trap cleanup EXIT
for _ in $(seq 100); do
  if grep -q "until stopped" "$dir/serve.log" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
if ! grep -q "until stopped" "$dir/serve.log"; then
  cat "$dir/serve.log" >&2
  exit 1
fi
echo "\$ wine $BUILD_WINDOWS/bin/wizard-cli.exe demo ${model[*]} --dir Z:${dir//\//\\} --port COM5"
status=0
"$WINELOADER" "$BUILD_WINDOWS/bin/wizard-cli.exe" demo "${model[@]}" --dir "Z:${dir//\//\\}" \
  --port COM5 || status=$?
exit $status
