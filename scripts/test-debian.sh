#!/usr/bin/env bash
# test-debian.sh 12|13 [COMMAND...]: the steps of the `linux` job of .github/workflows/ci.yml, read from
# there (or those up to the checkout, then COMMAND), as a debian:12 or debian:13 container job runs them:
# as root, with the container's PATH, on a clone of this clone's HEAD at its path that uid 1001 owns,
# in a throwaway copy (in a tmpfs) of a root as bare as the image, made once by mmdebstrap outside the
# clone; apt's downloads are kept beside it, in <root>.debs.
#   VOSTREL_DEBIAN_ROOT  the root (default /var/lib/vostrel/CODENAME, a user's in its cache)
#   VOSTREL_CLONE        the clone to test (default the one holding this script)
#   DEBIAN_MIRROR        the root's mirror (default: of apt's sources, the first for this machine's suite,
#                        main, whose Release says Origin: Debian; it must serve the release)
# A user runs it as root of a user namespace holding its ids from /etc/subuid and subgid. Runs of a root
# take turns on <root>.lock, the first making the root. Deletes only a half-made root it marked, never
# through a mount or when findmnt fails. SIGTERM, SIGINT, SIGHUP end it at once (128+n), and with it (as
# with SIGKILL) all it runs in namespaces; apt-get, findmnt and rm, outside PID namespaces, finish.
# shellcheck disable=SC2016 # the single-quoted texts are apt's format and scripts run inside
set -euo pipefail
die() { echo "test-debian: $*" >&2; exit 1; }
# A plain `su` keeps the caller's PATH: usermod and dpkg's ldconfig are in sbin.
export LC_ALL=C PATH=$PATH:/usr/sbin:/sbin DEBIAN_FRONTEND=noninteractive
case ${1:-} in 12) codename=bookworm ;; 13) codename=trixie ;; *) die "usage: $0 12|13 [COMMAND...]" ;; esac
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
  VOSTREL_DEBIAN_ROOT=${VOSTREL_DEBIAN_ROOT:-${XDG_CACHE_HOME:-$HOME/.cache}/vostrel/$codename} \
    exec unshare --map-auto --map-root-user bash "$0" "$@"
