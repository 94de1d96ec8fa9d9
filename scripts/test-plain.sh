#!/usr/bin/env bash
# test-plain.sh BUILD_DIR: the build's Windows test programs as a Windows runner would run them:
# wine alone, a fresh prefix as wineboot makes it, LOCALE (default en_US.UTF-8), a virtual display
# and no browser stand-in registered. Stand-ins for the browsers Wine would start sit on PATH: a
# call to any of them fails the run, and one page opened first proves that they catch it.
# It runs in namespaces of its own (bwrap), on a /tmp of its own: however it ends, SIGKILL
# included, all it started ends with it, and its prefix and display go with its /tmp.
set -euo pipefail
die() { echo "test-plain: $*" >&2; exit 1; }
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd -P)
locale=${LOCALE:-en_US.UTF-8}
if [ -z "${VOSTREL_PLAIN_INSIDE:-}" ]; then
  # Wine takes its code page from a locale that exists, and quietly another when it does not.
  [ -z "$(LC_ALL=$locale locale 2>&1 >/dev/null)" ] ||
    die "this machine has no locale $locale (locale -a lists those it has)"
  type -P bwrap >/dev/null || die "needs bwrap: apt-get install bubblewrap"
  clone=$(cd "$(dirname "$0")/.." && pwd -P)
  # bwrap takes this script's place: a signal ends it with 128+n, and all in its namespaces.
  exec env VOSTREL_PLAIN_INSIDE=1 bwrap --die-with-parent --unshare-pid --unshare-net \
    --dev-bind / / --tmpfs /tmp --bind "$clone" "$clone" --bind "$build" "$build" \
    --proc /proc bash "$0" "$build"
fi
work=/tmp/vostrel-plain
mkdir -p "$work/bin" "$work/home"
# No offer to install Wine's .NET and HTML engines.
export HOME=$work/home TMPDIR=/tmp LANG=$locale LC_ALL=$locale PATH=$work/bin:$PATH \
  WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
for browser in xdg-open firefox konqueror mozilla opera dillo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$browser" "$work/browsers" >"$work/bin/$browser"
  chmod +x "$work/bin/$browser"
done
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" </dev/null >/dev/null 2>&1 &
for _ in {1..100}; do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -dc 0-9 <"$work/display")
wineboot --init >/dev/null 2>&1
# Xvfb has no window manager, and Wine waits for one at every window hidden: Wine's own desktop
# takes its place, as a Windows runner has its desktop window manager. It comes with the next
# server; this one saves the registry as it ends.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -k
# The trap, proven: a page opened through the shell, as any program opens one, reaches it.
page=http://trap.vostrel.invalid/
wine start "$page" </dev/null >/dev/null 2>&1
for _ in {1..100}; do [ -s "$work/browsers" ] && break; sleep 0.1; done
caught=$(cat "$work/browsers" 2>/dev/null) || :
[ "$caught" = "xdg-open $page" ] ||
  die "the browser stand-ins caught ${caught:-nothing}, not xdg-open $page"
rm "$work/browsers"
# The programs alone: no session of the runner, nor the tests of Linux tools.
status=0
VOSTREL_PLAIN=1 TEST_EXCLUDE='^(package|wine_session_.*|conformance\.reproducible|standin\..*)$' \
  bash "$(dirname "$0")/test.sh" "$build" | tee "$work/tests" || status=1
[ ! -s "$work/browsers" ] || { echo "a browser was started:"; cat "$work/browsers"; status=1; }
# In Japanese the system gives every run all it needs but those named for another code page or DPI.
if [[ $locale == ja_JP* ]]; then
  named=$(ctest --test-dir "$build" -N -L '^named$' -FA '.*' | sed -n 's/^ *Test *#[0-9]*: //p')
  while IFS= read -r line; do
    grep -qxF "${line%%: *}" <<<"$named" ||
      { echo "test-plain: skipped in Japanese: $line"; status=1; }
  done < <(grep -E ': Tests? skipped: ' "$work/tests" || :)
fi
exit $status
