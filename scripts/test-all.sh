#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the unit and window tests
# in the release build, the Debian package (built with Debian's flags, lintian-clean,
# installed and started), the Windows build's tests under Wine and its package, every
# fuzz target for a bounded time, and the whole test suite again under
# AddressSanitizer/UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

echo "== release build and tests"
cmake --workflow --preset test

echo "== package"
bash scripts/check-package.sh

echo "== Windows"
bash scripts/test-windows.sh

echo "== fuzzing"
cmake --preset fuzz
cmake --build --preset fuzz
bash scripts/run-fuzzers.sh

echo "== sanitizer build and tests"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
