#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tessarine need.
set -euo pipefail
cd "$(dirname "$0")"
export DEBIAN_FRONTEND=noninteractive
apt-get update
xargs -a debian-packages.txt apt-get install -y --no-install-recommends
# Debian's nodejs comes without npm, the one of nodesource with it: npm only where missing.
command -v npm >/dev/null || apt-get install -y --no-install-recommends npm
# The hospital peers of the link tests (MLLP receiver and sender, FHIR server), as locked.
npm ci --prefix ../tests/peers --no-audit --no-fund
