#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Proves the README's set-up on a fresh Debian system: makes a minimal root of RELEASE (bookworm,
# trixie, ...) with debootstrap from the Debian mirror this machine's apt sources already name,
# copies the tree in without its build folders, installs only make and a virtual display, and
# runs the README's two commands as written. First `make run` under the display: the game must
# start and still be running after a few seconds, having installed none of the packages only the
# tests need and built no test; it says how long it took and how many packages it installed.
# Then `make test`; a test skipped for a missing tool fails the run too. Needs root. Everything it
# made is removed when it ends, also on failure or interruption.
#
#   scripts/fresh-root-test.sh trixie
#
# ROOT_PARENT (default build-fresh/ in the tree) is where the root is made; KEEP_ROOT=1 leaves it
# for a look; RUN_SECONDS (default 8) is how long the game must keep running.
set -euo pipefail

release=${1:?usage: fresh-root-test.sh RELEASE}
source_tree=$(cd "$(dirname "$0")/.." && pwd)
run_seconds=${RUN_SECONDS:-8}
[ "$(id -u)" -eq 0 ] || { echo "fresh-root-test.sh: needs root (debootstrap, chroot)" >&2; exit 1; }

say() { printf '[%s %s] %s\n' "$release" "$(date +%T)" "$*"; }

# The Debian archive of the host's apt sources, in either the one-line or the deb822 form.
debian_mirror() {
  local files=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
  local found
  found=$(cat "${files[@]}" 2>/dev/null |
    grep -oE '(^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?|^URIs:[[:space:]]*)[a-z]+://[^[:space:]]+' |
    grep -oE '[a-z]+://[^[:space:]]+' | grep -E '/debian/?$' | head -n 1)
  [ -n "$found" ] || { echo "no Debian archive in this machine's apt sources" >&2; return 1; }
  echo "${found%/}"
}

if ! command -v debootstrap >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q --no-install-recommends debootstrap >/dev/null ||
    { apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends debootstrap >/dev/null; }
fi

mirror=$(debian_mirror)
root_parent=${ROOT_PARENT:-$source_tree/build-fresh}
mkdir -p "$root_parent"
root=$(mktemp -d "$root_parent/$release.XXXXXX")
chmod 755 "$root"  # apt downloads as its own user, which must reach into the root
game_pid=""
step_pid=""

# The processes running inside the root, by their root directory.
root_pids() {
  local pid
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && echo "$pid"
  done
  return 0
}
game_running() {
  local pid
  for pid in $(root_pids); do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = lindora ] && return 0
  done
  return 1
}

# Unmounts what was mounted in the root, deepest first, then removes it. rm never crosses into a
# file system still mounted there, so the host's /dev cannot be reached through the root.
cleanup() {
  local status=$?
  set +e
  for group in $step_pid $game_pid; do kill -- "-$group" 2>/dev/null; done
  rm -f "$root.debootstrap.log"
  # Processes still running inside the root (the display server, a game) would keep it busy.
  for pid in $(root_pids); do kill -9 "$pid" 2>/dev/null; done
  for mount in $(findmnt -rn -o TARGET | grep -F "$root/" | sort -r); do
    umount "$mount" 2>/dev/null || umount -l "$mount"
  done
  if [ "${KEEP_ROOT:-0}" = 1 ]; then
    say "root kept in $root"
  elif ! findmnt -rn -o TARGET | grep -qF "$root/"; then
    rm -rf --one-file-system "$root"
  else
    say "not removing $root: something is still mounted in it" >&2
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A long step runs as a process group of its own, waited for in the background: an interruption
# is then acted on at once, and the cleanup can stop the whole step.
step() {
  setsid "$@" &
  step_pid=$!
  local status=0
  wait "$step_pid" || status=$?
  step_pid=""
  return "$status"
}
in_root() { step chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
  LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive "$@"; }

say "debootstrap --variant=minbase $release from $mirror"
step debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.debootstrap.log" 2>&1 || {
  tail -n 20 "$root.debootstrap.log" >&2
  rm -f "$root.debootstrap.log"
  exit 1
}
rm -f "$root.debootstrap.log"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"

say "copying the tree into /root/lindora, without its build folders"
mkdir -p "$root/root/lindora"
tar -C "$source_tree" --exclude='./build' --exclude='./build-*' -cf - . |
  tar -C "$root/root/lindora" -xf -

say "installing make"
in_root apt-get update -q >/dev/null
in_root apt-get install -y -q --no-install-recommends make >/dev/null

# make run comes first, as a newcomer types it: it is to install only what the game needs and to
# build only the game, and make test after it the rest.
say "make run under a virtual display, from nothing built to the game running for $run_seconds s"
in_root apt-get install -y -q --no-install-recommends xvfb xauth >/dev/null
packages_before=$(chroot "$root" dpkg-query -W -f='${Status}\n' | grep -c ' installed$')
run_started=$SECONDS
setsid chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  TERM=dumb /bin/sh -c 'cd /root/lindora && exec xvfb-run -a make run' >"$root/run.log" 2>&1 &
game_pid=$!
# make run installs its packages and builds the game first; the game itself starts after that.
while ! game_running && kill -0 "$game_pid" 2>/dev/null &&
  [ $((SECONDS - run_started)) -lt 3600 ]; do
  sleep 0.5
done
game_started=$((SECONDS - run_started))
game_running && sleep "$run_seconds"
if ! game_running; then
  tail -n 80 "$root/run.log" | sed "s/^/[$release] /"
  say "the game is not running $run_seconds s after it started"
  exit 1
fi
packages_after=$(chroot "$root" dpkg-query -W -f='${Status}\n' | grep -c ' installed$')
say "the game started $game_started s after make run began, which installed" \
  "$((packages_after - packages_before)) packages; stopping it"
kill -- "-$game_pid" 2>/dev/null || true
wait "$game_pid" 2>/dev/null || true
game_pid=""
# The test-only packages, and the tests and benchmarks, wait for make test.
for package in libgtest-dev libbenchmark-dev clang libclang-rt-dev clang-format appstream \
  lintian; do
  if chroot "$root" dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
    grep -q ' installed$'; then
    say "make run installed $package, which only the tests need"
    exit 1
  fi
done
if [ -e "$root/root/lindora/build/tests" ] || [ -e "$root/root/lindora/build/bench" ]; then
  say "make run built the tests or the benchmarks"
  exit 1
fi

say "make test"
if ! in_root /bin/sh -c 'cd /root/lindora && make test' >"$root/test.log" 2>&1; then
  tail -n 80 "$root/test.log" | sed "s/^/[$release] /"
  say "make test FAILED"
  exit 1
fi
grep -E 'tests passed|\*\*\*Skipped' "$root/test.log" | sed "s/^/[$release] /"
# install-deps.sh is to install every tool a test uses: on a fresh system nothing may be skipped.
if grep -q 'The following tests did not run' "$root/test.log"; then
  sed -n '/The following tests did not run/,/^$/p' "$root/test.log" | sed "s/^/[$release] /"
  grep -h '^SKIPPED: ' "$root/root/lindora/build/Testing/Temporary/LastTest.log" |
    sed "s/^/[$release] /" || true
  say "make test skipped tests: install-deps.sh misses what they need"
  exit 1
fi
say "passed"
