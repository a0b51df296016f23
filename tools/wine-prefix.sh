#!/usr/bin/env bash
# The wine prefix of one run of the Windows tests, in the build tree.
#   wine-prefix.sh start PREFIX PORT LINK [PORT LINK ...]
#       makes PREFIX anew, maps each COM port PORT (COM5) to its LINK, the
#       path at which a modem simulator links its pseudo-terminal, and
#       starts the prefix's wine server for the whole run
#   wine-prefix.sh ensure PREFIX PORT LINK [PORT LINK ...]
#       the same, but keeps a prefix made before that maps the ports so
#   wine-prefix.sh stop PREFIX
#       stops that server and every program still running in the prefix
# WINELOADER and WINESERVER name wine's loader and server (the test run
# sets them); WINEDEBUG=-all keeps wine quiet.
set -euo pipefail
action=$1
export WINEPREFIX=$2
export WINEDEBUG=-all
wine=${WINELOADER:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
server=${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}
export WINELOADER=$wine

# True when the prefix exists and maps every port to its link already.
maps_ports() {
  [ -f "$WINEPREFIX/system.reg" ] || return 1
  while [ $# -ge 2 ]; do
    [ "$(readlink "$WINEPREFIX/dosdevices/${1,,}" 2>/dev/null)" = "$2" ] || return 1
    shift 2
  done
}

case $action in
  ensure)
    shift 2
    if maps_ports "$@"; then
      "$server" -p </dev/null >/dev/null 2>&1 || true
      exit 0
    fi
    exec "$0" start "$WINEPREFIX" "$@"
    ;;
  start)
    shift 2
    mapping=("$@")
    "$server" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
    for ((i = 0; i + 1 < ${#mapping[@]}; i += 2)); do
      "$wine" reg add 'HKLM\Software\Wine\Ports' /v "${mapping[i]}" /t REG_SZ \
        /d "${mapping[i + 1]}" /f >/dev/null
    done
    # The port map is read when the prefix's services start: once more, with
    # a server that stays for the whole run.
    "$server" -k 2>/dev/null || true
    "$server" -w
    # The server, and the services the next command starts, stay after this
    # script: none of them may keep its output open.
    "$server" -p </dev/null >/dev/null 2>&1
    listing=$WINEPREFIX/serial-ports.txt
    "$wine" reg query 'HKLM\Hardware\DeviceMap\SerialComm' </dev/null >"$listing" 2>/dev/null || true
    for ((i = 0; i + 1 < ${#mapping[@]}; i += 2)); do
      if ! grep -q "${mapping[i]}" "$listing"; then
        echo "wine does not list ${mapping[i]} among its serial ports" >&2
        exit 1
      fi
      echo "wine prefix $WINEPREFIX: ${mapping[i]} is ${mapping[i + 1]}"
    done
    ;;
  stop)
    "$server" -k 2>/dev/null || true
    "$server" -w 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start|ensure PREFIX PORT LINK [PORT LINK ...] | stop PREFIX" >&2
    exit 2
    ;;
esac
