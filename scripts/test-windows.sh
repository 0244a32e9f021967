#!/usr/bin/env bash
# The Windows build, made and tested here: cross-compiles program and tests with
# MinGW-w64 against the shared Windows Qt, runs every test under Wine, builds the ZIP
# and the installer, and takes both as a station does in a clean Wine prefix (unpacked,
# installed, installed over, uninstalled). The Windows Qt is unpacked to QT_MINGW_ROOT (default /opt/qt6-mingw) from
# shared/toolchains/qt6-mingw-6.4.2.tar.xz beside this repository, unless it is there.
set -euo pipefail
cd "$(dirname "$0")/.."
qt_root=${QT_MINGW_ROOT:-/opt/qt6-mingw}
archive=${TESSARINE_QT_MINGW_ARCHIVE:-../shared/toolchains/qt6-mingw-6.4.2.tar.xz}

if [[ ! -f $qt_root/lib/cmake/Qt6/Qt6Config.cmake ]]; then
    if [[ ! -f $archive ]]; then
        echo "No Windows Qt in $qt_root, and no archive $archive to unpack it from" \
             "(set QT_MINGW_ROOT or TESSARINE_QT_MINGW_ARCHIVE)." >&2
        exit 1
    fi
    echo "== unpacking $archive to $qt_root"
    archive=$(realpath "$archive")
    mkdir -p "$(dirname "$qt_root")"
    unpacked=$(mktemp -d "$(dirname "$qt_root")/.qt6-mingw.XXXXXX")
    (cd "$unpacked" && cmake -E tar xf "$archive")
    mv "$unpacked/qt6-mingw" "$qt_root"
    rmdir "$unpacked"
fi

echo "== Windows build, tests under Wine"
cmake --preset windows -DQT_MINGW_ROOT="$qt_root"
cmake --build --preset windows
ctest --preset windows

echo "== Windows packages"
(cd build-windows && cpack -G ZIP && cpack -G NSIS)
bash scripts/check-windows-package.sh
