#!/usr/bin/env bash
# make demo: the release Vostrel.dll inside the stand-in host, over the sample messages, first in
# the warning mode, then switched to the always-show mode through its settings dialog. Every box
# and dialog is closed by the host itself; the pictures go to BUILD/demo/shots.
#   [VOSTREL_DPI=N] demo.sh WIN32_BUILD_DIR
# VOSTREL_DPI (default 96) is the screen's dots per inch, in a copy of the demo's prefix of its
# own; the stand-in host is DPI-aware, as a modern mail client is, so Wine 8 and Wine 10 alike
# tell it that DPI.
set -eu
[ $# = 1 ] || { echo "usage: [VOSTREL_DPI=N] demo.sh WIN32_BUILD_DIR" >&2; exit 2; }
case ${VOSTREL_DPI:-96} in
  '' | *[!0-9]* | 0*) echo "demo: VOSTREL_DPI must be a number of dots per inch" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
host=$build/standin/StandinHost.exe
dll=$build/src/Vostrel.dll
logger=$build/tests/e2e/urllog.exe
for f in "$host" "$dll" "$logger"; do
  [ -f "$f" ] || { echo "demo: $f is missing; build first (make win32)" >&2; exit 1; }
done

# A prefix of its own: the demo's desktop and fonts must not change what the tests see.
demo=$build/demo
state=$demo/wine
session=$root/tests/wine/session.sh
trap '"$session" stop "$state" >/dev/null 2>&1 || true' EXIT
"$session" ensure "$state" "$logger"
# shellcheck source=/dev/null  # wine.sh is checked on its own
. "$root/tests/wine/wine.sh"
wine_session_env "$state"

if [ ! -f "$WINEPREFIX/.vostrel-demo-ready" ]; then
  # Wine's own desktop (wine_prefix) draws the frames and captions.
  # The plug-in's dialogs ask for Windows' Japanese fonts; IPA Gothic stands in for them.
  for face in "ＭＳ Ｐゴシック" "MS PGothic" "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine_quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAPGothic /f
  done
  for face in "ＭＳ ゴシック" "MS Gothic"; do
    wine_quiet wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f
  done
  # Wine draws the caption buttons with its Marlett font, which it looks for in the prefix.
  for font in marlett.ttf tahoma.ttf tahomabd.ttf; do
    [ -f "/usr/share/wine/fonts/$font" ] && cp "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
  done
  wineserver -k || true
  "$session" ensure "$state" "$logger"
  touch "$WINEPREFIX/.vostrel-demo-ready"
fi

# A private copy of the plug-in, so that its settings file is the demo's own and starts afresh.
rm -rf "$demo/plugin/Vostrel.ini" "$demo/shots"
mkdir -p "$demo/plugin" "$demo/shots"
cp "$dll" "$demo/plugin/Vostrel.dll"
cp "$root"/examples/*.eml "$demo/"

# Each run through the session's runner (session.sh run, which ends it after 110 s), from the
# demo's folder.
run() {
  (cd "$demo" && "$session" run "$state" "$logger" "$(cat "$build/skip-mark.txt")" \
    "$host" --unattended --shots "$@")
}

echo "== run 1: fresh settings (warning mode), then switched to the always-show mode"
run shots/run1 --info plugin/Vostrel.dll . --setup=always,ok . --no-mailer
echo
echo "== run 2: the always-show mode read back from plugin/Vostrel.ini"
run shots/run2 plugin/Vostrel.dll 03-sender-behind.eml --mailer "Becky! ver. 2.90.00 (Windows 11)" --setup
echo
echo "== settings file"
tr -d '\r' <"$demo/plugin/Vostrel.ini"
echo
echo "== pictures in $demo/shots"
(cd "$demo/shots" && ls -1 run1/* run2/*)
