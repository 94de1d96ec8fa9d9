#!/usr/bin/env bash
# Runs the Windows test programs of a build as a Windows runner would: with wine alone, in a fresh
# prefix as wineboot makes it, LOCALE as given (default en_US.UTF-8), on a virtual display, and
# with no browser stand-in registered. The browsers Wine would start are stand-ins on PATH here:
# any call to one fails the run.
#   test-plain.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
locale=${LOCALE:-en_US.UTF-8}
work=$(mktemp -d "${TMPDIR:-/tmp}/vostrel-plain.XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all LANG=$locale LC_ALL=$locale
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Wine's .NET and HTML engines
finish() {
  wineserver -k 2>/dev/null || true
  [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
mkdir "$work/bin"
for browser in xdg-open firefox konqueror mozilla opera dillo; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$browser" "$work/browsers.log" >"$work/bin/$browser"
  chmod +x "$work/bin/$browser"
done
export PATH=$work/bin:$PATH
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp </dev/null >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(tr -dc 0-9 <"$work/display")
wineboot --init >/dev/null 2>&1
# Xvfb has no window manager, and Wine waits for one at every window hidden: Wine's own desktop
# window takes its place, as a Windows runner has its desktop window manager.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
wineserver -w  # the desktop comes with the next server
echo "plain wine: $(wine --version), $locale, prefix $WINEPREFIX"
status=0
# The programs alone: no session of the runner, nor the tests of Linux tools.
VOSTREL_PLAIN=1 PLAIN_EXCLUDE='^(package|wine_session_.*|conformance\.reproducible|standin\..*)$' \
  bash "$(dirname "$0")/test.sh" "$build" || status=1
if [ -s "$work/browsers.log" ]; then
  echo "a browser was started:" && cat "$work/browsers.log"
  status=1
fi
exit $status
