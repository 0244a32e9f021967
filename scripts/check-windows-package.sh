#!/usr/bin/env bash
# Unpacks the Windows ZIP into a clean Wine prefix, where nothing of the build can be
# found, and starts tessarine.exe --version there: a DLL or plugin missing from the
# package fails it. Runs the installer there silently, twice (the second over the
# first), starts the installed program likewise, uninstalls it silently, and reads each
# program's version, manifest and icon back. Every Wine step is bounded in time.
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
trap 'echo "Windows package check FAILED at line $LINENO" >&2; "$wineserver" -k 2>/dev/null' ERR
# Until the prefix's last program ends: the uninstaller goes on as a copy of itself.
run() { timeout 180 "$wine" "$@" </dev/null >/dev/null 2>&1 && timeout 120 "$wineserver" -w; }
# A fresh prefix's first boot now and then fails on a loaded machine: once more from scratch.
boot() {
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    run wineboot --init
}
boot || boot
run reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
c=$WINEPREFIX/drive_c
mkdir "$c/Eigene Dateien" && echo kept >"$c/Eigene Dateien/A B.txt"
run reg add 'HKLM\Software\Tessarine\tessarine' /v port /d COM3 /f
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
for pass in install upgrade; do
    run "$name.exe" /S
    entries=$(timeout 60 "$wine" reg query "$uninstall" /s | tr -d '\r' | sed 's/ *REG_[A-Z_]* */=/')
    [[ $(grep -c DisplayName=Tessarine <<<"$entries") == 1 ]]
done
mkdir -p "$WINEPREFIX/drive_c/Program Files"
(cd "$WINEPREFIX/drive_c/Program Files" && cmake -E tar xf "$OLDPWD/$zip")

# Started from a console (script(1) lends it a terminal), it prints there; the terminal's
# cursor moves are taken out of what it printed.
for folder in "$name" Tessarine; do
    status=0
    printed=$(timeout 120 script -qec "'$wine' 'C:\\Program Files\\$folder\\tessarine.exe' --version" \
                  /dev/null </dev/null | sed -e 's/\x1b\[1C/ /g' -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r') ||
        status=$?
    "$wineserver" -k 2>/dev/null || true
    echo "$folder in a clean prefix: tessarine.exe --version -> ${printed:-nothing} (exit $status)"
    [[ $status -eq 0 && $printed == *"Tessarine $version"* ]]
done

link="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessarine/Tessarine.lnk"
[[ -f $link && -f $c/Program\ Files/Tessarine/Uninstall.exe ]]
entry="DisplayIcon=C:.Program Files.Tessarine.tessarine.exe .*DisplayName=Tessarine .*"
entry+="DisplayVersion=$version .*EstimatedSize=0x.*Publisher=$(grep -m1 -o 'The .*' ../LICENSE)"
[[ $(grep -A20 'Uninstall\\Tessarine$' <<<"$entries" | sort | tr '\n' ' ') =~ $entry ]]
run 'C:\Program Files\Tessarine\Uninstall.exe' /S
[[ ! -e $c/Program\ Files/Tessarine && ! -e $link && $(cat "$c/Eigene Dateien/A B.txt") == kept ]]
! timeout 60 "$wine" reg query "$uninstall\\Tessarine" >/dev/null
timeout 60 "$wine" reg query 'HKLM\Software\Tessarine\tessarine' | grep -q COM3
"$wineserver" -k 2>/dev/null || true

/usr/bin/python3 - "$version" "$(grep -m1 ^Copyright ../LICENSE)" "$c/Program Files/$name"/*.exe <<"PY"
import sys, pefile
for exe in sys.argv[3:]:
    pe, data = pefile.PE(exe), open(exe, "rb").read()
    s = {k.decode(): v.decode() for t in pe.FileInfo[0][0].StringTable for k, v in t.entries.items()}
    res = {t.id: [str(e.name) for e in t.directory.entries] for t in pe.DIRECTORY_ENTRY_RESOURCE.entries}
    assert s["FileVersion"] == s["ProductVersion"] == sys.argv[1] and s["ProductName"] == "Tessarine", exe
    assert s["LegalCopyright"] == sys.argv[2] and s["FileDescription"] and b'"asInvoker"' in data, exe
    assert b"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" in data and 24 in res, exe
    assert res.get(14) == (["IDI_ICON1"] if exe.endswith("/tessarine.exe") else None), exe
PY
echo "Windows package check: 3 passed, 0 failed"
