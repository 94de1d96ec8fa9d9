#!/usr/bin/env bash
# test-debian13.sh [COMMAND...]: runs `make test` (or COMMAND) on Debian 13 "trixie" in a root made
# by mmdebstrap, kept outside the clone for the next run, as bwrap's /, the clone at its own path.
#   VOSTREL_DEBIAN13_ROOT  where the root lives (default /var/lib/vostrel/debian13, a user's cache)
#   VOSTREL_CLONE          the clone to test (default the one holding this script)
#   DEBIAN_MIRROR          the root's package mirror (default: of the sources apt lists, the first
#                          for this machine's suite, main, whose Release says Origin: Debian; it
#                          must serve trixie)
# A user runs it as root of a user namespace holding its ids from /etc/subuid and subgid. Runs
# sharing a root wait on <root>.lock while one installs the tools and makes it. Deletes only a
# half-made root it marked, never through a mount or when findmnt fails. SIGTERM, SIGINT, SIGHUP
# end it at once (128+n), and with it (as with SIGKILL) all it runs in namespaces; apt-get,
# findmnt and rm, outside PID namespaces, finish.
set -euo pipefail
die() { echo "test-debian13: $*" >&2; exit 1; }
export LC_ALL=C
if [ "$(id -u)" != 0 ]; then
  # What the namespace needs and this machine lacks, each with the line that gives it (as root).
  lacks=() user=$(id -un) ns=
  type -P mmdebstrap bwrap newuidmap >/dev/null ||
    lacks+=("tools: apt-get install mmdebstrap bubblewrap uidmap")
  # unshare maps ids 1 to n - 1 from the first range under the user's name or uid; 65535 needed.
  ids=$(awk -F: -v u="$user" -v i="$(id -u)" '($1 == u || $1 == i) && !(FILENAME in n) {
    n[FILENAME] = $3 } $2 + $3 > top { top = $2 + $3 } END { top = top < 100000 ? 100000 : top
    if (n["/etc/subuid"] < 65536 || n["/etc/subgid"] < 65536) print top "-" top + 65535
  }' /etc/sub[ug]id 2>/dev/null) || ids=100000-165535
  [ -z "$ids" ] || lacks+=("subordinate ids, 65536 of each: usermod --del-subuids 1-4294967294 \
--del-subgids 1-4294967294 --add-subuids $ids --add-subgids $ids $user")
  grep -qsx 0 /proc/sys/kernel/unprivileged_userns_clone && ns=" kernel.unprivileged_userns_clone=1"
  grep -qsx 0 /proc/sys/user/max_user_namespaces && ns+=" user.max_user_namespaces=10000"
  # A chroot refuses them whatever those say; unshare -U starts no helper that could outlive it.
  [ -n "$ns" ] && lacks+=("user namespaces: sysctl -w$ns") || unshare -U true 2>/dev/null ||
    lacks+=("user namespaces, which this chroot or container refuses: run it outside")
  [ ${#lacks[@]} = 0 ] || die "a user's run lacks:$(printf '\n  %s' "${lacks[@]}")"
  # The same pid goes on as root inside, with the user's own root.
  VOSTREL_DEBIAN13_ROOT=${VOSTREL_DEBIAN13_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/vostrel/debian13} \
    exec unshare --map-auto --map-root-user bash "$0" "$@"
fi
# Symlinks resolved, so that the checks below see the folders that get written and removed.
root=$(realpath -m -- "${VOSTREL_DEBIAN13_ROOT:-/var/lib/vostrel/debian13}") part=$root.part
clone=$(cd "${VOSTREL_CLONE:-$(dirname "$0")/..}" && pwd -P)
[ $# -gt 0 ] || set -- make test
# near_clone DIR: DIR is the clone, holds it (as / does), or lies inside it.
near_clone() { [[ $clone/ == "${1%/}"/* || $1/ == "$clone"/* ]]; }
! near_clone "$root" || die "the root $root must be outside the clone $clone, and not hold it"
# A root appears whole (moved in with its mark): a folder there without the mark is not ours.
{ [ -e "$root" ] || [ -L "$root" ]; } && [ ! -f "$root/.vostrel-ready" ] &&
  die "$root is there but is not a root made by this script (no .vostrel-ready); not touching it"
# Steps that wait run in the background: INT ends bash at once in `wait`, not in a foreground step.
background() { "$@" <&0 & wait $!; }
install_tools() {
  echo "test-debian13: installing mmdebstrap and bubblewrap" >&2
  local install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends)
  "${install[@]}" mmdebstrap bubblewrap >/dev/null 2>&1 ||
    { apt-get update -qq && "${install[@]}" mmdebstrap bubblewrap >/dev/null; }
}
make_root() {
  local log=$part/.vostrel-mmdebstrap.log mirror mounts
  # This machine's Debian archive as apt lists it once apt-get update has read its Release: a
  # third party's source for a suite of the same name is not Debian's. Checked below for trixie.
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  mirror=${DEBIAN_MIRROR:-$(apt-get indextargets --format '$(REPO_URI)' 'Target-Of: deb' \
    'Origin: Debian' "Codename: $codename" 'Component: main' | sed -n 1p)}
  [ -n "$mirror" ] || die "apt lists no Debian archive for $codename main; set DEBIAN_MIRROR"
  if [ -e "$part" ] || [ -L "$part" ]; then
    { [ -L "$part" ] || [ ! -f "$part/.vostrel-made" ] || near_clone "$part"; } &&
      die "$part is not a half-made root made by this script; not removing it"
    # rm --one-file-system goes through a bind mount of the same file system: findmnt tells.
    mounts=$(findmnt -rno TARGET) || die "findmnt failed: not removing $part, unseen inside"
    while read -r mounted; do
      printf -v mounted %b "$mounted"
      [[ $mounted/ != "$part"/* ]] || die "something is mounted inside $part; not removing it"
    done <<<"$mounts"
    background rm -rf --one-file-system "$part"
  fi
  echo "test-debian13: making a Debian 13 root in $root (about a minute, once)" >&2
  # The mark goes in at once: only a folder bearing it is this script's to remove.
  mkdir "$part" && touch "$part/.vostrel-made"
  /usr/lib/apt/apt-helper download-file "${mirror%/}/dists/trixie/Release" "$part/.vostrel-trixie" \
    &>>"$log" || die "$mirror serves no trixie (log: $log); set DEBIAN_MIRROR"
  # --die-with-parent: bwrap dies with this script, and all in its namespaces with bwrap. The
  # build's packages go in here, under the lock: runs sharing the root would race for dpkg's.
  background bwrap --die-with-parent --unshare-pid --dev-bind / / --proc /proc mmdebstrap \
    --variant=minbase --skip=check/empty --architectures="$(dpkg --print-architecture),i386" \
    --include=ca-certificates --customize-hook="copy-in '$clone/scripts/setup.sh' /tmp" \
    --customize-hook='chroot "$1" bash /tmp/setup.sh' trixie "$part" "deb $mirror trixie main" \
    "deb $mirror trixie-updates main" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; die "mmdebstrap failed (log: $log)"; }
  touch "$part/.vostrel-ready" && mv -T "$part" "$root"
}
# One run installs the tools (dpkg takes one at a time) and makes the root, the others share it;
# opened to append, a file there keeps what it holds. setpriv ends flock with this script.
mkdir -p "$(dirname "$root")" && exec 8>>"$root.lock"
if [ ! -f "$root/.vostrel-ready" ] || ! type -P mmdebstrap bwrap >/dev/null; then
  background setpriv --pdeathsig KILL flock 8
  type -P mmdebstrap bwrap >/dev/null || background install_tools
  [ -f "$root/.vostrel-ready" ] || make_root
fi
background setpriv --pdeathsig KILL flock -s 8
# A worktree keeps its repository elsewhere: that is bound too, for git inside.
common=$(git -C "$clone" rev-parse --path-format=absolute --git-common-dir 2>/dev/null || echo /)
binds=(--bind "$clone" "$clone")
[[ $common/ == "$clone"/* || $common == / ]] || binds+=(--bind "$common" "$common")
# The root reaches the network as this machine does: its name servers, the authorities it trusts.
ca=/etc/ssl/certs/ca-certificates.crt && [ ! -f $ca ] || binds+=(--ro-bind $ca $ca)
# The root bound at / is a mount point, so unshare works inside (tests use it). bwrap takes this
# script's place: a signal ends it with 128+n, and --die-with-parent all in its namespaces with it.
exec bwrap --die-with-parent --unshare-pid --bind "$root" / --dev /dev --perms 1777 \
  --tmpfs /dev/shm --proc /proc --ro-bind /sys /sys --ro-bind /etc/resolv.conf /etc/resolv.conf \
  "${binds[@]}" --chdir "$clone" --clearenv --setenv HOME /root \
  --setenv PATH /usr/sbin:/usr/bin:/sbin:/bin --setenv LANG C.UTF-8 --setenv TERM "${TERM:-dumb}" \
  --setenv CI "${CI:-}" --setenv BUILD build/debian13 "$@"
