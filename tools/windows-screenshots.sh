#!/usr/bin/env bash
# Pictures of Wizard.exe's five pages in both looks, in English and German,
# under wine on Xvfb, into docs/screenshots/windows/ (see README).
#   windows-screenshots.sh BUILD BUILD_WINDOWS [OUT_DIR]
# BUILD is the Linux build (its modemsim serves the COM port), BUILD_WINDOWS
# the Windows one. The program's test autopilot walks the sheet with manual
# selection and takes each page's picture itself.
set -euo pipefail
BUILD=$(cd "${1:-build}" && pwd)
BUILD_WINDOWS=$(cd "${2:-build-windows}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
OUT=${3:-$here/../docs/screenshots/windows}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$BUILD" "$BUILD_WINDOWS" "$OUT"
fi

export WINEDEBUG=-all
export WINELOADER=${WINELOADER:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
prefix=$BUILD_WINDOWS/wine-prefix-screenshots
link=$prefix-com7
dir=$(mktemp -d "${TMPDIR:-/tmp}/wizard-screenshots-XXXXXX")
win() { echo "Z:${1//\//\\}"; }

run() {
  rm -f "$link"
  "$BUILD/bin/wizard-cli" demo --serve "$dir" --link "$link" >"$dir/serve.log" 2>&1 &
  local serve=$!
  for _ in $(seq 100); do
    grep -q "until stopped" "$dir/serve.log" 2>/dev/null && break
    sleep 0.1
  done
  # The demo's files (Wizard.inf, firmware) made once by the Windows demo.
  if [ ! -f "$dir/Wizard.inf" ]; then
    "$WINELOADER" "$BUILD_WINDOWS/bin/wizard-cli.exe" demo --dir "$(win "$dir")" --port COM7 >/dev/null
  fi
  for lang in en de; do
    for look in new old; do
      rm -rf "$dir/shots"
      mkdir -p "$dir/shots"
      locale=C.UTF-8
      [ "$lang" = de ] && locale=de_DE.UTF-8
      LANG=$locale WIZARD_TEST_AUTOPILOT="$(win "$dir/pilot.log")" WIZARD_TEST_ANSWER_BOXES=1 \
        WIZARD_TEST_MANUAL=1 WIZARD_TEST_SCREENSHOTS="$(win "$dir/shots")" \
        "$WINELOADER" "$BUILD_WINDOWS/bin/Wizard.exe" "/${look}wiz" \
        --config "$(win "$dir/Wizard.inf")" --ports COM7
      local n=1
      for page in 1105:welcome 1108:configuration 1109:selection 1106:search 1112:update; do
        python3 "$here/windows_images.py" png "$dir/shots/${page%%:*}.bmp" \
          "$OUT/$lang-$look-$n-${page#*:}.png"
        n=$((n + 1))
      done
      echo "$OUT/$lang-$look-*.png"
    done
  done
  kill "$serve" 2>/dev/null || true
  wait "$serve" 2>/dev/null || true
}

status=0
"$here/wine-gui-run.sh" "$prefix" COM7 "$link" bash -c "$(declare -f run win); \
  BUILD='$BUILD' BUILD_WINDOWS='$BUILD_WINDOWS' OUT='$OUT' dir='$dir' link='$link' here='$here' \
  WINELOADER='$WINELOADER' run" || status=$?
rm -rf "$dir"
exit $status
