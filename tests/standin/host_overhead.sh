#!/usr/bin/env bash
# The stand-in host's own cost per opened message, in the always-show mode: a run of N inline
# messages against a run of one, less the time spent inside the plug-in (which the host tells
# with --timing). Each run is done five times and the fastest kept, since the machine may be
# shared.
#   host_overhead.sh WIN32_BUILD_DIR [N]     (N defaults to 1000)
set -eu
export LC_ALL=C  # the tools read here; the runner gives Wine its locale
[ $# -ge 1 ] || { echo "usage: host_overhead.sh WIN32_BUILD_DIR [N]" >&2; exit 2; }
build=$(cd "$1" && pwd)
n=${2:-1000}
work=$build/tests/standin/work/overhead
rm -rf "$work"
mkdir -p "$work"
cp "$build/src/Vostrel.dll" "$work/"
printf '[Settings]\r\nfPopup=0\r\n' >"$work/Vostrel.ini"

# The fastest of five runs with `count` messages: "whole_ms plugin_ms".
fastest() {
  local count=$1 args=() best="" i start end ms plugin
  for ((i = 0; i < count; i++)); do args+=(--mailer "Becky! ver. 2.81.05"); done
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$build/wine-run.sh" "$build/standin/StandinHost.exe" --unattended --wait 0 --timing \
      "$work/Vostrel.dll" "${args[@]}" >"$work/out.txt"
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    local results
    results=$(grep -c "result window" "$work/out.txt" || true)
    if [ "$results" != "$count" ]; then
      echo "expected $count verdicts in the result window, got $results:" >&2
      cat "$work/out.txt" >&2
      exit 1
    fi
    plugin=$(sed -nE 's/^timing: .*, ([0-9.]+) ms inside.*/\1/p' "$work/out.txt")
    if [ -z "$best" ] || [ "$ms" -lt "${best%% *}" ]; then best="$ms $plugin"; fi
  done
  echo "$best"
}

read -r one one_plugin <<<"$(fastest 1)"
read -r many many_plugin <<<"$(fastest "$n")"
echo "1 message: $one ms ($one_plugin ms in the plug-in); $n messages: $many ms ($many_plugin ms in the plug-in)"
awk -v a="$one" -v ap="$one_plugin" -v b="$many" -v bp="$many_plugin" -v n="$n" 'BEGIN {
  printf "per message: %.3f ms in all, %.3f ms of it in the plug-in, %.3f ms the host'"'"'s\n",
    (b - a) / (n - 1), (bp - ap) / (n - 1), ((b - a) - (bp - ap)) / (n - 1) }'
