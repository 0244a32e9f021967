#!/bin/bash
# Tessarine's cost beside that of a plain Qt window that only sets two texts per frame
# (plainscalewindow), measured the same way in the same run, with the accessibility bus
# on (a D-Bus session of its own with the AT-SPI bus, Qt's bridge forced on):
#
# - start: from starting each program to its window on the screen (startclock), with
#   Tessarine's settings file, rating files and an exchange directory; resident memory then;
# - CPU: each program reads its own pseudo-terminal, fed by its own
#   `tessarine-scale-sim --rate 240 --paced`; both run at once on one X server (Xvfb, or
#   the offscreen platform with QT_QPA_PLATFORM=offscreen), and their utime+stime from
#   /proc/PID/stat is read over the same SECONDS; then Tessarine alone once more with a
#   busy exchange directory (5,000 files, a file created and removed every 50 ms);
# - frame to field: bench_scale's ptyStreamToField (the real window on a pseudo-terminal
#   at 240 frames a second) while `stress` keeps both cores busy, with a quiet and with
#   a busy exchange directory: mean, 99th percentile and slowest of 960 frames a round.
#
#   bench/cpu-share.sh [BUILD_DIR [SECONDS [ROUNDS]]]    defaults: build 10 1
set -euo pipefail

if [[ -z ${CPU_SHARE_BUS:-} ]]; then
    export CPU_SHARE_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

build=${1:-build}
seconds=${2:-10}
rounds=${3:-1}
tessarine=$build/src/app/tessarine
plain=$build/bench/plainscalewindow
sim=$build/src/scale/sim/tessarine-scale-sim
clock=$build/bench/startclock
scale=$build/bench/bench_scale
for program in "$tessarine" "$plain" "$sim" "$clock" "$scale"; do
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
echo "platform $QT_QPA_PLATFORM, accessibility bus on, load before: $(cut -d' ' -f1-3 /proc/loadavg)"

# Tessarine's settings: the support log, where its start mark goes.
export XDG_CONFIG_HOME=$work/config XDG_CONFIG_DIRS=$work/no-station-settings
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$XDG_RUNTIME_DIR"
export QT_LOGGING_RULES=tessarine.app.debug=true
mkdir -p "$XDG_CONFIG_HOME/Tessarine" "$work/gdt"
printf '[General]\nlogFile=%s/tessarine.log\n' "$work" >"$XDG_CONFIG_HOME/Tessarine/tessarine.conf"

# A practice's busy exchange directory: 5,000 files and a file created and removed
# every 50 ms by another program, for as long as this script runs.
mkdir -p "$work/busy"
(cd "$work/busy" && seq -f 'PRAX%04g.DAT' 0 4999 | xargs touch)
(while :; do sleep 0.05; : >"$work/busy/churn.tmp"; rm -f "$work/busy/churn.tmp"; done) &
pids+=($!)

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

# Starts a program under startclock; sets $started to "PID SECONDS KIB".
start_clocked() {
    local file=$1 marker=$2
    shift 2
    started=$("$clock" "$file" "$marker" "$@")
    pids+=("${started%% *}")
}

hz=$(getconf CLK_TCK)
cpu() { # percent of a core from two tick counts
    awk -v t=$(($2 - $1)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", 100 * t / hz / s }'
}

for round in $(seq "$rounds"); do
    for gdt in gdt busy; do
        start_sim "t$round$gdt"
        tty_tessarine=$tty
        mkdir -p "$work/data$round$gdt"
        start_clocked "$work/tessarine.log" "Fenster gezeigt" "$tessarine" \
            --port "$tty_tessarine" --data-dir "$work/data$round$gdt" --gdt-dir "$work/$gdt"
        read -r tessarine_pid tessarine_start tessarine_kib <<<"$started"
        : >"$work/tessarine.log"
        plain_pid=
        if [[ $gdt == gdt ]]; then
            start_sim "p$round"
            start_clocked "$work/plain.out" "gezeigt" "$plain" "$tty"
            read -r plain_pid plain_start plain_kib <<<"$started"
            : >"$work/plain.out"
        fi
        sleep 2 # start-up is not the steady state

        t0=$(ticks "$tessarine_pid")
        [[ -n $plain_pid ]] && p0=$(ticks "$plain_pid")
        sleep "$seconds"
        t1=$(ticks "$tessarine_pid")
        [[ -n $plain_pid ]] && p1=$(ticks "$plain_pid")
        if [[ $gdt == gdt ]]; then
            ts=$(cpu "$t0" "$t1")
            ps=$(cpu "$p0" "$p1")
            awk -v r="$round" -v s="$seconds" -v ts="$ts" -v ps="$ps" -v tstart="$tessarine_start" \
                -v pstart="$plain_start" -v tkib="$tessarine_kib" -v pkib="$plain_kib" 'BEGIN {
                printf "round %d start to shown window: tessarine %.3f s (%.0f MB), plain window %.3f s (%.0f MB)\n",
                       r, tstart, tkib / 1024, pstart, pkib / 1024
                printf "round %d CPU at 240 frames/s over %d s: tessarine %.1f %%, plain window %.1f %%, ratio %.2f\n",
                       r, s, ts, ps, (ps > 0 ? ts / ps : 0) }'
        else
            echo "round $round CPU at 240 frames/s with a busy exchange directory: tessarine $(cpu "$t0" "$t1") %"
        fi
        kill "$tessarine_pid" $plain_pid 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$tessarine_pid" 2>/dev/null && sleep 0.1; done
    done
done

# Frame to field on a loaded machine; the churn of the busy directory is the benchmark's own.
stress --cpu 2 >/dev/null 2>&1 &
stress_pid=$!
pids+=("$stress_pid")
sleep 1
echo "frame to field while stress --cpu 2 runs (load $(cut -d' ' -f1 /proc/loadavg)):"
"$scale" --benchmark_filter=ptyStreamToField --benchmark_format=json 2>/dev/null |
    awk -F'"' 'function show() {
            if (name != "")
                printf "  %s exchange directory: mean %.2f ms, p99 %.2f ms, slowest %.2f ms%s\n",
                       (name ~ /\/1/ ? "busy " : "quiet"), value["real_time"], value["p99_ms"],
                       value["slowest_ms"], value["error_message"]
            delete value }
        /"name":/ { show(); name = $4 }
        /"real_time"|"p99_ms"|"slowest_ms"/ { split($0, v, ": "); value[$2] = v[2] + 0 }
        /"error_message"/ { value[$2] = ", " $4 }
        END { show() }'
kill "$stress_pid"
