#!/usr/bin/env bash
# Size report of the built plug-in: its size against the 19 KiB goal, its sections, what it
# imports, and whether its stack frames are checked, read from the link map the build writes
# beside it. Exit status 1 when it is over the goal, needs a DLL that Windows does not ship, has
# no stack protection or links libssp.
# Usage: scripts/size-report.sh path/to/Vostrel.dll
set -euo pipefail

goal=19456
system_dlls=$(grep -v '^#' "$(dirname "$0")/../cmake/system-dlls.txt" | tr '\n' ' ')

dll=${1:?usage: $0 path/to/Vostrel.dll}
[ -f "$dll" ] || { echo "no such file: $dll" >&2; exit 2; }
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
command -v "$objdump" >/dev/null || { echo "$objdump not found (run scripts/setup.sh)" >&2; exit 2; }
"$objdump" -f "$dll" >/dev/null || { echo "not a Windows binary: $dll" >&2; exit 2; }

size=$(stat -c %s "$dll")
printf 'File: %s\nSize: %d bytes (%d.%02d KiB)\n\n' "$dll" "$size" $((size / 1024)) \
  $((size % 1024 * 100 / 1024))

echo "Sections (bytes):"
total=0
while read -r name hex; do
  printf '  %-10s %7d\n' "$name" $((16#$hex))
  total=$((total + 16#$hex))
done < <("$objdump" -h "$dll" | awk '/^ *[0-9]+ [.A-Za-z_]/ { print $2, $3 }')
printf '  %-10s %7d (.bss takes no room in the file; the rest is headers and padding)\n' "sum" \
  "$total"
# Sections fill whole 512-byte blocks of the file: code can grow this much before the file does.
text=$("$objdump" -h "$dll" | awk '$2 == ".text" { print $3 }')
[ -z "$text" ] || printf '  .text can grow %d bytes before the file grows\n' \
  $(((512 - 16#$text % 512) % 512))
echo

echo "Header:"
pe=$(od -An -tu4 -j60 -N4 "$dll" | tr -d ' ')
stamp=$(od -An -tu4 -j$((pe + 8)) -N4 "$dll" | tr -d ' ')
if [ "$stamp" = 0 ]; then echo "  link time stamp: none"; else echo "  link time stamp: $stamp"; fi
"$objdump" -p "$dll" | awk '
  /^DllCharacteristics/ { flags = 1; next }
  flags && /^[ \t]+[A-Z_]+$/ { printf "  %s\n", $1; next }
  { flags = 0 }'
echo

echo "Imports:"
imports=$("$objdump" -p "$dll" | awk '
  /^[ \t]*DLL Name:/ { dll = $3; print "  " dll; next }
  dll != "" && /^[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+[A-Za-z_]/ { print "      " $3 }
  /^$/ && dll != "" && seen_functions { dll = ""; seen_functions = 0 }
  dll != "" && /Hint\/Ord/ { seen_functions = 1 }')
echo "$imports"
echo

foreign=()
while read -r name; do
  lower=${name,,}
  case " $system_dlls " in
    *" $lower "*) ;;
    *) foreign+=("$name") ;;
  esac
done < <("$objdump" -p "$dll" | awk '/^[ \t]*DLL Name:/ { print $3 }')

status=0
if [ "$size" -le "$goal" ]; then
  echo "Size goal: within $goal bytes (19 KiB), $((goal - size)) bytes to spare."
else
  echo "Size goal: OVER $goal bytes (19 KiB) by $((size - goal)) bytes."
  status=1
fi
if [ ${#foreign[@]} -eq 0 ]; then
  echo "Imports: Windows system DLLs only."
else
  echo "Imports: NOT only Windows system DLLs: ${foreign[*]}"
  status=1
fi

# The objects that call the failure function are those compiled with checked frames; the map's
# cross reference table names them after the object that defines it (GNU ld's --cref).
map=${dll%.*}.map
if [ ! -f "$map" ]; then
  echo "Stack protection: unknown, no link map $map"
  status=1
else
  read -r definer checked < <(awk '
    /^Cross Reference Table/ { table = 1; next }
    table && $1 == "__stack_chk_fail" { definer = $2; found = 1; next }
    found && /^[ \t]/ { checked++; next }
    found { exit }
    END { print (definer == "" ? "none" : definer), checked + 0 }' "$map")
  definer=${definer##*(}
  definer=${definer%)}
  if [ "$checked" -gt 0 ]; then
    echo "Stack protection: on, $checked objects check their frames; __stack_chk_fail from" \
      "$definer."
  else
    echo "Stack protection: OFF, no object checks its frames."
    status=1
  fi
  # A member taken from any of libssp's archives (LOAD lines only say one was searched).
  if grep -q 'libssp[^ ]*\.a(' "$map"; then
    echo "Stack protection: libssp's code is linked, see $map."
    status=1
  fi
fi
if [ $status -eq 0 ]; then
  echo "RESULT: OK, $size bytes <= $goal, only system DLLs imported, stack protection on."
else
  echo "RESULT: FAILED, see the lines above."
fi
exit $status
