#!/usr/bin/env bash
# Runs every fuzz target for a bounded time on a copy of its seed corpus. Any crash,
# leak or sanitizer report makes libFuzzer exit non-zero, and this script with it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-10}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in scaleframe framesplitter numbertext cp1252 personfile gdtrequest; do
    mkdir -p "$work/$target"
    echo "== fuzz_$target for ${seconds}s"
    ./build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "$work/$target" "fuzz/corpus/$target" 2>"$work/$target.log" ||
        { tail -n 60 "$work/$target.log"; exit 1; }
    grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
done
