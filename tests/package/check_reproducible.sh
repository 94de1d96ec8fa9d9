#!/usr/bin/env bash
# Builds Vostrel.dll a second time, from a copy of the sources in another folder, later and in
# another time zone, and packs the release zip from each: the DLLs, zips and checksum files must
# be the same bytes. Only the plug-in's target is built again, not the whole tree.
# Usage: check_reproducible.sh SOURCE_DIR BUILT_DLL BUILD_TYPE
set -euo pipefail
top=$(cd "${1:?usage: $0 SOURCE_DIR BUILT_DLL BUILD_TYPE}" && pwd -P)
dll=${2:?}
build_type=${3:?}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vostrel-reproduce.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failed=0

# What a clone would hold: the tracked files and the new ones not ignored.
copy=$scratch/elsewhere/Vostrel
mkdir -p "$copy"
git -C "$top" -c safe.directory="$top" ls-files -co --exclude-standard -z | (cd "$top" && tar -cf - --null -T -) |
  tar -xf - -C "$copy"

sleep 1 # a link time stamp would now differ by at least a second
(cd "$copy" && TZ=Asia/Tokyo cmake -S . -B "$scratch/build" --no-warn-unused-cli \
  -DCMAKE_BUILD_TYPE="$build_type" -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
  >"$scratch/build.log" 2>&1 &&
  TZ=Asia/Tokyo cmake --build "$scratch/build" --target Vostrel -j"${JOBS:-2}" \
    >>"$scratch/build.log" 2>&1) || { cat "$scratch/build.log"; exit 1; }
again=$scratch/build/src/Vostrel.dll

# same NAME FIRST SECOND: the files are identical, or the first differing bytes are shown.
same() {
  if cmp -s "$2" "$3"; then
    echo "same bytes: $1 ($(stat -c %s "$2") bytes)"
  else
    echo "DIFFERENT: $1; differing bytes (offset, octal values):"
    cmp -l "$2" "$3" | head -n 12 || true
    failed=1
  fi
}
same Vostrel.dll "$dll" "$again"

# The zip of each build, the second packed later and in another time zone.
mkdir -p "$scratch/first/src" "$scratch/second/src"
cp "$dll" "$scratch/first/src/"
cp "$again" "$scratch/second/src/"
touch -d '2001-02-03 04:05:06' "$scratch/second/src/Vostrel.dll"
DIST_DIR=$scratch/first/dist TZ=UTC bash "$top/scripts/dist.sh" "$scratch/first" >/dev/null
sleep 2 # the zip's clock has a two-second step
(umask 077 && DIST_DIR=$scratch/second/dist TZ=Asia/Tokyo \
  bash "$top/scripts/dist.sh" "$scratch/second" >/dev/null)
zip=$(cd "$scratch/first/dist" && ls Vostrel-*.zip)
same "$zip" "$scratch/first/dist/$zip" "$scratch/second/dist/$zip"
same SHA256SUMS "$scratch/first/dist/SHA256SUMS" "$scratch/second/dist/SHA256SUMS"
(cd "$scratch/second/dist" && sha256sum --quiet -c SHA256SUMS) || failed=1

exit $failed
