#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and packaging Lindora need
# (dpkg-dev reads the programs' library dependencies for the package; the validators and man
# check what it installs).
# Only missing packages are installed; when nothing is missing it prints nothing.
set -euo pipefail

packages=(
  g++ make cmake
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev
  xvfb xauth
  clang-14 libclang-rt-14-dev
  dpkg-dev desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo to get: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have no package lists yet: update once and retry when the install fails.
if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null; then
  $sudo apt-get update -q >/dev/null
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi
