#!/usr/bin/env bash
# Runs every test suite given as a build folder, and ends with one line of totals. CTEST: the
# command that runs CTest (default ctest).
set -u
export LC_ALL=C
passed=0 failed=0 skipped=0 status=0
for dir in "$@"; do
  echo "== tests in $dir"
  log=$(mktemp)
  ${CTEST:-ctest} --test-dir "$dir" --output-on-failure -j"${JOBS:-2}" 2>&1 | tr -d '\r' | tee "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  # Each skip's line, `<test>: <file>: Tests skipped: <why>`: CTest shows the output of failures
  # only. The mark is the build's own, which its programs print.
  reasons=$(mark=$(cat "$dir/skip-mark.txt" 2>/dev/null) &&
    awk -v mark="$mark" '{sub(/\r$/, "")} /^[0-9]+\/[0-9]+ Testing: /{t=$3}
      index($0, mark){print t ": " $0}' "$dir/Testing/Temporary/LastTest.log")
  [ -z "$reasons" ] || echo "$reasons"
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    echo "no test summary from $dir" >&2
    status=1
  else
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*, ([0-9]+) tests failed.*/\1/' <<<"$line")
    # CTest counts a skipped test as passed, and lists it as "(Skipped)": each gives its reason.
    skips=$(grep -c ' (Skipped)$' "$log")
    passed=$((passed + total - bad - skips))
    skipped=$((skipped + skips))
    failed=$((failed + bad))
    while read -r t; do
      grep -q "^$t: " <<<"$reasons" || { echo "test.sh: $t skipped, naming no reason"; status=1; }
    done < <(sed -n 's/^\t *[0-9]* - \(.*\) (Skipped)$/\1/p' "$log")
  fi
  rm -f "$log"
done
echo "tests: $passed passed, $failed failed, $skipped skipped"
exit $status
