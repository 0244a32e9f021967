#!/usr/bin/env bash
# Installs what is needed, builds, and starts Tessarine on its simulated scale.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
exec ./build/src/app/tessarine --simulate-scale "$@"
