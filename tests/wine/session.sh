#!/usr/bin/env bash
# A Wine session for the build's Windows programs: a private prefix with Wine's virtual desktop,
# on a virtual X display.
#   session.sh ensure STATE_DIR [URL_LOGGER_EXE]   start both unless already running
#   session.sh stop STATE_DIR                      end the Wine server and the display
set -eu
cmd=$1 state=$2 logger=${3:-}
mkdir -p "$state"
. "$(dirname "$0")/wine-env.sh"
wine_session_env "$state"

display_alive() {
  [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null
}

start_display() {
  rm -f "$state/display" "$state/xvfb.pid"
  exec 5>"$state/display.fd"
  # Background processes must not keep the lock (fd 9) or a caller's output open.
  Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset </dev/null >"$state/xvfb.log" 2>&1 9>&- &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$state/display.fd" ] && break
    sleep 0.1
  done
  exec 5>&-
  [ -s "$state/display.fd" ] || { echo "session: Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
  echo ":$(LC_ALL=C tr -dc 0-9 <"$state/display.fd")" >"$state/display"
}

init_prefix() {
  export DISPLAY
  DISPLAY=$(cat "$state/display")
  local prefix=$WINEPREFIX
  export WINEPREFIX=$BASE_WINEPREFIX
  if [ ! -f "$state/prefix/.vostrel-ready" ]; then
    wineboot --init </dev/null >/dev/null 2>&1 9>&- || true
    if [ -n "$logger" ]; then
      # Web addresses opened through the shell go to the logger instead of a browser.
      winpath=$(winepath -w "$logger" 2>/dev/null)
      for scheme in http https; do
        wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$winpath\" \"%1\"" /f \
          </dev/null >/dev/null 2>&1 9>&-
      done
    fi
  fi
  if [ ! -f "$state/prefix/.vostrel-desktop" ]; then
    # Windows always has its desktop window manager; Xvfb has none, and Wine would wait for one
    # some seconds at every hide and every box closed. Wine's own desktop window takes its place.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Vostrel /f </dev/null >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Vostrel /d 1024x768 /f \
      </dev/null >/dev/null 2>&1 9>&-
  fi
  if [ ! -f "$state/prefix/.vostrel-desktop" ] || [ ! -f "$state/prefix/.vostrel-ready" ]; then
    # Once for all the settings above (the server lingers some seconds after its last program).
    wineserver -w
    touch "$state/prefix/.vostrel-ready" "$state/prefix/.vostrel-desktop"
  fi
  [ "$prefix" = "$BASE_WINEPREFIX" ] || init_dpi_prefix "$prefix"
  # A persistent server, started here with no inherited output, so that no test's wine
  # command starts one that would hold the test's output open. Fails if one runs already.
  WINEPREFIX=$prefix wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
}

# A copy of the prefix whose screen has VOSTREL_DPI dots per inch. Its programs' files are the
# same files (hard links; Wine writes none of them, and the .ini files are copied); its registry
# is its own, the DPI written into it before any program reads it.
init_dpi_prefix() {
  local copy=$1 ini
  [ -f "$copy/.vostrel-ready" ] && return
  rm -rf "$copy"
  mkdir -p "$copy"
  cp -al "$BASE_WINEPREFIX/drive_c" "$copy/"
  find "$copy/drive_c" -name '*.ini' -type f | while read -r ini; do
    cp "$ini" "$ini.copy" && mv "$ini.copy" "$ini"
  done
  cp -a "$BASE_WINEPREFIX/dosdevices" "$BASE_WINEPREFIX"/*.reg "$BASE_WINEPREFIX/.update-timestamp" "$copy/"
  LC_ALL=C awk -v dpi="$(printf '%08x' "$VOSTREL_DPI")" '
    !done && section && !/^#/ { print "\"LogPixels\"=dword:" dpi; done = 1 }
    { print; section = /^\[Control Panel\\\\Desktop\]/ || (section && /^#/) }
    END { exit !done }
  ' "$BASE_WINEPREFIX/user.reg" >"$copy/user.reg" ||
    { echo "session: no desktop key in the prefix's user.reg" >&2; exit 1; }
  touch "$copy/.vostrel-ready"
}

case $cmd in
  ensure)
    exec 9>"$state/lock"
    flock 9
    display_alive || start_display
    init_prefix
    ;;
  stop)
    exec 9>"$state/lock"
    flock 9
    for prefix in "$state"/prefix "$state"/prefix-dpi*; do
      [ -d "$prefix" ] || continue
      WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
      WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
      # Debian's Wine leaves each server's folder, /tmp/wine-XXXXXX/server-DEV-INODE, named after
      # the prefix's device and inode in hexadecimal: only those of this session's prefixes go.
      server=$(printf 'server-%s-%x' "$(stat -c %D "$prefix")" "$(stat -c %i "$prefix")")
      for dir in /tmp/wine-??????/"$server"; do
        [ ! -d "$dir" ] || { rm -rf "$dir" && rmdir --ignore-fail-on-non-empty "${dir%/*}"; }
      done
    done
    if display_alive; then kill "$(cat "$state/xvfb.pid")"; fi
    rm -f "$state/xvfb.pid" "$state/display"
    ;;
  *)
    echo "usage: session.sh ensure|stop STATE_DIR [URL_LOGGER_EXE]" >&2
    exit 2
    ;;
esac
