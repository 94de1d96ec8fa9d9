#!/usr/bin/env bash
# debian13_root.sh SOURCE_DIR: scripts/test-debian13.sh with a stand-in mmdebstrap that fails, as
# root and as a user (root runs that as nobody, given ids). It refuses and keeps a folder holding a
# user's file; the clone, one holding it and one inside it; an unmarked half-made root; and a marked
# one under a path with a space, a folder of the same disk bound inside, also when findmnt fails.
# Once unbound, that one, with files of the user's namespace, is removed and made again. SIGINT or
# SIGTERM while the root is being made ends the run. The mirror is apt's Debian archive.
set -euo pipefail
script=${1:?usage: $0 SOURCE_DIR}/scripts/test-debian13.sh
if [ "$UID" = 0 ]; then
  # Skipped where the system refuses namespaces (no CAP_SYS_ADMIN); a missing or broken bwrap fails.
  why=$({ unshare -m true && bwrap --dev-bind / / --unshare-pid true; } 2>&1) || {
    [[ $why == *"Operation not permitted"* ]] || { echo "bwrap or unshare cannot run: $why"; exit 1; }
    echo "${0##*/}: Tests skipped: the system refuses namespaces here: $why"; exit 77; }
  # Files, mounts and processes of the test's own, gone with it however it ends; nobody gets ids.
  [ -n "${IN_NAMESPACE:-}" ] || IN_NAMESPACE=1 exec unshare -m --propagation private -pf \
    --kill-child --mount-proc bash "$0" "$@"
  export TMPDIR=/dev/shm && mount -t tmpfs tmpfs $TMPDIR && echo nobody:1000000:65536 >$TMPDIR/ids
  for ids in /etc/subuid /etc/subgid; do mount --bind $TMPDIR/ids $ids; done
  users="root nobody"
fi
scratch=$(mktemp -d) && chmod 755 "$scratch" && mkdir "$scratch"/{bin,blind}
# A user's leftovers are owned by ids of its namespace: they go through it.
[ "$UID" = 0 ] || trap 'cd / && unshare --map-auto --map-root-user rm -rf "$scratch"' EXIT
printf '#!/bin/sh\necho "$@" >called\n[ -z "$HANG" ] || { sleep 5; touch finished; }\nexit 1\n' \
  >"$scratch/bin/mmdebstrap"
printf '#!/bin/sh\nexit 1\n' >"$scratch/blind/findmnt" && chmod +x "$scratch"/*/*
run() { $exec "${as[@]}" env --default-signal=INT PATH="$scratch/bin:$PATH" \
  VOSTREL_CLONE=home/clone VOSTREL_DEBIAN13_ROOT="$1" DEBIAN_MIRROR="${mirror-m}" bash "$script"; }
failed=0 exec=
for user in ${users:-$(id -un)}; do
  mkdir "$scratch/$user" && cd "$scratch/$user"
  part="$PWD/root 2.part"
  mkdir -p home/clone user other.part disk "$part/mnt" cache apt/{lists,sources.list.d,apt.conf.d}
  touch user/notes home/clone/code other.part/notes "$part/.vostrel-made" disk/data
  as=(env HOME="$PWD" XDG_CACHE_HOME="$PWD/cache")
  case $user in root) as=() ;; nobody) chown -R nobody: . && as=(setpriv --reuid=nobody \
    --regid=nogroup --clear-groups "${as[@]}") ;; esac
  # A user's half-made root holds files of ids its namespace maps: a plain rm cannot remove them.
  [ "$user" = root ] || why=$("${as[@]}" unshare --map-auto --map-root-user sh -c \
    'mkdir "$0/ns" && touch "$0/ns/file" && chown -R 1:1 "$0/ns"' "$part" 2>&1) || {
    [[ $why =~ "not permitted"|"no line matching"|"No space left" ]] || { echo "$why"; exit 1; }
    echo "${0##*/}: Tests skipped: user namespaces refused: $why"
    as=() mroot=$PWD/cache/vostrel/debian13 && break; }
  [ "$(id -u)" != 0 ] || mount --bind disk "$part/mnt"
  # Each run fails, naming the folder and why; one with a findmnt that fails.
  while IFS=: read -r dir why blind && [ -n "$dir" ]; do
    out=$(PATH=${blind:+$blind:}$PATH run "$dir" 2>&1) && failed=1
    grep -F "$PWD/$dir" <<<"$out" | grep -qF "$why" || { echo "as $user: $out"; failed=1; }
  done <<EOF
