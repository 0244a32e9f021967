#!/usr/bin/env bash
# Installs what is needed, builds, and starts Tessarine on its simulated scale.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
# Only what it starts: tests and benchmarks take minutes on a small machine.
cmake --build --preset default --target tessarine
exec ./build/src/app/tessarine --simulate-scale "$@"
