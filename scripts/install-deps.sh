#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Tessarine need.
set -euo pipefail
cd "$(dirname "$0")"
export DEBIAN_FRONTEND=noninteractive
apt-get update
xargs -a debian-packages.txt apt-get install -y --no-install-recommends
