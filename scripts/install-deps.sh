#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running, testing, fuzzing and packaging Lindora
# need, on Debian 12 and 13 alike: the compilers (the release's own clang for the second build
# and libFuzzer, with its runtime libraries), CMake, GoogleTest and Google Benchmark, Qt 6 (whose
# development package brings the OpenGL headers), clang-format for `make format`, a font with the
# game's CJK captions and full-width marks, and for the package dpkg-dev and file, which read the
# programs' library dependencies, and the validators, lintian and man, which check what it holds.
# Only unversioned names are used, so that each release gets its own default versions.
# Only missing packages are installed; when nothing is missing it prints nothing.
set -euo pipefail

packages=(
  g++ make cmake git
  libgtest-dev libbenchmark-dev
  qt6-base-dev
  clang libclang-rt-dev clang-format
  fonts-wqy-microhei
  dpkg-dev file binutils desktop-file-utils appstream man-db lintian
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