user:is there
home:must be outside the clone
home/clone:must be outside the clone
home/clone/root:must be outside the clone
other:not a half-made
root 2:findmnt failed:$scratch/blind
$(! mountpoint -q "$part/mnt" || echo "root 2:mounted inside")
EOF
  for kept in user/notes home/clone/code other.part/notes "$part/.vostrel-made" disk/data; do
    [ -e "$kept" ] || { echo "as $user, deleted: $kept"; failed=1; }
  done
  [ ! -e called ] || { echo "as $user, mmdebstrap ran after a refusal"; failed=1; }
  ! mountpoint -q "$part/mnt" || umount "$part/mnt"
  run "root 2" 2>/dev/null || true
  [ ! -e "$part/mnt" ] && [ ! -e "$part/ns" ] && [ -f "$part/.vostrel-made" ] &&
    grep -qF "$part" called || { echo "as $user, the half-made root was not made again"; failed=1; }
  # Stopped while the root is being made: the signal's status, no ready root, nothing left running.
  for sig in INT TERM; do
    rm -f called
    (HANG=1 exec=exec run "root 3" 2>/dev/null) &
    for _ in {1..50}; do [ ! -e called ] || break; sleep 0.1; done
    kill -s $sig $! && wait $! && status=0 || status=$?
    # Killed with the script, they may take a moment to be gone.
    for _ in {1..20}; do pgrep -f "$scratch" >/dev/null || break; sleep 0.1; done
    [ "$status" = $((128 + $(kill -l $sig))) ] && [ ! -e "root 3" ] && [ ! -e finished ] &&
      ! pgrep -af "$scratch" || { echo "as $user, SIG$sig: status $status"; failed=1; }
  done
done
# The mirror: whichever source sorts first, apt's Debian archive for this machine's suite (known
# by its Release file, there once read). And a user's root in its cache (named, for root).
s=$(. /etc/os-release && echo "$VERSION_CODENAME")
t="Types: deb\nComponents: main\nSuites: $s\nURIs: http://"
got="$PWD/cache/vostrel/debian13.part deb http://"
printf 'Dir::Etc "%s"; Dir::State::Lists "%s/lists"; Dir::Cache "%s";\n' "$PWD/apt"{,,} >apt/conf
for site in old:Debian brave:Brave deb:Debian one:Debian; do
  f=apt/lists/${site%:*}.example_debian_dists_${s}_
  printf 'Origin: %s\nCodename: %s\n' "${site#*:}" "$s" >"${f}Release"
  : >"${f}main_binary-$(dpkg --print-architecture)_Packages"
done
while IFS='|' read -r file text want; do
  rm -f apt/sources.list.d/* called
  printf %b "${t}deb.example/debian/\n" >apt/sources.list.d/debian.sources
  printf %b "$text\n" >"apt/sources.list.d/$file"
  out=$(mirror='' APT_CONFIG=$PWD/apt/conf run "${mroot:-}" 2>&1) || :
  grep -qF "$want" <<<"$(cat called 2>/dev/null) $out" ||
    { echo "the mirror with $file ($text): $(cat called 2>/dev/null) $out"; failed=1; }
done <<EOF
aaa.sources|${t}old.example/debian/\nEnabled: no|${got}deb.example/debian/ trixie main
aaa.sources|${t}brave.example/debian/|${got}deb.example/debian/ trixie main
aaa.list|deb [signed-by=/k.gpg trusted=no] http://one.example/debian/ $s main|${got}one.example
debian.sources|${t}brave.example/debian/|apt lists no Debian archive for $s main
EOF
exit $failed
