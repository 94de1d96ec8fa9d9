#!/usr/bin/env bash
# debian13_root.sh SOURCE_DIR: scripts/test-debian13.sh, with a stand-in mmdebstrap that fails,
# refuses and keeps a folder holding a user's file; the clone, one holding it and one inside it; a
# half-made root it did not mark; and one it marked under a path with a space, with a folder of
# the same disk bound inside, also when findmnt fails. Once unbound, that one is removed and made
# again. SIGINT or SIGTERM while the root is being made ends the run.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "skipped: the script needs root"; exit 77; }
# Skipped where the system refuses namespaces (no CAP_SYS_ADMIN); a missing or broken bwrap fails.
why=$({ unshare -m true && bwrap --dev-bind / / --unshare-pid true; } 2>&1) || {
  [[ $why == *"Operation not permitted"* ]] || { echo "bwrap or unshare cannot run: $why"; exit 1; }
  echo "skipped: the system refuses namespaces here: $why"; exit 77; }
# The bind mount lives in a mount namespace of the test's own.
[ -n "${IN_NAMESPACE:-}" ] || IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
script=${1:?usage: $0 SOURCE_DIR}/scripts/test-debian13.sh
scratch=$(mktemp -d)
part="$scratch/root 2.part"
trap '{ ! mountpoint -q "$part/mnt" || umount "$part/mnt"; } && rm -rf "$scratch"' EXIT
cd "$scratch"
mkdir -p bin blind home/clone user other.part disk "$part/mnt"
printf '#!/bin/sh\necho "$@" >called\n[ -z "$HANG" ] || { sleep 5; touch finished; }\nexit 1\n' \
  >bin/mmdebstrap
printf '#!/bin/sh\nexit 1\n' >blind/findmnt
chmod +x bin/mmdebstrap blind/findmnt
touch user/notes home/clone/code other.part/notes "$part/.vostrel-made" disk/data
mount --bind disk "$part/mnt"
run() { PATH=$scratch/bin:$PATH VOSTREL_CLONE=home/clone VOSTREL_DEBIAN13_ROOT=$1 bash "$script"; }
failed=0
# Each run fails, naming the folder and why; the last with a findmnt that fails.
while IFS=: read -r dir why blind; do
  out=$(PATH=${blind:+$blind:}$PATH run "$dir" 2>&1) && failed=1
  grep -F "$scratch/$dir" <<<"$out" | grep -qF "$why" || { echo "$out"; failed=1; }
done <<EOF
user:is there
home:must be outside the clone
home/clone:must be outside the clone
home/clone/root:must be outside the clone
other:not a half-made
root 2:mounted inside
root 2:findmnt failed:$scratch/blind
EOF
for kept in user/notes home/clone/code other.part/notes "$part/.vostrel-made" disk/data; do
  [ -e "$kept" ] || { echo "deleted: $kept"; failed=1; }
done
[ ! -e called ] || { echo "mmdebstrap ran after a refusal"; failed=1; }
umount "$part/mnt"
run "root 2" 2>/dev/null || true
[ ! -e "$part/mnt" ] && [ -f "$part/.vostrel-made" ] && grep -qF "$part" called ||
  { echo "the marked half-made root was not removed and made again"; failed=1; }
# Stopped while the root is being made: the signal's status, no ready root, nothing left running.
for sig in INT TERM; do
  rm -f called
  HANG=1 PATH=$scratch/bin:$PATH VOSTREL_CLONE=home/clone VOSTREL_DEBIAN13_ROOT="root 3" \
    env --default-signal=INT bash "$script" 2>/dev/null &
  for _ in {1..50}; do [ ! -e called ] || break; sleep 0.1; done
  kill -s $sig $! && wait $! && status=0 || status=$?
  # Killed with the script, they may take a moment to be gone.
  for _ in {1..20}; do pgrep -f "$scratch" >/dev/null || break; sleep 0.1; done
  [ "$status" = $((128 + $(kill -l $sig))) ] && [ ! -e "root 3" ] && [ ! -e finished ] &&
    ! pgrep -af "$scratch" ||
    { echo "SIG$sig while making the root: status $status"; failed=1; }
done
exit $failed
