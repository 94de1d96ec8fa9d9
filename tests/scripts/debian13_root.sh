#!/usr/bin/env bash
# debian13_root.sh SOURCE_DIR: scripts/test-debian13.sh, with a stand-in debootstrap that fails,
# refuses and keeps a folder holding a user's file, one holding the clone, a half-made root it did
# not mark, and one it marked with a tmpfs inside under a path with a space; once unmounted, that
# one is removed and made again.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "skipped: the script needs root"; exit 77; }
# The tmpfs lives in a mount namespace of the test's own.
[ -n "${IN_NAMESPACE:-}" ] || IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
script=${1:?usage: $0 SOURCE_DIR}/scripts/test-debian13.sh
scratch=$(mktemp -d)
part="$scratch/root 2.part"
trap '{ ! mountpoint -q "$part/mnt" || umount "$part/mnt"; } && rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir -p bin home/clone user other.part "$part/mnt"
printf '#!/bin/sh\necho "$@" >"%s/called"\nexit 1\n' "$scratch" >bin/debootstrap
chmod +x bin/debootstrap
touch user/notes home/clone/code other.part/notes "$part/.vostrel-made"
mount -t tmpfs tmpfs "$part/mnt"
touch "$part/mnt/data"
run() { PATH=$scratch/bin:$PATH VOSTREL_CLONE=home/clone VOSTREL_DEBIAN13_ROOT=$1 bash "$script"; }
failed=0
# Each run fails, naming the folder and why.
for why in "user:is there" "home:clone" "other:not a half-made" "root 2:mounted"; do
  out=$(run "${why%%:*}" 2>&1) && failed=1
  grep -F "$scratch/${why%%:*}" <<<"$out" | grep -qF "${why#*:}" || { echo "$out"; failed=1; }
done
for kept in user/notes home/clone/code other.part/notes "$part/.vostrel-made" "$part/mnt/data"; do
  [ -e "$kept" ] || { echo "deleted: $kept"; failed=1; }
done
[ ! -e called ] || { echo "debootstrap ran after a refusal"; failed=1; }
umount "$part/mnt"
run "root 2" 2>/dev/null || true
[ ! -e "$part/mnt" ] && [ -f "$part/.vostrel-made" ] && grep -qF "$part" called ||
  { echo "the marked half-made root was not removed and made again"; failed=1; }
exit $failed
