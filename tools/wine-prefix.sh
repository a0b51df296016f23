#!/usr/bin/env bash
# The wine prefix of one run of the Windows tests, in the build tree.
#   wine-prefix.sh start PREFIX PORT LINK
#       makes PREFIX anew, maps COM port PORT (COM5) to LINK, the path at
#       which the modem simulator links its pseudo-terminal, and starts the
#       prefix's wine server for the whole run
#   wine-prefix.sh ensure PREFIX PORT LINK
#       the same, but keeps a prefix made before that maps PORT to LINK
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

# True when the prefix exists and maps the port to the link already.
maps_port() {
  [ -f "$WINEPREFIX/system.reg" ] && [ "$(readlink "$WINEPREFIX/dosdevices/${1,,}" 2>/dev/null)" = "$2" ]
}

case $action in
  ensure)
    if maps_port "$3" "$4"; then
      "$server" -p </dev/null >/dev/null 2>&1 || true
      exit 0
    fi
    exec "$0" start "$2" "$3" "$4"
    ;;
  start)
    port=$3
    link=$4
    "$server" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
    "$wine" reg add 'HKLM\Software\Wine\Ports' /v "$port" /t REG_SZ /d "$link" /f >/dev/null
    # The port map is read when the prefix's services start: once more, with
    # a server that stays for the whole run.
    "$server" -k 2>/dev/null || true
    "$server" -w
    # The server, and the services the next command starts, stay after this
    # script: none of them may keep its output open.
    "$server" -p </dev/null >/dev/null 2>&1
    listing=$WINEPREFIX/serial-ports.txt
    "$wine" reg query 'HKLM\Hardware\DeviceMap\SerialComm' </dev/null >"$listing" 2>/dev/null || true
    if ! grep -q "$port" "$listing"; then
      echo "wine does not list $port among its serial ports" >&2
      exit 1
    fi
    echo "wine prefix $WINEPREFIX: $port is $link"
    ;;
  stop)
    "$server" -k 2>/dev/null || true
    "$server" -w 2>/dev/null || true
    ;;
  *)
    echo "usage: $0 start|ensure PREFIX PORT LINK | stop PREFIX" >&2
    exit 2
    ;;
esac
