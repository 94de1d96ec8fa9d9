# shellcheck shell=bash
# Sourced by every script that runs Windows programs under Wine (session.sh for the CTest runner
# and make demo, test-windows.sh): one way to start the display, make a prefix and fill it. The
# caller chooses the language (LANG, LC_ALL), whose ANSI code page Wine takes.

# wine_env PREFIX: Wine's environment for PREFIX.
wine_env() {
  # No offer of Wine's .NET and HTML engines when it makes a prefix.
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  # Debian 13's Wine aborts (free(): invalid pointer) whenever TMPDIR is set; Debian's Wine keeps
  # its server's folder in /tmp then.
  unset TMPDIR
}

# wine_quiet COMMAND...: COMMAND without the caller's input, output or lock (fd 9), which the Wine
# server and helpers it may start would keep; its output in PREFIX.log, shown if it fails.
wine_quiet() {
  "$@" </dev/null >"$WINEPREFIX.log" 2>&1 9>&- ||
    { echo "wine: failed: $*" >&2; cat "$WINEPREFIX.log" >&2; return 1; }
}

# wine_display DIR: DISPLAY, a virtual X display, its number in DIR/display, its process in
# DIR/xvfb.pid. An Xvfb that ends, or is not ready in 10 s, fails at once, with its log.
wine_display() {
  local tries=100
  rm -f "$1/display.fd"
  Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset 5>"$1/display.fd" \
    </dev/null >"$1/xvfb.log" 2>&1 9>&- &
  echo $! >"$1/xvfb.pid"
  until [ -s "$1/display.fd" ]; do
    { kill -0 $! && ((--tries)); } 2>/dev/null ||
      { echo "wine: Xvfb did not start:" >&2; cat "$1/xvfb.log" >&2; return 1; }
    sleep 0.1
  done
  DISPLAY=:$(LC_ALL=C tr -dc 0-9 <"$1/display.fd") && export DISPLAY && echo "$DISPLAY" >"$1/display"
}

# wine_prefix [URL_LOGGER_EXE]: makes WINEPREFIX, with Wine's own desktop window for the window
# manager Windows always has (Xvfb has none: Wine would wait for one at every window hidden).
wine_prefix() {
  wine_quiet wineboot --init || return
  wine_quiet wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Vostrel /f || return
  wine_quiet wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Vostrel /d 1024x768 /f || return
  [ -z "${1:-}" ] || wine_url_logger "$1"
}

# wine_url_logger EXE: web addresses opened through the shell go to EXE (urllog.cpp), not a browser.
wine_url_logger() {
  local path scheme
  wine_quiet winepath -w "$1" && path=$(tail -n 1 "$WINEPREFIX.log") || return
  for scheme in http https; do
    wine_quiet wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$path\" \"%1\"" /f || return
  done
}

# wine_session_env STATE_DIR: the CTest runner's session (session.sh) kept in STATE_DIR, in
# Japanese (ANSI code page 932) unless VOSTREL_LOCALE names another; VOSTREL_CODE_PAGE and
# VOSTREL_DPI name what each run must have, and a screen of another DPI has a prefix of its own
# (Wine reads the DPI from the registry as each program starts).
wine_session_env() {
  export LANG=${VOSTREL_LOCALE:-ja_JP.UTF-8} VOSTREL_CODE_PAGE=${VOSTREL_CODE_PAGE:-932}
  export LC_ALL=$LANG VOSTREL_DPI=${VOSTREL_DPI:-96}
  wine_env "$1/prefix"
  [ "$VOSTREL_DPI" = 96 ] || WINEPREFIX+=-dpi$VOSTREL_DPI
  [ ! -s "$1/display" ] || { export DISPLAY && DISPLAY=$(cat "$1/display"); }
}
