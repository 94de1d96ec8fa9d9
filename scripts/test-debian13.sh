#!/usr/bin/env bash
# Runs `make test` (or the command given) on Debian 13 "trixie", in a root made by debootstrap and
# kept outside the clone for the next run. The clone is mounted into the root at its own path and
# builds into build/debian13.
#   test-debian13.sh [COMMAND...]
#   VOSTREL_DEBIAN13_ROOT  where the root lives (default /var/lib/vostrel/debian13)
#   VOSTREL_CLONE          the clone to test (default the one holding this script)
#   DEBIAN_MIRROR          where debootstrap fetches from (default http://deb.debian.org/debian)
# Needs root. Its mounts live in private mount namespaces and its programs in PID namespaces of
# their own, so that however it ends (SIGTERM, SIGINT, SIGHUP or SIGKILL) nothing stays mounted
# and nothing runs on. It deletes only a half-made root that it marked as its own on making it.
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
# Symlinks resolved, so that the checks below see the folders that get written and removed.
root=$(realpath -m -- "$root")
part=$root.part

# near_clone DIR: DIR is the clone, holds it, or lies inside it.
near_clone() {
  local dir=${1%/}/
  case "$clone/" in "$dir"*) return 0 ;; esac
  case "$dir" in "$clone"/*) return 0 ;; esac
  return 1
}
if near_clone "$root"; then
  say "the root $root must be outside the clone $clone, and not hold it"
  exit 1
fi
mkdir -p "$(dirname "$root")"

# Removes the half-made root of an earlier run: only a folder this script marked as its own on
# making it, and never one with anything mounted at or below it (as this mount namespace sees it),
# which would delete through the mount.
remove_part() {
  local mounted
  if [ -L "$part" ] || [ ! -f "$part/.vostrel-made" ] || near_clone "$part"; then
    say "$part is not a half-made root made by this script; not removing it"
    exit 1
  fi
  while read -r _ mounted _; do
    # The file writes a space, tab, newline and backslash as octal escapes. %b would read \0401
    # as \0 and three digits, so each \0 gets another 0 first.
    printf -v mounted %b "${mounted//\\0/\\00}"
    case "$mounted/" in "$part"/*)
      say "something is mounted inside $part; not removing it"
      exit 1
      ;;
    esac
  done </proc/self/mounts
  rm -rf --one-file-system "$part"
}

# Runs a command in mount and PID namespaces of its own. unshare ignores SIGTERM and SIGINT, so it
# runs in the background while this script waits: on TERM, INT or HUP the script kills the
# namespace's first process, whose end takes the rest of the namespace with it, and then dies of
# that signal. If the script itself is killed, unshare gets SIGKILL (--pdeathsig), and so does its
# child (--kill-child).
in_namespaces() {
  local sig status=0
  for sig in TERM INT HUP; do
    # shellcheck disable=SC2064
    trap "stop_namespaces $sig" "$sig"
  done
  # A command run with & would ignore SIGINT and SIGQUIT, and read /dev/null.
  setpriv --pdeathsig KILL env --default-signal=INT,QUIT \
    unshare --mount --propagation private --pid --fork --kill-child -- "$@" <&0 &
  wait $! || status=$?
  trap - TERM INT HUP
  return $status
}
stop_namespaces() {
  local pid init
  for pid in $(jobs -p); do
    init=
    read -r init _ 2>/dev/null <"/proc/$pid/task/$pid/children" || true
    kill -KILL "${init:-$pid}" 2>/dev/null || true
  done
  wait || true
  trap - "$1"
  kill -"$1" $$
}

make_root() {
  local log=$part/.vostrel-debootstrap.log
  if ! command -v debootstrap >/dev/null; then
    say "installing debootstrap"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends debootstrap >/dev/null 2>&1 ||
      { apt-get update -qq && apt-get install -y -qq --no-install-recommends debootstrap >/dev/null; }
  fi
  if [ -e "$part" ] || [ -L "$part" ]; then
    remove_part
  fi
  say "making a Debian 13 root in $root (some minutes, once)"
  # The mark goes in at once: only a folder bearing it is this script's to remove.
  mkdir "$part"
  touch "$part/.vostrel-made"
  # debootstrap mounts inside the new root for a while: in namespaces of its own, those mounts and
  # its programs end with it, even when it is stopped half-way.
  in_namespaces debootstrap --variant=minbase --include=make,ca-certificates trixie "$part" \
    "$mirror" >"$log" 2>&1 || {
    tail -n 20 "$log" >&2
    say "debootstrap failed (log: $log)"
    exit 1
  }
  cat >"$part/etc/apt/sources.list" <<EOF
deb $mirror trixie main
deb $mirror trixie-updates main
EOF
  chroot "$part" dpkg --add-architecture i386
  touch "$part/.vostrel-ready"
  mv -T "$part" "$root"
}

# A root appears whole (moved in with its mark): a folder there without the mark is not ours.
if { [ -e "$root" ] || [ -L "$root" ]; } && [ ! -f "$root/.vostrel-ready" ]; then
  say "$root is there but is not a root made by this script (no .vostrel-ready); not touching it"
  exit 1
fi
# One run makes the root; runs that find it made share it. The lock file is opened to append, so
# that a file of that name already there keeps what it holds.
exec 8>>"$root.lock"
if [ ! -f "$root/.vostrel-ready" ]; then
  flock 8
  if [ ! -f "$root/.vostrel-ready" ]; then
    make_root
  fi
  flock -u 8
fi
flock -s 8
cp /etc/resolv.conf "$root/etc/resolv.conf"

# A worktree keeps its repository elsewhere: that is mounted too, for git inside.
common=$(git -C "$clone" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || true)
case "$common/" in "$clone"/* | /) common= ;; esac

# shellcheck disable=SC2016
in_namespaces bash -c '
  set -eu
  root=$1 clone=$2 common=$3
  shift 3
  # The root made a mount point, as / is outside a chroot: unshare inside (tests do) needs that.
  mount --bind "$root" "$root"
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