fi
shift
unshare -m true 2>/dev/null || die "lacks a mount namespace, which this chroot or container refuses: run it outside"
# Symlinks resolved, so that the checks below see the folders that get written and removed.
root=$(realpath -m -- "${VOSTREL_DEBIAN_ROOT:-/var/lib/vostrel/$codename}") part=$root.part
clone=$(cd "${VOSTREL_CLONE:-$(dirname "$0")/..}" && pwd -P)
# near_clone DIR: DIR is the clone, holds it (as / does), or lies inside it.
near_clone() { [[ $clone/ == "${1%/}"/* || $1/ == "$clone"/* ]]; }
! near_clone "$root" || die "the root $root must be outside the clone $clone, and not hold it"
# A root appears whole (moved in with its mark): a folder there without the mark is not ours.
{ [ -e "$root" ] || [ -L "$root" ]; } && [ ! -f "$root/.vostrel-ready" ] &&
  die "$root is there but is not a root made by this script (no .vostrel-ready); not touching it"
# Steps that wait run in the background: INT ends bash at once in `wait`, not in a foreground step.
background() { "$@" <&0 & wait $!; }
make_root() {
  # This machine's Debian archive as apt lists it once apt-get update has read its Release: a
  # third party's source for a suite of the same name is not Debian's. Checked below for the release.
  local log=$part/.vostrel-mmdebstrap.log mirror mounts suite
  suite=$(awk -F= '$1 == "VERSION_CODENAME" { print $2 }' /etc/os-release)
  mirror=${DEBIAN_MIRROR:-$(apt-get indextargets --format '$(REPO_URI)' 'Target-Of: deb' \
    'Origin: Debian' "Codename: $suite" 'Component: main' | sed -n 1p)}
  [ -n "$mirror" ] || die "apt lists no Debian archive for $suite main; set DEBIAN_MIRROR"
  if [ -e "$part" ] || [ -L "$part" ]; then
    { [ -L "$part" ] || [ ! -f "$part/.vostrel-made" ] || near_clone "$part"; } &&
      die "$part is not a half-made root made by this script; not removing it"
    # rm --one-file-system goes through a bind mount of the same file system: findmnt tells.
    mounts=$(findmnt -rno TARGET) || die "findmnt failed: not removing $part, unseen inside"
    while read -r mounted; do
      printf -v mounted %b "$mounted"; [[ $mounted/ != "$part"/* ]] || die "something is mounted inside $part; not removing it"
    done <<<"$mounts"
    background rm -rf --one-file-system "$part"
  fi
  echo "test-debian: making a Debian $codename root in $root (about a minute, once)" >&2
  # The mark goes in at once: only a folder bearing it is this script's to remove.
  mkdir "$part" && touch "$part/.vostrel-made"
  /usr/lib/apt/apt-helper download-file "${mirror%/}/dists/$codename/Release" "$part/.vostrel-$codename" \
    &>>"$log" || die "$mirror serves no $codename (log: $log); set DEBIAN_MIRROR"
  # --die-with-parent: bwrap dies with this script, and all in its namespaces with bwrap. What the
  # image has: minbase, dpkg's unsafe-io (docker-apt-speedup), no translations (docker-no-languages).
  background bwrap --die-with-parent --unshare-pid --dev-bind / / --proc /proc mmdebstrap --variant=minbase \
    --skip=check/empty --dpkgopt=force-unsafe-io --aptopt='Acquire::Languages "none"' "$codename" "$part" \
    "deb $mirror $codename main" "deb $mirror $codename-updates main" >"$log" 2>&1 ||
    { tail -n 20 "$log" >&2; die "mmdebstrap failed (log: $log)"; }
  touch "$part/.vostrel-ready" && mv -T "$part" "$root"
}
# One run at a time, sharing apt's downloads; the first installs the tools and makes the root. The
# lock file, opened to append, keeps what it holds; setpriv ends flock with this script.
mkdir -p "$root.debs" "$root.run" && exec 8>>"$root.lock" && background setpriv --pdeathsig KILL flock 8
type -P mmdebstrap bwrap >/dev/null || { echo "test-debian: installing mmdebstrap and bubblewrap" >&2
  background apt-get update -qq && background apt-get install -y -qq --no-install-recommends mmdebstrap bubblewrap; }
[ -f "$root/.vostrel-ready" ] || make_root
# The job's steps, one a line: "run: COMMAND" or "uses: ACTION". Edit them there, not here.
steps=$(awk '/^  [^ #]/ { job = $1 } job == "linux:" && /^      - (run|uses): / { print substr($0, 9) }' \
  "$clone/.github/workflows/ci.yml") || die "no workflow in $clone"
[ $# = 0 ] || { printf -v cmd ' %q' "$@"; steps=$(sed '/^uses: actions\/checkout@/q' <<<"$steps")$'\n'run:$cmd; }
git=(git -C "$clone" -c safe.directory="$clone")  # a clone another user owns, trusted this once
head=$("${git[@]}" rev-parse HEAD) || die "$clone is not a git clone"
common=$("${git[@]}" rev-parse --path-format=absolute --git-common-dir)
# A worktree's repository is bound too. The root reaches the network as this machine does: its name
# servers, and for Node.js the authorities it trusts (its own ca-certificates writes its bundle).
binds=(--ro-bind "$clone" /run/source --ro-bind-try /etc/ssl/certs/ca-certificates.crt /run/host-ca.crt)
[[ $common/ == "$clone"/* ]] || binds+=(--ro-bind "$common" "$common")
# Each step in the workspace, as there; the checkout as actions/checkout leaves it.
run='mkdir -p "$GITHUB_WORKSPACE" && cd "$GITHUB_WORKSPACE" && while read -r -u 3 kind step; do
  echo "test-debian: $kind $step" >&2 && case $kind$step in
    run:*) bash -e -c "$step" </dev/null ;;
    uses:actions/checkout@*) git -c safe.directory="*" clone -q --no-local -n /run/source . &&
      git checkout -q "$1" && chown -R 1001:1001 . ;;
    uses:actions/upload-artifact@*) ;;  # GitHub keeps it; here it stays in the root
    *) false ;; esac || exit
done 3<<<"$2"'
# The root is a mount point, so unshare works inside (tests use it). bwrap takes this script's
# place: a signal ends it with 128+n, and --die-with-parent all in its namespaces with it.
# A copy, not an overlay: in a user namespace, overlayfs refuses dpkg's renames of directories.
# Docker gives each container an /etc/hosts naming localhost and the host; each boot of Wine
# looks this host's name up, and without one asks the name servers (10 s each where none answers).
hosts=$(printf '127.0.0.1\tlocalhost\n::1\tlocalhost ip6-localhost ip6-loopback\n127.0.1.1\t%s' "$(uname -n)")
exec unshare -m --propagation private sh -c 'mount -t tmpfs tmpfs "$1" && cp -a "$2/." "$1" &&
  printf "%s\n" "$3" >"$1/etc/hosts" && shift 3 && exec "$@"' \
  sh "$root.run" "$root" "$hosts" bwrap --die-with-parent --unshare-pid --bind "$root.run" / --dev /dev --perms 1777 \
  --tmpfs /dev/shm --proc /proc --ro-bind /sys /sys --ro-bind /etc/resolv.conf /etc/resolv.conf \
  --bind "$root.debs" /var/cache/apt/archives "${binds[@]}" --clearenv --setenv HOME /github/home --setenv CI true \
  --setenv PATH /usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin --setenv TERM "${TERM:-dumb}" \
  --setenv NODE_EXTRA_CA_CERTS /run/host-ca.crt --setenv GITHUB_WORKSPACE "$clone" bash -c "$run" bash "$head" "$steps"
