#!/usr/bin/env bash
# check_bundle.sh SOURCE: scripts/bundle.sh over a made-up build whose one test takes each row's
# arguments: the bundling fails with the row's message, or, with none, makes a bundle whose list,
# read by CTest from a moved folder named with a space, runs the bundle's own copies.
set -uo pipefail
export LC_ALL=C
source=$1 top=$(mktemp -d)
# The sources' path as CMake writes it in a quoted argument: one sed escapes all three characters.
# shellcheck disable=SC2001
quoted=$(sed 's/[\\"$]/\\&/g' <<<"$source")
trap 'rm -rf -- "$top"' EXIT
build=$top/build status=0
mkdir -p "$build/sub"
touch "$build/skip-mark.txt" "$build/sub/prog.exe"
echo 'subdirs("sub")' >"$build/CTestTestfile.cmake"
while IFS='|' read -r args message; do
  printf 'add_test([=[t]=] "%s/sub/prog.exe" %s)\n' "$build" "$args" >"$build/sub/CTestTestfile.cmake"
  rm -rf "$top/moved dir"
  if out=$(bash "$source/scripts/bundle.sh" "$build" "$top/out" 2>&1); then
    mv "$top/out" "$top/moved dir"
    out=$(ctest --test-dir "$top/moved dir" --show-only=json-v1 |
      python3 -c 'import json, sys; print(json.load(sys.stdin)["tests"][0]["command"])')
    [ -f "$top/moved dir/examples/01-sender-ahead.eml" ] || out+=" without examples/01-sender-ahead.eml"
  fi
  grep -qxF -- "$message" <<<"$out" || { echo "bundling $args: expected $message, got $out"; status=1; }
done <<EOF
"$quoted/examples/01-sender-ahead.eml" "/c"|['$top/moved dir/sub/prog.exe', '$top/moved dir/examples/01-sender-ahead.eml', '/c']
"$quoted/examples/01-sender-ahead.eml" "/etc/hosts"|bundle: sub/CTestTestfile.cmake: a test names a file outside the bundle: /etc/hosts
"$quoted/examples/01-sender-ahead.eml" "x=$build/y"|bundle: sub: $build is left in the list
"$quoted/examples/none.eml"|bundle: sub/CTestTestfile.cmake: a test names $source/examples/none.eml, which is not there
EOF
exit $status
