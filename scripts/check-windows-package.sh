#!/usr/bin/env bash
# Unpacks the Windows ZIP into a clean Wine prefix, where nothing of the build can be
# found, and starts tessarine.exe --version there: a DLL or plugin missing from the
# package fails it. Checks that the installer has its Start-menu entry and uninstaller
# (its NSIS stub is a 32-bit program, which a 64-bit-only Wine does not run).
set -euo pipefail
cd "$(dirname "$0")/../build-windows"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
zip=$(ls -t tessarine-*-win64.zip | head -n 1)
name=$(basename "$zip" .zip)
version=${name#tessarine-}
version=${version%-win64}

export WINEPREFIX=$PWD/package-check WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
"$wineserver" -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/Program Files"
(cd "$WINEPREFIX/drive_c/Program Files" && cmake -E tar xf "$OLDPWD/$zip")

# Started from a console (script(1) lends it a terminal), it prints there; the terminal's
# cursor moves are taken out of what it printed.
status=0
printed=$(script -qec "'$wine' 'C:\\Program Files\\$name\\tessarine.exe' --version" /dev/null \
              </dev/null | sed -e 's/\x1b\[1C/ /g' -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r') ||
    status=$?
"$wineserver" -k 2>/dev/null || true
echo "ZIP in a clean prefix: tessarine.exe --version -> ${printed:-nothing} (exit $status)"
[[ $status -eq 0 && $printed == *"Tessarine $version"* ]]

nsi=_CPack_Packages/win64/NSIS/project.nsi
test -s "$name.exe"
grep -q 'CreateShortCut "$SMPROGRAMS\\$STARTMENU_FOLDER\\Tessarine.lnk" "$INSTDIR\\.\\tessarine.exe"' "$nsi"
grep -q 'WriteUninstaller "$INSTDIR\\Uninstall.exe"' "$nsi"
echo "Windows package check: 1 passed, 0 failed"
