#!/usr/bin/env bash
# Installs what building and testing the plug-in needs on Debian 12 or 13, and nothing when it is
# there.
set -eu
# A plain `su` keeps the caller's PATH: locale-gen and dpkg's ldconfig are in sbin.
export PATH=$PATH:/usr/sbin:/sbin

pkgs="g++-mingw-w64-i686 ccache wine wine32:i386 xvfb xauth locales cmake g++ make libgtest-dev clang-format shellcheck"
# The release package's checks read the last commit's time and pack the zip.
pkgs="$pkgs git python3"
# CMake's own Windows ctest.exe (make test-windows) is a 64-bit program.
pkgs="$pkgs wine64"
# The Debian 13 script's test runs it, and so bwrap, on the machine itself, also as a user:
# unshare maps its subordinate ids with uidmap's tools.
pkgs="$pkgs bubblewrap uidmap"
# Fonts for legible screenshots: Wine's own (caption buttons) and a Japanese Gothic.
pkgs="$pkgs fonts-wine fonts-ipafont-gothic"
pkgs="$pkgs ${SETUP_EXTRA:-}"  # callers may ask for more, e.g. fonts for screenshots

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=""
for p in $pkgs; do have_pkg "$p" || missing="$missing $p"; done
# The npm tools (scripts/npm-tools.sh) need node and npm, by whichever package they came.
type -P node >/dev/null || missing="$missing nodejs"
type -P npm >/dev/null || missing="$missing npm"
# Japanese for every Windows test; English, Korean and Hindi (UTF-8) for the checks under other
# code pages.
missing_locales=""
for l in ja_JP en_US ko_KR hi_IN; do
  locale -a 2>/dev/null | grep -qi "^$l\.utf-\?8\$" || missing_locales="$missing_locales $l.UTF-8"
done
[ -n "$missing$missing_locales" ] || exit 0

if [ "$(id -u)" != 0 ]; then
  echo "setup: missing:$missing$missing_locales; as root: dpkg --add-architecture i386 && apt-get update && apt-get install$missing, and the locales in /etc/locale.gen, then locale-gen" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if [ -n "$missing" ]; then
  echo "setup: installing:$missing"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq || { echo "setup: apt-get update failed" >&2; exit 1; }
  # shellcheck disable=SC2086 # one word a package
  if ! apt-get install -y -qq --no-install-recommends $missing >/dev/null; then
    for p in $missing; do
      have_pkg "$p" || apt-get install -y -qq --no-install-recommends "$p" >/dev/null ||
        echo "setup: could not install package $p" >&2
    done
    exit 1
  fi
fi
for l in $missing_locales; do
  sed -i "s/^# *$l UTF-8/$l UTF-8/" /etc/locale.gen
  grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" >>/etc/locale.gen
done
[ -z "$missing_locales" ] || locale-gen >/dev/null
