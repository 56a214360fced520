#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing, fuzzing and packaging Lindora need:
# the compilers (clang for the second build and libFuzzer, with its runtime libraries), CMake,
# GoogleTest and Google Benchmark, Qt 6 (whose development package brings the OpenGL headers),
# clang-format for `make format`, and for the package dpkg-dev, which reads the programs' library
# dependencies, and the validators and man, which check what it installs.
# Only missing packages are installed; when nothing is missing it prints nothing.
set -euo pipefail

packages=(
  g++ make cmake git
  libgtest-dev libbenchmark-dev
  qt6-base-dev
  clang-14 libclang-rt-14-dev clang-format
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
