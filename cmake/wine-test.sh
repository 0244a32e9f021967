#!/usr/bin/env bash
# Runs one Windows test program under Wine, as CTest's command for it:
#   wine-test.sh PROGRAM.exe [ARGUMENTS...]
# Qt Test writes its log to a file beside PROGRAM (a program's standard output does not
# reach a pipe through Wine), which is printed afterwards. The test passes only when the
# program exits with 0 and its log ends with totals of no failure, so that neither a
# lost exit code nor a program that died half-way counts as a pass.
# From CTest's environment: WINEPREFIX; TESSARINE_WINE; TESSARINE_WINE_PATH and
# TESSARINE_WINE_FONTS, Linux folders given to the program as its PATH and QT_QPA_FONTDIR;
# optionally TESSARINE_NULL_MODEM=comA:comB, two COM ports joined like a null-modem
# cable while the program runs (two pseudo-terminals that socat connects).
set -uo pipefail
program=$1
shift

# Z: is the Linux root in every Wine prefix.
windows_path() { local path=${1//\//\\}; echo "Z:$path"; }

path=""
IFS=: read -r -a dirs <<<"${TESSARINE_WINE_PATH:-}"
for dir in "${dirs[@]}"; do
    path+="$(windows_path "$dir");"
done
export WINEPATH=$path
export WINEQT_QPA_PLATFORM=${WINEQT_QPA_PLATFORM:-offscreen}
[[ -n ${TESSARINE_WINE_FONTS:-} ]] && export WINEQT_QPA_FONTDIR=$(windows_path "$TESSARINE_WINE_FONTS")
export WINEDEBUG=${WINEDEBUG:--all}

log=$(mktemp "${program%.exe}.XXXXXX.txt")
socat_pid=""
cleanup() {
    rm -f "$log"
    if [[ -n $socat_pid ]]; then
        kill "$socat_pid" 2>/dev/null
        rm -f "$devices/$port_a" "$devices/$port_b"
    fi
}
trap cleanup EXIT

if [[ -n ${TESSARINE_NULL_MODEM:-} ]]; then
    devices=$WINEPREFIX/dosdevices
    IFS=: read -r port_a port_b <<<"$TESSARINE_NULL_MODEM"
    rm -f "$devices/$port_a" "$devices/$port_b"
    socat "PTY,link=$devices/$port_a,raw,echo=0" "PTY,link=$devices/$port_b,raw,echo=0" \
        </dev/null >/dev/null 2>&1 &
    socat_pid=$!
    for _ in $(seq 100); do
        [[ -e $devices/$port_a && -e $devices/$port_b ]] && break
        sleep 0.05
    done
fi

"${TESSARINE_WINE:-wine}" "$program" "$@" -o "$(windows_path "$log"),txt"
status=$?
cat "$log"

if ((status != 0)); then
    echo "wine-test: $(basename "$program") exited with $status"
    exit "$status"
fi
if ! grep -Eq '^Totals: [0-9]+ passed, 0 failed' "$log"; then
    echo "wine-test: $(basename "$program") left no totals without failures"
    exit 1
fi
