#!/usr/bin/env bash
# Builds the release package dist/Vostrel-<version>.zip from the win32 build folder given:
# the plug-in, a Japanese readme in code page 932 with CRLF line ends, and the licence.
set -euo pipefail
build=${1:?usage: dist.sh WIN32_BUILD_DIR}
top=$(cd "$(dirname "$0")/.." && pwd -P)
dll=$build/src/Vostrel.dll
[ -f "$dll" ] || { echo "dist: $dll is missing; build it first (make win32)" >&2; exit 1; }
# The version text as the compiler sees it: version.h derives it from its numbers.
version=$(printf '#include "version.h"\nVOSTREL_VERSION_TEXT\n' | cpp -P -I "$top/src/entry" - | tr -d '" \n')
[ -n "$version" ] || { echo "dist: no VOSTREL_VERSION_TEXT in src/entry/version.h" >&2; exit 1; }
outdir=${DIST_DIR:-$top/dist}
mkdir -p "$outdir"
out=$outdir/Vostrel-$version.zip
# Every entry carries the time of the last commit, so that the zip is the same bytes whoever
# builds it and whenever; SOURCE_DATE_EPOCH, when set, names another time.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  # A clone another user owns (root's `sudo make`, a container's checkout): trusted for this call.
  SOURCE_DATE_EPOCH=$(git -C "$top" -c safe.directory="$top" log -1 --format=%ct 2>/dev/null) || {
    echo "dist: not a git checkout; set SOURCE_DATE_EPOCH to the release time" >&2
    exit 1
  }
fi
python3 - "$dll" "$top/packaging/readme-ja.txt" "$top/LICENSE" "$version" "$out" \
  "$SOURCE_DATE_EPOCH" <<'PY'
import sys, time, zipfile
dll, readme, licence, version, out, epoch = sys.argv[1:]
# Zip times have a two-second step and no year before 1980; UTC keeps the time zone out.
when = time.gmtime(max(int(epoch), 315532800))[:6]
def windows_text(path, encoding):
    text = open(path, encoding='utf-8').read().replace('@VERSION@', version)
    # strict: a character that code page 932 cannot hold stops the build
    return text.replace('\r\n', '\n').replace('\n', '\r\n').encode(encoding)
entries = [('Vostrel.dll', open(dll, 'rb').read()),
           ('Readme.txt', windows_text(readme, 'cp932')),
           ('LICENSE.txt', windows_text(licence, 'ascii'))]
with zipfile.ZipFile(out, 'w') as z:
    for name, data in entries:
        # Fixed order, time and attributes (made on MS-DOS, "archive" only): nothing of the
        # builder's machine, umask or clock goes into the zip.
        info = zipfile.ZipInfo(name, when)
        info.create_system = 0
        info.external_attr = 0x20
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, data, compresslevel=9)
PY
# The checksum file a user checks the download with: sha256sum -c SHA256SUMS
(cd "$outdir" && sha256sum "Vostrel-$version.zip" >SHA256SUMS)
echo "dist: wrote $out and $outdir/SHA256SUMS"
python3 -c "import sys,zipfile; [print(f'  {i.file_size:7d}  {i.filename}') for i in zipfile.ZipFile(sys.argv[1]).infolist()]" "$out"
