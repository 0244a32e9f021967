#!/bin/bash
# CPU share of Tessarine while the scale sends 240 frames a second, beside that of a
# plain Qt window that only sets two texts per frame (plainscalewindow), measured the
# same way in the same run: each program reads its own pseudo-terminal, fed by its
# own `tessarine-scale-sim --rate 240 --paced`; both run at the same time on one X
# server (Xvfb, or the offscreen platform with QT_QPA_PLATFORM=offscreen), and their
# utime+stime from /proc/PID/stat is read over the same SECONDS.
#
#   bench/cpu-share.sh [BUILD_DIR [SECONDS [ROUNDS]]]    defaults: build 10 1
set -euo pipefail

build=${1:-build}
seconds=${2:-10}
rounds=${3:-1}
tessarine=$build/src/app/tessarine
plain=$build/bench/plainscalewindow
sim=$build/src/scale/sim/tessarine-scale-sim
for program in "$tessarine" "$plain" "$sim"; do
    [[ -x $program ]] || { echo "cpu-share.sh: $program is not built" >&2; exit 2; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [[ ${QT_QPA_PLATFORM:-} != offscreen ]]; then
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 2>"$work/xvfb.log" &
    pids+=($!)
    for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")"
    export QT_QPA_PLATFORM=xcb
fi
export LC_ALL=C.UTF-8

# Starts a simulator (in this shell, so that cleanup ends it) and sets $tty to the path
# of its pseudo-terminal. It stops by itself a little after the measurement.
start_sim() {
    local out=$work/sim$1
    "$sim" --rate 240 --paced --empty 240 --count $(((seconds + 10) * 240)) >"$out" &
    pids+=($!)
    for _ in $(seq 50); do [[ -s $out ]] && break; sleep 0.1; done
    tty=$(head -n1 "$out")
}

ticks() { # utime + stime of a process, in clock ticks
    local stat
    stat=$(<"/proc/$1/stat")
    stat=${stat##*) }            # the fields after the command name
    read -r -a fields <<<"$stat" # fields[0] is field 3 (state)
    echo $((fields[11] + fields[12]))
}

hz=$(getconf CLK_TCK)
for round in $(seq "$rounds"); do
    start_sim "t$round"
    tty_tessarine=$tty
    start_sim "p$round"
    tty_plain=$tty
    mkdir -p "$work/data$round"
    "$tessarine" --port "$tty_tessarine" --data-dir "$work/data$round" &
    tessarine_pid=$!
    "$plain" "$tty_plain" &
    plain_pid=$!
    pids+=("$tessarine_pid" "$plain_pid")
    sleep 2 # start-up is not the steady state

    t0=$(ticks "$tessarine_pid")
    p0=$(ticks "$plain_pid")
    sleep "$seconds"
    t1=$(ticks "$tessarine_pid")
    p1=$(ticks "$plain_pid")

    awk -v t=$((t1 - t0)) -v p=$((p1 - p0)) -v hz="$hz" -v s="$seconds" -v r="$round" 'BEGIN {
        ts = 100 * t / hz / s; ps = 100 * p / hz / s
        printf "round %d over %d s: tessarine %.1f %% CPU, plain window %.1f %% CPU, ratio %.2f\n",
               r, s, ts, ps, (ps > 0 ? ts / ps : 0) }'
    kill "$tessarine_pid" "$plain_pid" 2>/dev/null || true
    wait "$tessarine_pid" "$plain_pid" 2>/dev/null || true
done
