#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# As root it runs apt-get itself; otherwise it prints the line to run and stops.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libsqlite3-dev
          libgtest-dev libgmock-dev libbenchmark-dev sqlite3
          libuchardet-dev mdbtools-dev libquazip1-qt6-dev
          xvfb xauth imagemagick fonts-liberation poppler-utils
          clang libclang-rt-14-dev
          desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:"
  echo "  apt-get install -y ${missing[*]}"
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q || true
apt-get install -y -q "${missing[@]}"
