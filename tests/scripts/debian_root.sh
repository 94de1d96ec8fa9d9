#!/usr/bin/env bash
# debian_root.sh SOURCE_DIR: scripts/test-debian.sh with a stand-in mmdebstrap, as root and as
# nobody with ids and without (or as the user running it); skipped where a user cannot have ids.
# shellcheck disable=SC2015,SC2016 # `A && B || fail` fails on either; the stand-ins' texts are scripts
set -euo pipefail
# A plain `su` keeps the caller's PATH: usermod is in sbin.
export LC_ALL=C PATH=$PATH:/usr/sbin:/sbin
mark=${VOSTREL_SKIP_MARK:?the mark before the reason for a skip, which CMake gives}
if [ "$UID" = 0 ]; then
  unshare -m true || { echo "${0##*/}${mark}no mount namespace here (a chroot refuses it)"; exit 77; }
  # Files, mounts and processes of its own, gone with it however it ends; /etc for usermod too.
  # Pid 1 of the /proc it sees: in namespaces it made (--mount-proc makes a mount namespace).
  [ /proc/self -ef /proc/1 ] || exec unshare -m --propagation private -pf --kill-child \
    --mount-proc bash "$0" "$@"
  export TMPDIR=/dev/shm && mount -t tmpfs tmpfs $TMPDIR && mkdir $TMPDIR/{etc,work}
  mount -t overlay overlay -o lowerdir=/etc,upperdir=$TMPDIR/etc,workdir=$TMPDIR/work /etc
fi
scratch=$(mktemp -d)
# A user's leftovers may be owned by ids of its namespace: those go through it (root's, a tmpfs).
[ "$UID" = 0 ] || trap 'cd / && { rm -rf "$scratch" 2>/dev/null ||
  unshare --map-auto --map-root-user rm -rf "$scratch"; }' EXIT
