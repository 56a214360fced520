#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that Lindora needs, on Debian 12 and 13 alike, in two sets:
#
#   scripts/install-deps.sh run   building and running the game (`make run`)
#   scripts/install-deps.sh all   that and everything else (`make test` and the other targets)
#
# The run set is the compiler, CMake, Qt 6 (whose development package brings the OpenGL
# headers), a font with the game's CJK captions and full-width marks, and dpkg-dev, whose
# dpkg-buildflags gives Debian's hardening flags: with it the game is built as `make test` and the
# package build it, so a later `make test` reuses what `make run` compiled. The rest adds
# GoogleTest and Google Benchmark, the release's own clang for the second build and libFuzzer
# (with its runtime libraries), clang-format and git for `make format`, and for the package file,
# which reads the programs' library dependencies, and the validators, lintian and man, which
# check what it holds.
# Only unversioned names are used, so that each release gets its own default versions.
# Only missing packages are installed, with apt's own progress; when nothing is missing it prints
# nothing.
set -euo pipefail

run_packages=(
  g++ make cmake
  qt6-base-dev
  fonts-wqy-microhei
  dpkg-dev
)
more_packages=(
  git
  libgtest-dev libbenchmark-dev
  clang libclang-rt-dev clang-format
  file binutils desktop-file-utils appstream man-db lintian
)

case "${1:-all}" in
  run)
    packages=("${run_packages[@]}")
    purpose="to build and run the game (make test installs the rest)"
    ;;
  all)
    packages=("${run_packages[@]}" "${more_packages[@]}")
    purpose="to build, run and test everything"
    ;;
  *)
    echo "usage: install-deps.sh [run|all]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps.sh: installing ${missing[*]} (and what they depend on) $purpose"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root or install sudo to get: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# A fresh machine may have no package lists yet, or old ones: update first when there are none,
# and once more when the install fails. The second try shows why the first one failed.
if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
  echo "install-deps.sh: no package lists yet; apt-get update first"
  $sudo apt-get update
fi
if ! $sudo apt-get install -y --no-install-recommends "${missing[@]}" 2>/dev/null; then
  echo "install-deps.sh: the install failed; apt-get update, then again"
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
