#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and ASan + UBSan) through CMake and runs each,
# one after the other, for FUZZ_RUNS executions (default 10 million), starting from the committed
# corpus. FUZZ_SECONDS=n also stops each target after n seconds.
# Usage: scripts/fuzz.sh BUILD_DIR   (make fuzz BUILD=build/xyz passes build/xyz/fuzz)
# New inputs go to BUILD_DIR/corpus/<target>, crashes to BUILD_DIR/crash-<target>-*; a crash
# worth keeping is copied into tests/fuzz/corpus/<target>/ by hand after the fix.
set -eu
out="${1:?usage: fuzz.sh BUILD_DIR}"
runs="${FUZZ_RUNS:-10000000}"
seconds="${FUZZ_SECONDS:-0}"  # 0: no time limit
root="$(cd "$(dirname "$0")/.." && pwd)"

# The distribution's own clang (14 on Debian 12, 19 on Debian 13), with its libFuzzer runtime.
SETUP_EXTRA="${SETUP_EXTRA:-} clang libclang-rt-dev" bash "$root/scripts/setup.sh"
cc="${FUZZ_CC:-clang}"
cxx="${FUZZ_CXX:-clang++}"
# The targets are built by CMake from the same core sources as the tests (VOSTREL_FUZZ=ON).
echo "fuzz: building in $out (log: $out/build.log)"
mkdir -p "$out"
{ cmake -S "$root" -B "$out" -DVOSTREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" &&
  cmake --build "$out" -j"${JOBS:-2}"; } >"$out/build.log" 2>&1 || { cat "$out/build.log"; exit 1; }

# Every target the build made; FUZZ_TARGETS="a b" runs only those.
read -r -a targets <<<"${FUZZ_TARGETS:-$(cd "$out/tests/fuzz" && printf '%s\n' *_fuzz | sed 's/_fuzz$//' | xargs)}"
status=0
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t"
  log="$out/$t.log"
  # A target's .options file holds its own flags: -max_len no longer than the bytes it reads.
  opts=(-max_len=4096)
  [ -f "$root/tests/fuzz/$t.options" ] && read -r -a opts <"$root/tests/fuzz/$t.options"
  [ -f "$root/tests/fuzz/$t.dict" ] && opts+=(-dict="$root/tests/fuzz/$t.dict")
  echo "fuzz: running $t for $runs executions (log $log)"
  start=$SECONDS
  if "$out/tests/fuzz/${t}_fuzz" -runs="$runs" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$out/crash-$t-" "${opts[@]}" \
      "$out/corpus/$t" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"
    status=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/.*exec\/s: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  units=$(find "$out/corpus/$t" -type f | wc -l)
  summary+=("$(printf '%-16s %12s %8s %10s %6s %8s  %s' "$t" "${execs:-?}" "$((SECONDS - start))" \
    "${rate:-?}" "${cov:-?}" "$units" "$result")")
done

echo
printf '%-16s %12s %8s %10s %6s %8s  %s\n' target executions seconds exec/s cov "new corp" result
for line in "${summary[@]}"; do echo "$line"; done
exit $status
