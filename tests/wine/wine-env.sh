# Sourced by the Wine scripts: the environment of a Wine session kept in STATE_DIR.
#   wine_session_env STATE_DIR   exports the prefix (one of its own for a screen of VOSTREL_DPI
#                                dots per inch, if set), the locale (Japanese, ANSI code page 932,
#                                unless VOSTREL_LOCALE names another), the code page and DPI the
#                                run must have, quiet debugging and, once the session runs, its
#                                display
wine_session_env() {
  local locale=${VOSTREL_LOCALE:-ja_JP.UTF-8}
  # A run not named for others is named for what this runner gives it, and insists on it too.
  export VOSTREL_CODE_PAGE=${VOSTREL_CODE_PAGE:-932} VOSTREL_DPI=${VOSTREL_DPI:-96}
  # Wine reads the screen's DPI from the prefix's registry as each program starts: a prefix
  # other tests share must keep 96.
  BASE_WINEPREFIX=$1/prefix
  WINEPREFIX=$BASE_WINEPREFIX
  [ "$VOSTREL_DPI" != 96 ] && WINEPREFIX=$1/prefix-dpi$VOSTREL_DPI
  export WINEPREFIX WINEDEBUG=-all LANG=$locale LC_ALL=$locale
  # Keeps Wine from offering to install its .NET and HTML engines when it makes a prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Debian 13's Wine aborts (free(): invalid pointer) whenever TMPDIR is set; Debian's Wine keeps
  # its server's folder in /tmp then.
  unset TMPDIR
  if [ -s "$1/display" ]; then
    DISPLAY=$(cat "$1/display")
    export DISPLAY
  fi
}
