#!/usr/bin/env bash
# Runs `make test` (or the command given) on Debian 13 "trixie", in a root made by mmdebstrap and
# kept outside the clone for the next run; bwrap runs the command with that root as /, the clone
# at its own path, building into build/debian13.
#   test-debian13.sh [COMMAND...]
#   VOSTREL_DEBIAN13_ROOT  where the root lives (default /var/lib/vostrel/debian13)
#   VOSTREL_CLONE          the clone to test (default the one holding this script)
#   DEBIAN_MIRROR          the root's package mirror (default http://deb.debian.org/debian)
# Needs root. Each step runs in namespaces that die with the script: however it ends (SIGTERM,
# SIGINT, SIGHUP or SIGKILL), nothing stays mounted or running. It deletes only a root it marked.
set -euo pipefail

root=${VOSTREL_DEBIAN13_ROOT:-/var/lib/vostrel/debian13}
clone=$(cd "${VOSTREL_CLONE:-$(dirname "$0")/..}" && pwd -P)
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ $# -gt 0 ] || set -- make test
die() { echo "test-debian13: $*" >&2; exit 1; }
[ "$(id -u)" = 0 ] || die "needs root (mmdebstrap and bwrap mount as root); run it as root"
# Symlinks resolved, so that the checks below see the folders that get written and removed.
root=$(realpath -m -- "$root")
part=$root.part
# near_clone DIR: DIR is the clone, holds it (as / does), or lies inside it.
near_clone() { [[ $clone/ == "${1%/}"/* || $1/ == "$clone"/* ]]; }
! near_clone "$root" || die "the root $root must be outside the clone $clone, and not hold it"
# A root appears whole (moved in with its mark): a folder there without the mark is not ours.
{ [ -e "$root" ] || [ -L "$root" ]; } && [ ! -f "$root/.vostrel-ready" ] &&
  die "$root is there but is not a root made by this script (no .vostrel-ready); not touching it"
if ! command -v mmdebstrap >/dev/null || ! command -v bwrap >/dev/null; then
  echo "test-debian13: installing mmdebstrap and bubblewrap" >&2
  install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends)
  "${install[@]}" mmdebstrap bubblewrap >/dev/null 2>&1 ||
    { apt-get update -qq && "${install[@]}" mmdebstrap bubblewrap >/dev/null; }
fi
# On SIGINT bash waits for a foreground child, and goes on if it did not die of it. So the steps
# that wait run in the background (their INT no longer ignored), and TERM, INT or HUP end this
# script in `wait` at once; each dies with it (setpriv --pdeathsig), and bwrap takes all in its
# namespaces along (--die-with-parent).
background() { env --default-signal=INT,QUIT setpriv --pdeathsig KILL "$@" <&0 & wait $!; }
sandbox() { background bwrap --die-with-parent --unshare-pid "$@"; }
make_root() {
  local log=$part/.vostrel-mmdebstrap.log
  if [ -e "$part" ] || [ -L "$part" ]; then
    { [ -L "$part" ] || [ ! -f "$part/.vostrel-made" ] || near_clone "$part"; } &&
      die "$part is not a half-made root made by this script; not removing it"
    # rm --one-file-system goes through a bind mount of the same file system: findmnt tells.
    while read -r mounted; do
      printf -v mounted %b "$mounted"
      [[ $mounted/ != "$part"/* ]] || die "something is mounted inside $part; not removing it"
    done < <(findmnt -rno TARGET)
    rm -rf --one-file-system "$part"
  fi
  echo "test-debian13: making a Debian 13 root in $root (under a minute, once)" >&2
  # The mark goes in at once: only a folder bearing it is this script's to remove.
  mkdir "$part"
  touch "$part/.vostrel-made"
  sandbox --dev-bind / / --proc /proc mmdebstrap --variant=minbase --skip=check/empty \
    --architectures="$(dpkg --print-architecture),i386" --include=make,ca-certificates,bubblewrap \
    trixie "$part" "deb $mirror trixie main" "deb $mirror trixie-updates main" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; die "mmdebstrap failed (log: $log)"; }
  touch "$part/.vostrel-ready"
  mv -T "$part" "$root"
}
# One run makes the root, the others share it; opened to append, a file there keeps what it holds.
mkdir -p "$(dirname "$root")"
exec 8>>"$root.lock"
if [ ! -f "$root/.vostrel-ready" ]; then
  background flock 8
  if [ ! -f "$root/.vostrel-ready" ]; then make_root; fi
fi
background flock -s 8
# A worktree keeps its repository elsewhere: that is bound too, for git inside.
common=$(git -C "$clone" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || echo /)
binds=(--bind "$clone" "$clone")
[[ $common/ == "$clone"/* || $common == / ]] || binds+=(--bind "$common" "$common")
# The root bound at / is a mount point, so unshare works inside (tests use it).
sandbox --bind "$root" / --dev /dev --perms 1777 --tmpfs /dev/shm --proc /proc --ro-bind /sys /sys \
  --ro-bind /etc/resolv.conf /etc/resolv.conf "${binds[@]}" --chdir "$clone" \
  /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
  TERM="${TERM:-dumb}" CI="${CI:-}" BUILD=build/debian13 "$@"
