#!/usr/bin/env bash
# npm-tools.sh DEST: installs the npm packages pinned in tools/npm into DEST/node_modules with
# npm ci, which checks each against the hash in the lock file; nothing when they are there
# already. npm's cache and logs stay in DEST: nothing outside it is written.
set -euo pipefail
die() { echo "npm-tools: $*" >&2; exit 1; }
dest=${1:?usage: $0 DEST}
pins=$(cd "$(dirname "$0")/../tools/npm" && pwd -P)
for tool in node npm; do
  type -P $tool >/dev/null || die "needs $tool: apt-get install nodejs npm (make setup does, as root)"
done
mkdir -p "$dest"
# Runs started together install once.
exec 9>"$dest/.lock"
flock 9
# npm ci empties node_modules first, so the stamp is there only after an install that finished.
stamp=$dest/node_modules/.pinned-lock.json
cmp -s "$pins/package-lock.json" "$stamp" && exit 0
cp "$pins/package.json" "$pins/package-lock.json" "$dest/"
# --force: CMake's package declares Windows alone; its programs run here under Wine. The hashes
# are checked all the same.
(cd "$dest" && npm_config_cache="$PWD/.npm-cache" timeout 600 npm ci --ignore-scripts --no-audit \
  --no-fund --no-update-notifier --force --loglevel=error) || die "npm ci failed in $dest"
cp "$pins/package-lock.json" "$stamp"