cp "${1:?usage: $0 SOURCE_DIR}/scripts/test-debian.sh" "$scratch" && cd "$scratch" && chmod 755 .
mkdir -p bin blind mirror/{deb,one}/dists/trixie && touch mirror/{deb,one}/dists/trixie/Release
printf '#!/bin/sh\necho "$@" >called\n[ -n "$HANG" ] && sleep 5 && touch lived\n' >bin/mmdebstrap
printf '#!/bin/sh\nexit 1\n' >blind/findmnt && chmod +x bin/* blind/*
failed=0 exec='' who=$(id -un) as=() part="root 2.part"
fail() { echo "$*"; failed=1; }
# run ROOT: the script as $who, from a folder of its own, for ROOT (default: a user's in the cache).
run() { $exec "${as[@]}" env --default-signal=INT HOME="$PWD" XDG_CACHE_HOME="$PWD/cache" \
  PATH="$scratch/bin:$PATH" VOSTREL_CLONE=home/clone VOSTREL_DEBIAN_ROOT="$1" \
  DEBIAN_MIRROR="${mirror-file:$scratch/mirror/deb}" bash "$scratch/test-debian.sh" 13; }
# in_folder NAME: a new folder for one scenario, holding a clone, as the working folder.
in_folder() { cd "$scratch" && mkdir -p "$1-$who/home/clone" && cd "$1-$who"; }

# Each run fails, naming the folder and why, keeps what is there and runs no mmdebstrap.
refuses_folders_not_its_own() {
  in_folder refusals; mkdir -p user other.part disk "$part/mnt"
  touch user/notes home/clone/code other.part/notes "$part/.vostrel-made" disk/data
  chown -R "$who": . && [ "$UID" != 0 ] || mount --bind disk "$part/mnt"
  while IFS=: read -r dir why blind && [ -n "$dir" ]; do
    out=$(PATH=${blind:+$blind:}$PATH run "$dir" 2>&1) && failed=1
    grep -F "$PWD/$dir" <<<"$out" | grep -qF "$why" || fail "as $who: $out"
  done <<EOF
user:is there
home:must be outside the clone
home/clone:must be outside the clone
home/clone/root:must be outside the clone
other:not a half-made
root 2:findmnt failed:$scratch/blind
$(! mountpoint -q "$part/mnt" || echo "root 2:mounted inside")
EOF
  ls user/notes home/clone/code other.part/notes "$part/.vostrel-made" disk/data >/dev/null &&
    [ ! -e called ] || fail "as $who, a file above was deleted, or mmdebstrap ran after a refusal"
}

# A half-made root of its own is removed, files of the user's namespace too, and made again.
remakes_its_half_made_root() {
  in_folder remade; mkdir -p "$part/ns"; touch "$part/.vostrel-made"; chown -R "$who": .
  [ "$who" = root ] || "${as[@]}" unshare --map-auto --map-root-user chown -R 65535:65535 "$part/ns"
  run "root 2" >/dev/null 2>&1 || :
  [ ! -e "$part/ns" ] && [ -f "$part/.vostrel-made" ] && grep -qF "$PWD/$part" called ||
    fail "as $who, the half-made root was not made again"
}

# Stopped while the root is being made: the signal's status, no ready root, nothing left running.
a_signal_ends_the_run() {
  in_folder signal; chown -R "$who": .
  for sig in INT TERM; do
    rm -f called; (HANG=1 exec=exec run "root 3" >/dev/null 2>&1) &
    for _ in {1..100}; do [ ! -e called ] || break; sleep 0.1; done
    kill -s $sig $! && wait $! && status=0 || status=$?
    for _ in {1..20}; do pgrep -f "$scratch" >/dev/null || break; sleep 0.1; done
    [ -e called ] && [ "$status" = $((128 + $(kill -l $sig))) ] && [ ! -e "root 3" ] &&
      [ ! -e lived ] && ! pgrep -af "$scratch" ||
      fail "as $who, SIG$sig: status $status$([ -e called ] || echo ", mmdebstrap never started")"
  done
}

# The mirror: apt's first source whose Release says Debian, this machine's suite, if it has trixie.
the_mirror_is_debians_for_this_suite() {
  in_folder mirror; mkdir -p apt/{lists,sources.list.d,apt.conf.d}
  local s t="Types: deb\nComponents: main\nURIs: file:" got=$PWD/cache/vostrel/trixie
  s=$(awk -F= '$1 == "VERSION_CODENAME" { print $2 }' /etc/os-release)
  printf 'Dir::Etc "%s"; Dir::State::Lists "%s/lists"; Dir::Cache "%s";\n' "$PWD/apt"{,,} >apt/conf
  for site in old brave:Brave deb one stale security::-security; do
    IFS=: read -r name origin suite <<<"$site" && f=apt/lists/${scratch//\//_}_mirror_${name}_dists_
    printf 'Origin: %s\nCodename: %s\n' "${origin:-Debian}" "$s$suite" >"$f$s${suite}_Release"
    : >"$f$s${suite}_main_binary-$(dpkg --print-architecture)_Packages"
  done
  while IFS='|' read -r file text want; do
    rm -f apt/sources.list.d/* called && printf %b "${t}$scratch/mirror/deb\nSuites: $s\n" \
      >apt/sources.list.d/debian.sources
    printf %b "$text\n" >"apt/sources.list.d/$file"
    out=$(mirror='' APT_CONFIG=$PWD/apt/conf run "$([ "$UID" != 0 ] || echo "$got")" 2>&1) || :
    grep -qF "$want" <<<"$(cat called 2>/dev/null) $out" ||
      fail "the mirror with $file ($text): $(cat called 2>/dev/null) $out"
  done <<EOF
aaa.sources|${t}$scratch/mirror/old\nSuites: $s\nEnabled: no|$got.part deb file:$scratch/mirror/deb
aaa.sources|${t}$scratch/mirror/brave\nSuites: $s|$got.part deb file:$scratch/mirror/deb
aaa.sources|${t}$scratch/mirror/security\nSuites: $s-security|$got.part deb file:$scratch/mirror/deb
aaa.list|deb [signed-by=/k.gpg trusted=no] file:$scratch/mirror/one $s main|mirror/one/ trixie main
aaa.sources|${t}$scratch/mirror/stale\nSuites: $s|mirror/stale/ serves no trixie
debian.sources|${t}$scratch/mirror/brave\nSuites: $s|apt lists no Debian archive for $s main
EOF
}

# Without 65536 ids under its name or uid (not its group's id), nobody is told the line that gives
# them; that line run, it lacks them no more.
names_the_ids_it_lacks() {
  in_folder no-ids; local as=(setpriv --reuid=nobody --regid=1 --clear-groups)
  while IFS='|' read -r subuid subgid lacks; do
    printf %b "$subuid" >/etc/subuid && printf %b "$subgid" >/etc/subgid
    fix=$(sed -n "s/^  subordinate ids[^:]*: //p" <<<"$(run / 2>&1)")
    [ "${fix:+lacks}" = "$lacks" ] && { [ -z "$fix" ] || [[ $fix == "usermod "* ]] && $fix; } &&
      ! grep -q "subordinate ids" <<<"$(run / 2>&1)" || fail "as nobody, ids $subuid|$subgid: $fix"
  done <<EOF
||lacks
nobody:1000000:65535\n|nobody:1000000:65535\n|lacks
nobody:1000000:100\nnobody:2000000:65536\n|nobody:2000000:65536\n|lacks
nobody:1000000:65536\n|1:1000000:65536\n|lacks
65534:1000000:65536\n|nobody:1000000:65536\n|
EOF
}

[ "$UID" != 0 ] || { refuses_folders_not_its_own; remakes_its_half_made_root; a_signal_ends_the_run
  the_mirror_is_debians_for_this_suite; who=nobody && names_the_ids_it_lacks
  echo nobody:1000000:65536 | tee /etc/subuid >/etc/subgid
  as=(setpriv --reuid=nobody --regid=nogroup --clear-groups); }
# Given a namespace with ids to 65535? A plain one first: unshare's helper outlives a refused one.
if "${as[@]}" unshare -U true 2>"$scratch/why" && "${as[@]}" unshare --map-auto --map-root-user \
  setpriv --reuid=65535 --regid=65535 --clear-groups true 2>"$scratch/why"; then
  refuses_folders_not_its_own; remakes_its_half_made_root; a_signal_ends_the_run
  [ "$UID" = 0 ] || the_mirror_is_debians_for_this_suite
else
  echo "${0##*/}${mark}$who is given no namespace with ids: $(cat "$scratch/why")"
  [ "$UID" = 0 ] || exit 77  # nothing else ran
fi
exit $failed
