#!/usr/bin/env bash
# The CTest runner's Wine session in STATE_DIR (wine_session_env): a prefix with the browser
# stand-in, on a virtual display.
#   session.sh ensure STATE_DIR URL_LOGGER_EXE   start both unless already running
#   session.sh run STATE_DIR URL_LOGGER_EXE MARK PROGRAM [ARGS...]   PROGRAM in the session
#   session.sh stop STATE_DIR                    end the Wine server and the display
set -eu
cmd=${1:-} state=${2:-}
# shellcheck source=/dev/null  # wine.sh is checked on its own
. "$(dirname "$0")/wine.sh"

display_alive() { [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; }

ensure() {
  mkdir -p "$state"
  exec 9>"$state/lock"
  flock 9
  wine_session_env "$state"
  display_alive || wine_display "$state"
  # Made once, its server ended: the server lingers some seconds after its last program, and
  # saves the registry as it ends.
  if [ ! -f "$state/prefix/.vostrel-ready" ]; then
    (wine_env "$state/prefix" && wine_prefix "$1" && wineserver -w)
    touch "$state/prefix/.vostrel-ready"
  fi
  [ "$WINEPREFIX" = "$state/prefix" ] || dpi_prefix "$WINEPREFIX"
  # A persistent server, started here with no inherited output, so that no test's wine
  # command starts one that would hold the test's output open. Fails if one runs already.
  # A new server's first program boots it (wineboot, services, drivers), and every program
  # started meanwhile waits for that: booted here, once, so that no test waits or races on it.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    wine_quiet timeout 100 wine cmd.exe /c exit ||
      { echo "session: Wine did not boot $WINEPREFIX in 100 s" >&2; exit 1; }
  fi
  exec 9>&-
}

# A copy of the prefix whose screen has VOSTREL_DPI dots per inch. Its programs' files are the
# same files (hard links; Wine writes none of them, and the .ini files are copied); its registry
# is its own, the DPI written into it before any program reads it.
dpi_prefix() {
  local copy=$1 base=$state/prefix ini
  [ -f "$copy/.vostrel-ready" ] && return
  rm -rf "$copy"
  mkdir -p "$copy"
  cp -al "$base/drive_c" "$copy/"
  find "$copy/drive_c" -name '*.ini' -type f | while read -r ini; do
    cp "$ini" "$ini.copy" && mv "$ini.copy" "$ini"
  done
  cp -a "$base/dosdevices" "$base"/*.reg "$base/.update-timestamp" "$copy/"
  LC_ALL=C awk -v dpi="$(printf '%08x' "$VOSTREL_DPI")" '
    !done && section && !/^#/ { print "\"LogPixels\"=dword:" dpi; done = 1 }
    { print; section = /^\[Control Panel\\\\Desktop\]/ || (section && /^#/) }
    END { exit !done }
  ' "$base/user.reg" >"$copy/user.reg" ||
    { echo "session: no desktop key in the prefix's user.reg" >&2; exit 1; }
  touch "$copy/.vostrel-ready"
}

# The program's output goes to a file, not the caller's pipe: a program that starts Wine's server
# also starts its helpers (its desktop, services), which live on with the server and inherit it.
run() {
  local mark=$2 out=$state/run.$$ status=0
  ensure "$1"
  trap 'rm -f "$out"' EXIT
  timeout -k 5 110 wine "${@:3}" </dev/null >"$out" 2>&1 || status=$?
  cat "$out"
  # Ended here short of CTest's limit (120 s), whose kill would leave nothing printed: its
  # output so far, and the Wine and X processes beside it.
  if [ $status = 124 ]; then
    echo "wine-run: still running after 110 s, beside:"
    for proc in /proc/[0-9]*; do tr '\0' ' ' <"$proc/cmdline" 2>/dev/null | cut -c 1-160; done |
      grep -aiE 'wine|\.exe|xvfb' || :
  fi
  # This runner gives every run the code page, DPI and browser stand-in it needs: a skip, of the
  # whole program or of one check, is a loss.
  { [ $status != 77 ] && ! LC_ALL=C grep -qF -- "$mark" "$out"; } ||
    { echo "wine-run: skipped under the runner"; exit 1; }
  exit $status
}

stop() {
  [ -d "$state" ] || { echo "session: no session in $state" >&2; exit 1; }
  exec 9>"$state/lock"
  flock 9
  for prefix in "$state"/prefix "$state"/prefix-dpi*; do
    [ -d "$prefix" ] || continue
    { WINEPREFIX=$prefix wineserver -k && WINEPREFIX=$prefix wineserver -w; } 2>/dev/null || true
    # Debian's Wine leaves each server's folder, /tmp/wine-XXXXXX/server-DEV-INODE, named after
    # the prefix's device and inode in hexadecimal: only those of this session's prefixes go.
    server=$(printf 'server-%s-%x' "$(stat -c %D "$prefix")" "$(stat -c %i "$prefix")")
    for dir in /tmp/wine-??????/"$server"; do
      [ ! -d "$dir" ] || { rm -rf "$dir" && rmdir --ignore-fail-on-non-empty "${dir%/*}"; }
    done
  done
  if display_alive; then kill "$(cat "$state/xvfb.pid")"; fi
  rm -f "$state/xvfb.pid" "$state/display"
}

case $cmd:$# in
  ensure:3) ensure "$3" ;;
  run:[5-9] | run:[1-9][0-9]*) run "${@:3}" ;;
  stop:2) stop ;;
  *) echo "usage: session.sh ensure|run|stop STATE_DIR [URL_LOGGER_EXE [MARK PROGRAM ARGS...]]" >&2; exit 2 ;;
esac
