#!/usr/bin/env bash
# test-plain.sh BUILD_DIR: the build's Windows test programs as a Windows runner would run them:
# wine alone, a fresh prefix as wineboot makes it, LOCALE (default en_US.UTF-8), a virtual display
# and no browser stand-in registered. Stand-ins for the browsers Wine would start sit on PATH: a
# call to any of them fails the run.
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vostrel-plain.XXXXXX")
trap 'wineserver -k 2>/dev/null || :; kill ${xvfb:-} 2>/dev/null || :; rm -rf "$work"' EXIT
export LANG=${LOCALE:-en_US.UTF-8} LC_ALL=${LOCALE:-en_US.UTF-8} PATH=$work/bin:$PATH
# No offer to install Wine's .NET and HTML engines.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir "$work/bin"
for browser in xdg-open firefox konqueror mozilla opera dillo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$browser" "$work/browsers" >"$work/bin/$browser"
  chmod +x "$work/bin/$browser"
done
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp 5>"$work/display" </dev/null >/dev/null 2>&1 &
xvfb=$!
for _ in {1..100}; do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -dc 0-9 <"$work/display")
wineboot --init >/dev/null 2>&1
# Xvfb has no window manager, and Wine waits for one at every window hidden: Wine's own desktop
# takes its place, as a Windows runner has its desktop window manager. It comes with the next
# server; this one saves the registry as it ends.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -k
status=0
# The programs alone: no session of the runner, nor the tests of Linux tools.
VOSTREL_PLAIN=1 TEST_EXCLUDE='^(package|wine_session_.*|conformance\.reproducible|standin\..*)$' \
  bash "$(dirname "$0")/test.sh" "$build" || status=1
[ ! -s "$work/browsers" ] || { echo "a browser was started:"; cat "$work/browsers"; status=1; }
exit $status
