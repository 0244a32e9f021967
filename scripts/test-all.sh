#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test: the whole suite built with
# AddressSanitizer/UndefinedBehaviorSanitizer, the Debian package (built with Debian's
# flags, lintian-clean, installed and started), the Windows build with its suite under
# Wine and its packages, and every fuzz target for a bounded time.
# The release build of the suite is not run again here: the sanitizer build runs the
# same tests and finds more, and the Windows run is an optimised build of them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
SECONDS=0
lap() { echo "== $1 done after $((SECONDS / 60)) min $((SECONDS % 60)) s"; }

echo "== sanitizer build and tests"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
lap "sanitizer build and tests"

echo "== package"
bash scripts/check-package.sh
lap "package"

echo "== Windows"
# The Windows Qt is not in this repository but beside it (see README); a checkout
# without it still runs everything else, and says loudly what it left out.
if [[ -f ${TESSARINE_QT_MINGW_ARCHIVE:-../shared/toolchains/qt6-mingw-6.4.2.tar.xz} ||
      -f ${QT_MINGW_ROOT:-/opt/qt6-mingw}/lib/cmake/Qt6/Qt6Config.cmake ]]; then
    bash scripts/test-windows.sh
    lap "Windows"
else
    echo "== Windows: NOT RUN: no Windows Qt in ${QT_MINGW_ROOT:-/opt/qt6-mingw} and no" \
         "archive ../shared/toolchains/qt6-mingw-6.4.2.tar.xz beside this repository"
fi

echo "== fuzzing"
cmake --preset fuzz
cmake --build --preset fuzz
bash scripts/run-fuzzers.sh
lap "fuzzing"
