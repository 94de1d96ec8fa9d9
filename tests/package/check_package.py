#!/usr/bin/env python3
"""Builds the release package into a scratch folder and checks what a user unpacks from it."""
import os
import subprocess
import sys
import tempfile
import zipfile

top, build = sys.argv[1], sys.argv[2]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


# The version text as the compiler sees it: version.h derives it from its numbers.
version = subprocess.run(['cpp', '-P', '-I', os.path.join(top, 'src/entry'), '-'],
                         input='#include "version.h"\nVOSTREL_VERSION_TEXT\n', text=True,
                         capture_output=True, check=True).stdout.replace('"', '').split()
version = ''.join(version)
with tempfile.TemporaryDirectory() as scratch:
    env = dict(os.environ, DIST_DIR=scratch)
    subprocess.run(['bash', os.path.join(top, 'scripts/dist.sh'), build], check=True, env=env,
                   stdout=subprocess.DEVNULL)
    path = os.path.join(scratch, f'Vostrel-{version}.zip')
    check(os.path.exists(path), f'expected {path}')
    with zipfile.ZipFile(path) as z:
        names = sorted(z.namelist())
        check(names == ['LICENSE.txt', 'Readme.txt', 'Vostrel.dll'], f'got entries {names}')
        dll = z.read('Vostrel.dll')
        built = open(os.path.join(build, 'src/Vostrel.dll'), 'rb').read()
        check(dll == built, 'the packaged DLL differs from the built one')
        readme = z.read('Readme.txt')
        text = readme.decode('cp932')  # raises if it is not code page 932
        check(b'\n' not in readme.replace(b'\r\n', b''), 'a line end is not CRLF')
        check('@VERSION@' not in text and f'バージョン {version}' in text,
              'the readme does not carry the version')
        for topic in ('インストール', 'アンインストール', 'Vostrel.ini', '負けたら表示',
                      '常に勝ち負けを表示', 'ライセンス'):
            check(topic in text, f'the readme says nothing of {topic}')

for failure in failures:
    print('package: ' + failure)
print(f'{1 if not failures else 0} passed, {1 if failures else 0} failed')
sys.exit(1 if failures else 0)
