#!/usr/bin/env bash
# Builds the Debian package from the default build, installs it on this machine and
# starts the installed program, as an operator's machine would get it.
set -euo pipefail
cd "$(dirname "$0")/.."
(cd build && cpack -G DEB >/dev/null)
deb="$(ls -t build/tessarine_*.deb | head -n 1)"
echo "== installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "./$deb" >/dev/null
version="$(QT_QPA_PLATFORM=offscreen /usr/bin/tessarine --version)"
echo "installed: $version"
[[ "$version" == Tessarine\ * ]]
for n in 0 1 2 3 4 5; do
    test -s "/usr/share/tessarine/ratings/bmi$n.txt"
done
test -s /usr/share/applications/tessarine.desktop
test -x /usr/bin/tessarine-scale-sim
test -x /usr/bin/tessarine-gdt
echo "package check: 1 passed, 0 failed"
