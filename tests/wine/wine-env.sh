# Sourced by the Wine scripts: the environment of a Wine session kept in STATE_DIR.
#   wine_session_env STATE_DIR   exports the prefix, the locale (Japanese, ANSI code page 932,
#                                unless VOSTREL_LOCALE names another), quiet debugging and, once
#                                the session runs, its display
wine_session_env() {
  local locale=${VOSTREL_LOCALE:-ja_JP.UTF-8}
  export WINEPREFIX=$1/prefix WINEDEBUG=-all LANG=$locale LC_ALL=$locale
  # Keeps Wine from offering to install its .NET and HTML engines when it makes a prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -s "$1/display" ]; then
    DISPLAY=$(cat "$1/display")
    export DISPLAY
  fi
}
