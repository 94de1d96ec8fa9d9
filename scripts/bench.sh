#!/usr/bin/env bash
# Builds the duel benchmark in Release and runs it, then prints each case beside its memchr pass.
# Usage: scripts/bench.sh BUILD_DIR   (make bench BUILD=build/xyz passes build/xyz/bench)
# Extra arguments go to the benchmark, e.g. --benchmark_filter=other.
set -eu
out="${1:?usage: bench.sh BUILD_DIR}"
shift
root="$(cd "$(dirname "$0")/.." && pwd)"

SETUP_EXTRA="${SETUP_EXTRA:-} libbenchmark-dev" bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --target duel_bench -j"${JOBS:-2}" >/dev/null

log="$out/duel_bench.txt"
# Each case runs beside its memchr pass, five times over, the runs of all of them shuffled
# together: a slow spell of a machine shared with other work then falls on both sides of a ratio
# alike, and the medians leave out what is left of it.
"$out/bench/duel_bench" --benchmark_min_time=0.2 --benchmark_repetitions=5 \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true "$@" |
  tee "$log"

# Columns of the console report: name, wall time, unit, cpu time, unit, iterations, ...
# The table keeps the cases in the benchmark's own order, which the shuffled report does not.
echo
"$out/bench/duel_bench" --benchmark_list_tests=true "$@" | awk '
  function ns(v, u) { return u == "us" ? v * 1000 : (u == "ms" ? v * 1e6 : v) }
  FILENAME == "-" { if ($1 ~ /^duel\//) order[++n] = substr($1, 6); next }
  $1 ~ /^duel\/.*_median$/ { c = substr($1, 6, length($1) - 12); duel[c] = ns($4, $5) }
  $1 ~ /^memchr\/.*_median$/ { c = substr($1, 8, length($1) - 14); pass[c] = ns($4, $5) }
  END {
    printf "%-16s %12s %12s %8s\n", "case (median)", "duel ns", "memchr ns", "ratio"
    for (i = 1; i <= n; i++) {
      c = order[i]
      r = pass[c] > 0 ? duel[c] / pass[c] : 0
      printf "%-16s %12.1f %12.1f %8.1f\n", c, duel[c], pass[c], r
      if (r > worst) { worst = r; worst_case = c }
    }
    printf "worst ratio: %.1f (%s)\n", worst, worst_case
  }' - "$log"
