# shellcheck shell=bash
# Sourced by every script that runs Windows programs under Wine (the CTest runner's session.sh,
# make demo, make test-windows): one way to start the display and to make and fill a prefix. The
# caller chooses the language (LANG, LC_ALL), whose ANSI code page Wine takes.

# wine_env PREFIX: Wine's environment for PREFIX; wine_quiet keeps its commands' output in
# PREFIX.log.
wine_env() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  # Keeps Wine from offering to install its .NET and HTML engines when it makes a prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Debian 13's Wine aborts (free(): invalid pointer) whenever TMPDIR is set; Debian's Wine keeps
  # its server's folder in /tmp then.
  unset TMPDIR
}

# wine_quiet COMMAND...: COMMAND with no input and none of the caller's output or lock (fd 9),
# which the Wine server and helpers it may start would hold open; on failure, its output.
wine_quiet() {
  "$@" </dev/null >"$WINEPREFIX.log" 2>&1 9>&- && return
  echo "wine: failed: $*" >&2
  cat "$WINEPREFIX.log" >&2
  return 1
}

# wine_display DIR: a virtual X display, its number in DIR/display, its process in DIR/xvfb.pid,
# exported as DISPLAY. An Xvfb that ends or is not ready in 10 s fails at once, with its log.
wine_display() {
  local dir=$1 tries=100
  rm -f "$dir/display" "$dir/display.fd"
  Xvfb -displayfd 5 -screen 0 1280x800x24 -nolisten tcp -noreset 5>"$dir/display.fd" \
    </dev/null >"$dir/xvfb.log" 2>&1 9>&- &
  echo $! >"$dir/xvfb.pid"
  until [ -s "$dir/display.fd" ]; do
    if ! kill -0 $! 2>/dev/null || ((--tries == 0)); then
      echo "wine: Xvfb did not start:" >&2
      cat "$dir/xvfb.log" >&2
      return 1
    fi
    sleep 0.1
  done
  echo ":$(LC_ALL=C tr -dc 0-9 <"$dir/display.fd")" >"$dir/display"
  DISPLAY=$(cat "$dir/display")
  export DISPLAY
}

# wine_prefix: makes WINEPREFIX with Wine's own desktop window. Windows always has its desktop
# window manager; Xvfb has none, and Wine would wait for one some seconds at every window hidden
# and every box closed.
wine_prefix() {
  wine_quiet wineboot --init &&
    wine_quiet wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Vostrel /f &&
    wine_quiet wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Vostrel /d 1024x768 /f
}

# wine_url_logger EXE: web addresses opened through the shell go to EXE (urllog.cpp), not to a
# browser.
wine_url_logger() {
  local path scheme
  wine_quiet winepath -w "$1" && path=$(tail -n 1 "$WINEPREFIX.log") || return
  for scheme in http https; do
    wine_quiet wine reg add "HKCR\\$scheme\\shell\\open\\command" /ve /d "\"$path\" \"%1\"" /f ||
      return
  done
}

# wine_session_env STATE_DIR: the environment of the CTest runner's session kept in STATE_DIR
# (session.sh): Japanese (ANSI code page 932) unless VOSTREL_LOCALE names another, the code page
# and DPI each run must have, the prefix (one of its own for a screen of VOSTREL_DPI dots per
# inch) and, once the session runs, its display.
wine_session_env() {
  local locale=${VOSTREL_LOCALE:-ja_JP.UTF-8}
  # A run not named for others is named for what this runner gives it, and insists on it too.
  export VOSTREL_CODE_PAGE=${VOSTREL_CODE_PAGE:-932} VOSTREL_DPI=${VOSTREL_DPI:-96}
  export LANG=$locale LC_ALL=$locale
  # Wine reads the screen's DPI from the prefix's registry as each program starts: a prefix
  # other tests share must keep 96.
  if [ "$VOSTREL_DPI" = 96 ]; then wine_env "$1/prefix"; else wine_env "$1/prefix-dpi$VOSTREL_DPI"; fi
  if [ -s "$1/display" ]; then
    DISPLAY=$(cat "$1/display")
    export DISPLAY
  fi
}
