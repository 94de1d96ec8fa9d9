#!/usr/bin/env bash
# bundle.sh BUILD_DIR OUT_DIR: the Windows test programs of a build configured with VOSTREL_WINE=OFF
# (make windows), the files their tests name (the release Vostrel.dll, examples/...) and the
# build's CTest lists, rewritten so that they run from wherever OUT_DIR is unpacked: on Windows,
# `ctest --test-dir OUT_DIR`. Each path of the build or the sources becomes one under the folder
# ctest reads the list from (CMAKE_CURRENT_LIST_DIR); the bundling fails if a test's program is
# not one of the build's, a test names any other absolute path, or a build or source path is left.
set -euo pipefail
die() { echo "bundle: $*" >&2; exit 1; }
build=$(cd "${1:?usage: $0 BUILD_DIR OUT_DIR}" && pwd -P)
out=${2:?usage: $0 BUILD_DIR OUT_DIR}
source=$(cd "$(dirname "$0")/.." && pwd -P)
[ -f "$build/CTestTestfile.cmake" ] || die "no CTest list in $build: build it first (make windows)"
# Only a bundle this script made is replaced.
if [ -e "$out" ]; then
  [ -f "$out/.bundle" ] || die "$out exists and is no bundle of this script's"
  rm -rf -- "$out"
fi
mkdir -p "$out"
touch "$out/.bundle"
cp "$build/skip-mark.txt" "$out/"
python3 - "$build" "$source" "$out" <<'PY'
import os, re, shutil, sys
build, source, out = sys.argv[1:]
def die(message):
    sys.exit(f'bundle: {message}')
# CMake writes each argument as a quoted argument: `\`, `"` and `$` escaped.
def escaped(path):
    return re.sub(r'([\\"$])', r'\\\1', path)
# The build first: it may lie in the sources.
roots = {escaped(build): build, escaped(source): source}
named = {}  # the bundle's path of each file a test names -> the file copied there
quoted = re.compile(r'"((?:[^"\\]|\\.)*)"')
def rewrite(line, where):
    if line.startswith('add_test('):
        program = quoted.search(line).group(1)
        if not (program.startswith(escaped(build) + '/') and program.endswith('.exe')):
            die(f'{where}: a test not run as a program of the build: {line[:200]}')
    def one(match):
        arg = match.group(1)
        for prefix, root in roots.items():
            if arg.startswith(prefix + '/'):
                rel = arg[len(prefix) + 1:]
                path = os.path.join(root, rel)
                # The build's folders that tests name are their own, made as they run.
                if root == source and not os.path.exists(path):
                    die(f'{where}: a test names {path}, which is not there')
                if root == source or os.path.isfile(path):
                    if named.setdefault(rel, path) != path:
                        die(f'{where}: {rel} named both from the build and from the sources')
                # A DLL's link map, where the stack guard's test reads the guard's address.
                if rel.endswith('.dll') and os.path.isfile(path[:-3] + 'map'):
                    named[rel[:-3] + 'map'] = path[:-3] + 'map'
                return '"${bundle}/' + rel + '"'
        # A path of this machine (a Windows switch such as /c names no folder here).
        if arg.startswith('/') and os.path.exists('/' + arg.split('/')[1]):
            die(f'{where}: a test names a file outside the bundle: {arg}')
        return match.group(0)
    return quoted.sub(one, line)
# The lists CTest reads: the top one and those its subdirs() name, in turn.
folders = ['.']
for rel in folders:
    lines = []
    for line in open(os.path.join(build, rel, 'CTestTestfile.cmake'), encoding='utf-8'):
        # The comments name the folders; the backtraces, CMake's files: neither runs anything.
        if line.startswith('#'):
            continue
        line = re.sub(r' _BACKTRACE_TRIPLES "(?:[^"\\]|\\.)*"', '', line)
        lines.append(rewrite(line, os.path.join(rel, 'CTestTestfile.cmake')))
        folders += [os.path.normpath(os.path.join(rel, sub)) for sub in
                    re.findall(r'^subdirs\("([^"]*)"\)$', line)]
    up = '/..' * (0 if rel == '.' else rel.count('/') + 1)
    text = f'get_filename_component(bundle "${{CMAKE_CURRENT_LIST_DIR}}{up}" ABSOLUTE)\n'
    text += ''.join(lines)
    for left in set(roots) | set(roots.values()):
        if left in text:
            die(f'{rel}: {left} is left in the list')
    os.makedirs(os.path.join(out, rel), exist_ok=True)
    with open(os.path.join(out, rel, 'CTestTestfile.cmake'), 'w', encoding='utf-8') as f:
        f.write(text)
for rel, path in sorted(named.items()):
    target = os.path.join(out, rel)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    (shutil.copytree if os.path.isdir(path) else shutil.copy2)(path, target)
PY
echo "bundle: wrote $out"
