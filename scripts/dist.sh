#!/usr/bin/env bash
# Builds the release package dist/Vostrel-<version>.zip from the win32 build folder given:
# the plug-in, a Japanese readme in code page 932 with CRLF line ends, and the licence.
set -euo pipefail
build=${1:?usage: dist.sh WIN32_BUILD_DIR}
top=$(cd "$(dirname "$0")/.." && pwd)
dll=$build/src/Vostrel.dll
[ -f "$dll" ] || { echo "dist: $dll is missing; build it first (make win32)" >&2; exit 1; }
version=$(sed -n 's/^#define VOSTREL_VERSION_TEXT "\(.*\)"$/\1/p' "$top/src/host/version.h")
[ -n "$version" ] || { echo "dist: no VOSTREL_VERSION_TEXT in src/host/version.h" >&2; exit 1; }
outdir=${DIST_DIR:-$top/dist}
mkdir -p "$outdir"
out=$outdir/Vostrel-$version.zip
python3 - "$dll" "$top/packaging/readme-ja.txt" "$top/LICENSE" "$version" "$out" <<'PY'
import sys, zipfile
dll, readme, licence, version, out = sys.argv[1:]
def windows_text(path, encoding):
    text = open(path, encoding='utf-8').read().replace('@VERSION@', version)
    # strict: a character that code page 932 cannot hold stops the build
    return text.replace('\r\n', '\n').replace('\n', '\r\n').encode(encoding)
with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:
    z.write(dll, 'Vostrel.dll')
    z.writestr('Readme.txt', windows_text(readme, 'cp932'))
    z.writestr('LICENSE.txt', windows_text(licence, 'ascii'))
PY
echo "dist: wrote $out"
python3 -c "import sys,zipfile; [print(f'  {i.file_size:7d}  {i.filename}') for i in zipfile.ZipFile(sys.argv[1]).infolist()]" "$out"
