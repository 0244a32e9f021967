#!/usr/bin/env bash
# Builds the Debian package as a packager would (package preset: Debian's hardening
# flags, no paths of this machine), checks it with lintian and the freedesktop
# validators, installs exactly this build - also over an installed package of the
# same version - and starts the installed program without a display.
set -euo pipefail
cd "$(dirname "$0")/.."
passed=0
check() { # description, command...
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "package check FAILED: $what" >&2
        exit 1
    fi
}

echo "== building the package"
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build-package/tessarine_*.deb
(cd build-package && cpack -G DEB >/dev/null)
deb="$(ls build-package/tessarine_*.deb)"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)"
echo "built $deb (version $version)"

# Every compilation had the fortify and stack-protector flags (lintian checks the
# binaries for unfortified calls).
commands=build-package/compile_commands.json
check "every source compiled with _FORTIFY_SOURCE and -fstack-protector-strong" \
    test "$(grep -c '"command"' $commands)" -eq "$(grep '"command"' $commands |
        grep -e '-D_FORTIFY_SOURCE=' | grep -c -e '-fstack-protector-strong')"

echo "== lintian"
# Informational tags are shown too; errors and warnings fail the check. The
# overridden tags (data/debian/lintian-overrides, each with its reason) are listed
# by a second run, as showing them makes lintian count them.
check "lintian: no error, no warning" lintian --display-info --fail-on error,warning "$deb"
lintian --show-overrides "$deb" | grep '^O: ' || true
description="$(dpkg-deb -f "$deb" Description)"
check "extended description" test "$(wc -l <<<"$description")" -ge 3

echo "== installing"
# --reinstall: an installed package of the same version would otherwise stay.
DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall --no-install-recommends \
    "./$deb" >/dev/null
unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for program in tessarine tessarine-scale-sim tessarine-gdt; do
    check "installed $program is the one just built" \
        cmp "$unpacked/usr/bin/$program" "/usr/bin/$program"
    check "$program holds no path of the source tree" \
        bash -c "! strings -a /usr/bin/$program | grep -F '$PWD'"
    check "$program: full RELRO" bash -c "readelf -lW /usr/bin/$program | grep -q GNU_RELRO"
    check "$program: bind now" bash -c "readelf -dW /usr/bin/$program | grep -Eq 'BIND_NOW|FLAGS_1.*NOW'"
    check "$program: stack protector" \
        bash -c "nm -D /usr/bin/$program | grep -q __stack_chk_fail"
    check "manual page of $program" test -s "/usr/share/man/man1/$program.1.gz"
done

echo "== the installed program, without a display"
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
check "--version says $version" test "$(headless /usr/bin/tessarine --version)" = "Tessarine $version"
check "--help in German" bash -c "env -u DISPLAY -u QT_QPA_PLATFORM /usr/bin/tessarine --help | grep -q '^Optionen:'"
check "--list-ports" headless /usr/bin/tessarine --list-ports
status=0
headless /usr/bin/tessarine --bogus 2>/dev/null || status=$?
check "a wrong option exits with 2" test "$status" -eq 2

echo "== installed files"
for n in 0 1 2 3 4 5; do
    check "rating file bmi$n.txt" test -s "/usr/share/tessarine/ratings/bmi$n.txt"
done
check "desktop entry without a hint" \
    test -z "$(desktop-file-validate /usr/share/applications/tessarine.desktop 2>&1)"
metainfo="$(ls /usr/share/metainfo/*.metainfo.xml | grep -F tessarine)"
check "AppStream metainfo" appstreamcli validate --no-net "$metainfo"
check "metainfo has release $version" grep -q "<release version=\"$version\"" "$metainfo"
check "copyright" test -s /usr/share/doc/tessarine/copyright
check "changelog.Debian.gz" test -s /usr/share/doc/tessarine/changelog.Debian.gz
check "settings example" test -s /usr/share/doc/tessarine/examples/tessarine.conf
echo "package check: $passed passed, 0 failed"
