#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and ASan + UBSan) and runs each for
# FUZZ_SECONDS seconds (default 60), starting from the committed seed corpus.
# Usage: scripts/fuzz.sh BUILD_DIR   (make fuzz BUILD=build/xyz passes build/xyz/fuzz)
# New inputs go to BUILD_DIR/corpus/<target>, crashes to BUILD_DIR/crash-<target>-*; a crash
# worth keeping is copied into tests/fuzz/corpus/<target>/ by hand after the fix.
set -eu
out="${1:?usage: fuzz.sh BUILD_DIR}"
seconds="${FUZZ_SECONDS:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"

SETUP_EXTRA="${SETUP_EXTRA:-} clang-14 libclang-rt-14-dev" bash "$root/scripts/setup.sh"
cxx="${FUZZ_CXX:-clang++-14}"

core=(src/duel/bounded_text.cpp src/duel/cp932.cpp src/duel/version_scan.cpp
      src/duel/verdict_text.cpp src/settings/ini_path.cpp src/settings/setting_number.cpp)
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -fno-omit-frame-pointer -Wall -Wextra -Wpedantic -Wshadow -Wformat=2 -Wcast-align -Werror
       -I"$root/src")
targets=(version_scan verdict_text setting_number ini_path)

mkdir -p "$out"
for t in "${targets[@]}"; do
  echo "fuzz: building $t"
  (cd "$root" && "$cxx" "${flags[@]}" "tests/fuzz/${t}_fuzz.cpp" "${core[@]}" -o "$out/$t")
done

status=0
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$out/corpus/$t"
  log="$out/$t.log"
  dict=()
  [ -f "$root/tests/fuzz/$t.dict" ] && dict=(-dict="$root/tests/fuzz/$t.dict")
  echo "fuzz: running $t for ${seconds}s (log $log)"
  if "$out/$t" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$out/crash-$t-" "${dict[@]}" \
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
  summary+=("$(printf '%-16s %12s %10s %6s %8s  %s' "$t" "${execs:-?}" "${rate:-?}" "${cov:-?}" \
    "$units" "$result")")
done

echo
printf '%-16s %12s %10s %6s %8s  %s\n' target executions exec/s cov "new corp" result
for line in "${summary[@]}"; do echo "$line"; done
exit $status
