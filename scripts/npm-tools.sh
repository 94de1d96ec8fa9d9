#!/usr/bin/env bash
# npm-tools.sh NAME: installs the npm packages pinned in tools/npm/NAME into its node_modules, once
# for the clone, with npm ci, which checks each against the hash in the lock file; nothing when
# they are there already. Else exits 1, its reason also in tools/npm/NAME/.npm/failed for the
# tests, which then skip. npm's cache and logs stay in tools/npm/NAME/.npm.
set -euo pipefail
cd "$(dirname "$0")/../tools/npm/${1:?usage: $0 NAME}"
mkdir -p .npm
fail() { echo "$1" >.npm/failed; echo "npm-tools: tools/npm/${PWD##*/}: $1" >&2; exit 1; }
type -P node npm >/dev/null ||
  fail "needs node and npm: apt-get install nodejs npm (as root: make setup)"
# Runs started together install once. The lock file, which any user may read, is the lock.
exec 9<package-lock.json
flock 9
# npm ci empties node_modules first, so the stamp is there only after an install that finished.
cmp -s package-lock.json node_modules/.pinned-lock.json && exit 0
# --force: CMake's package declares Windows alone; its programs run here under Wine. The hashes
# are checked all the same. All fetches at once, 10 s each, one retry: no network fails in 30 s.
npm_config_cache=$PWD/.npm npm ci --ignore-scripts --no-audit --no-fund --no-update-notifier \
  --force --loglevel=error --maxsockets=64 --fetch-timeout=10000 --fetch-retries=1 \
  --fetch-retry-mintimeout=1000 --fetch-retry-maxtimeout=2000 >.npm/ci.log 2>&1 ||
  fail "npm ci failed: $(sed -nE '/ (code|errno|syscall) /d; s/^npm (error|ERR!) //; T; p; q' \
    .npm/ci.log)"
cp package-lock.json node_modules/.pinned-lock.json && rm -f .npm/failed
