#!/usr/bin/env bash
# One case of the stand-in host's command line: prepares a folder with a fresh copy of the
# plug-in, runs the host under Wine from that folder and checks its exit status and transcript.
#   host_case.sh --work DIR [--dll DLL] [--ini TEXT] [--copy FILE PATH]... --status N
#                [--expect RE | --reject RE | --count N RE]... -- COMMAND ARGS...
# --copy puts FILE at PATH inside the folder. In COMMAND ARGS, @PLUGIN@ stands for the copied
# plug-in and @WORK@ for the folder.
set -u
work="" dll="" ini="" want_status=0
checks=() copies=()
while [ $# -gt 0 ]; do
  case $1 in
    --work) work=$2; shift 2 ;;
    --dll) dll=$2; shift 2 ;;
    --ini) ini=$2; shift 2 ;;
    --copy) copies+=("$2" "$3"); shift 3 ;;
    --status) want_status=$2; shift 2 ;;
    --expect | --reject) checks+=("$1" "" "$2"); shift 2 ;;
    --count) checks+=("$1" "$2" "$3"); shift 3 ;;
    --) shift; break ;;
    *) echo "host_case: unknown argument $1" >&2; exit 2 ;;
  esac
done
rm -rf "$work"
mkdir -p "$work/empty"
[ -n "$dll" ] && cp "$dll" "$work/Vostrel.dll"
[ -n "$ini" ] && printf '%b' "$ini" >"$work/Vostrel.ini"
for ((c = 0; c < ${#copies[@]}; c += 2)); do
  mkdir -p "$(dirname "$work/${copies[$((c + 1))]}")"
  cp "${copies[$c]}" "$work/${copies[$((c + 1))]}"
done
printf 'Dear Taro,\r\nthis is only a body, without any header.\r\n' >"$work/not-a-message.eml"

args=()
for a in "$@"; do
  a=${a//@PLUGIN@/$work/Vostrel.dll}
  args+=("${a//@WORK@/$work}")
done
out=$(cd "$work" && "${args[@]}" 2>&1)
status=$?
printf '%s\n' "$out"

passed=0 failed=0
report() {
  if [ "$1" = 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $2"; fi
}
[ "$status" = "$want_status" ]
report $? "exit status: expected $want_status, got $status"
i=0
while [ $i -lt ${#checks[@]} ]; do
  kind=${checks[$i]} n=${checks[$((i + 1))]} re=${checks[$((i + 2))]}
  i=$((i + 3))
  got=$(printf '%s\n' "$out" | tr -d '\r' | grep -cE -- "$re")
  case $kind in
    --expect) [ "$got" -gt 0 ]; report $? "expected a line matching /$re/, got none" ;;
    --reject) [ "$got" = 0 ]; report $? "expected no line matching /$re/, got $got" ;;
    --count) [ "$got" = "$n" ]; report $? "expected $n lines matching /$re/, got $got" ;;
  esac
done
echo "$passed passed, $failed failed"
[ $failed = 0 ]
