#!/usr/bin/env bash
# scripts/test-debian13.sh with a stand-in debootstrap that fails: it refuses, and keeps, a folder
# holding a user's file, a folder holding the clone, a half-made root it did not mark, and one it
# marked as its own with a tmpfs mounted inside, under a path with a space. Once that is unmounted
# it removes the marked root and makes it again.
# Usage: debian13_root.sh SOURCE_DIR
set -euo pipefail
if [ "$(id -u)" != 0 ]; then
  echo "skipped: the script needs root"
  exit 77
fi
# The tmpfs lives in a mount namespace of the test's own.
[ -n "${IN_NAMESPACE:-}" ] || IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
script=${1:?usage: $0 SOURCE_DIR}/scripts/test-debian13.sh
scratch=$(mktemp -d)
part="$scratch/root 2.part"
trap '{ ! mountpoint -q "$part/mnt" || umount "$part/mnt"; } && rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin" "$scratch/home/clone" "$scratch/user" "$scratch/other.part" "$part/mnt"
printf '#!/bin/sh\necho "$@" >"%s/called"\nexit 1\n' "$scratch" >"$scratch/bin/debootstrap"
chmod +x "$scratch/bin/debootstrap"
cd "$scratch"
touch user/notes home/clone/code other.part/notes "$part/.vostrel-made"
mount -t tmpfs tmpfs "$part/mnt"
touch "$part/mnt/data"
run() {
  PATH=$scratch/bin:$PATH VOSTREL_CLONE=$scratch/home/clone VOSTREL_DEBIAN13_ROOT=$1 \
    bash "$script" 2>&1
}
failed=0
# Each run must fail, naming the folder and why.
for why in "user:is there" "home:clone" "other:not a half-made" "root 2:mounted"; do
  out=$(run "$scratch/${why%%:*}") && failed=1
  if ! grep -qF "$scratch/${why%%:*}" <<<"$out" || ! grep -qF "${why#*:}" <<<"$out"; then
    echo "$out"
    failed=1
  fi
done
for kept in user/notes home/clone/code other.part/notes "$part/.vostrel-made" "$part/mnt/data"; do
  [ -e "$kept" ] || { echo "deleted: $kept"; failed=1; }
done
[ ! -e called ] || { echo "debootstrap ran after a refusal"; failed=1; }
umount "$part/mnt"
run "$scratch/root 2" >/dev/null || true
if [ -e "$part/mnt" ] || [ ! -f "$part/.vostrel-made" ] || ! grep -qF "$part" called; then
  echo "the marked half-made root was not removed and made again"
  failed=1
fi
exit $failed
