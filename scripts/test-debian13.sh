#!/usr/bin/env bash
# Runs `make test` (or the command given) on Debian 13 "trixie", in a root made by debootstrap and
# kept outside the clone for the next run. The clone is mounted into the root at its own path and
# builds into build/debian13.
#   test-debian13.sh [COMMAND...]
#   VOSTREL_DEBIAN13_ROOT  where the root lives (default /var/lib/vostrel/debian13)
#   VOSTREL_CLONE          the clone to test (default the one holding this script)
#   DEBIAN_MIRROR          where debootstrap fetches from (default http://deb.debian.org/debian)
# Needs root. Its mounts live in a private mount namespace and its programs in a PID namespace of
# their own, so that however it ends nothing stays mounted and nothing runs on.
set -euo pipefail

root=${VOSTREL_DEBIAN13_ROOT:-/var/lib/vostrel/debian13}
clone=$(cd "${VOSTREL_CLONE:-$(dirname "$0")/..}" && pwd -P)
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ $# -gt 0 ] || set -- make test

say() { echo "test-debian13: $*" >&2; }

if [ "$(id -u)" != 0 ]; then
  say "needs root (debootstrap, chroot and mounts); run it as root"
  exit 1
fi
mkdir -p "$(dirname "$root")"
root=$(cd "$(dirname "$root")" && pwd -P)/$(basename "$root")
case "$root/" in
  "$clone"/*)
    say "the root $root must be outside the clone $clone"
    exit 1
    ;;
esac

# Removes a folder, but never one with anything mounted at or below it (as this mount namespace
# sees it): that would delete through the mount.
remove_unmounted() {
  if awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { found = 1 } END { exit !found }' \
    /proc/self/mounts; then
    say "something is mounted inside $1; not removing it"
    exit 1
  fi
  rm -rf "$1"
}

make_root() {
  local part=$root.part
  if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends debootstrap >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get install -y -qq --no-install-recommends debootstrap >/dev/null; }
  fi
  remove_unmounted "$part"
  say "making a Debian 13 root in $root (some minutes, once)"
  # debootstrap mounts inside the new root for a while: in a namespace of its own, those mounts
  # end with it even when it is stopped half-way.
  unshare --mount --propagation private -- debootstrap --variant=minbase \
    --include=make,ca-certificates trixie "$part" "$mirror" >"$root.log" 2>&1 || {
    tail -n 20 "$root.log" >&2
    say "debootstrap failed (log: $root.log)"
    exit 1
  }
  cat >"$part/etc/apt/sources.list" <<EOF
deb $mirror trixie main
deb $mirror trixie-updates main
EOF
  chroot "$part" dpkg --add-architecture i386
  touch "$part/.vostrel-ready"
  mv "$part" "$root"
}

# One run makes the root; runs that find it made share it.
exec 8>"$root.lock"
if [ ! -f "$root/.vostrel-ready" ]; then
  flock 8
  if [ ! -f "$root/.vostrel-ready" ]; then
    # A root without its mark is half made, or not ours to reuse.
    remove_unmounted "$root"
    make_root
  fi
  flock -u 8
fi
flock -s 8
cp /etc/resolv.conf "$root/etc/resolv.conf"

# A worktree keeps its repository elsewhere: that is mounted too, for git inside.
common=$(git -C "$clone" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
case "$common/" in "$clone"/* | /) common= ;; esac

# The script becomes unshare, and unshare takes its namespace down with it: whoever stops the
# run stops all of it.
# shellcheck disable=SC2016
exec unshare --mount --propagation private --pid --fork --kill-child -- bash -c '
  set -eu
  root=$1 clone=$2 common=$3
  shift 3
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  for dir in "$clone" $common; do
    mkdir -p "$root$dir"
    mount --bind "$dir" "$root$dir"
  done
  cd /
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    TERM="${TERM:-dumb}" CI="${CI:-}" BUILD=build/debian13 \
    /bin/bash -c "cd \"\$0\" && exec \"\$@\"" "$clone" "$@"
' test-debian13 "$root" "$clone" "$common" "$@"
