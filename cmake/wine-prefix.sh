#!/usr/bin/env bash
# The Wine prefix the Windows tests run in, as CTest's fixture:
#   wine-prefix.sh create   a fresh prefix at $WINEPREFIX and a server kept running
#   wine-prefix.sh stop     ends that prefix's server and every program still in it
set -euo pipefail
: "${WINEPREFIX:?}"
wine=${TESSARINE_WINE:-wine}
wineserver=${TESSARINE_WINESERVER:-wineserver}
export WINEDEBUG=-all
# No Mono, no Gecko, no menu entries: none of them is needed, all of them take time.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

case ${1:-} in
create)
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
    # Wine's null display driver: no X display is needed, and no program waits for an
    # Explorer that cannot start without one.
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    # Setting up leaves a second service manager behind, and with it no RPC service
    # starts (each program touching COM then waits 10 s for it): start afresh, with a
    # server that stays for all tests.
    "$wineserver" -k
    "$wineserver" -w
    "$wineserver" --persistent </dev/null >/dev/null 2>&1
    # The session's services start with the first program; started here, they hold no
    # test's output open (CTest would wait for it).
    "$wine" net start rpcss </dev/null >/dev/null 2>&1
    echo "fresh Wine prefix $WINEPREFIX"
    ;;
stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
*)
    echo "usage: $0 create|stop" >&2
    exit 2
    ;;
esac
