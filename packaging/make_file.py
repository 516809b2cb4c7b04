#!/usr/bin/env python3
"""Files of the package made at build time, the same bytes at every build.

Usage: make_file.py page SCDOC SOURCE OUTPUT CHANGELOG   (a manual page, rendered and compressed)
       make_file.py gzip SOURCE OUTPUT                  (a file compressed as Debian wants it)
       make_file.py copyright LICENSE OUTPUT            (the licence in Debian's copyright format)

Pages carry the date of the changelog's latest entry, and compressed files neither a name nor a
time, so that two builds of one release make the same package."""
import email.utils
import gzip
import os
import re
import subprocess
import sys


def write_compressed(data, output):
    partial = output + '.part'
    with open(partial, 'wb') as raw:
        # No file name and time 0 in the header, as `gzip -9n` writes it.
        with gzip.GzipFile(filename='', mode='wb', compresslevel=9, fileobj=raw, mtime=0) as out:
            out.write(data)
    os.replace(partial, output)


def release_epoch(changelog):
    """The time of the latest entry: its trailer line " -- name <address>  date"."""
    with open(changelog, encoding='utf-8') as text:
        for line in text:
            found = re.match(r'^ -- .*?  (.+)$', line)
            if found:
                return int(email.utils.parsedate_to_datetime(found.group(1)).timestamp())
    sys.exit(changelog + ' has no trailer line with a date')


def copyright_file(licence):
    """The machine-readable copyright file of the package, from the licence at the source root."""
    with open(licence, encoding='utf-8') as text:
        lines = text.read().splitlines()
    holders = [line for line in lines if line.startswith('Copyright (c) ')]
    start = next((n for n, line in enumerate(lines) if line.startswith('Permission is hereby')), None)
    if len(holders) != 1 or start is None:
        sys.exit(licence + ' is not the MIT licence with one copyright line')
    body = [' ' + line if line.strip() else ' .' for line in lines[start:]]
    return '\n'.join([
        'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/',
        'Upstream-Name: vant',
        '',
        'Files: *',
        'Copyright: ' + holders[0][len('Copyright (c) '):],
        'License: Expat',
    ] + body) + '\n'


def main():
    if len(sys.argv) == 6 and sys.argv[1] == 'page':
        scdoc, source, output, changelog = sys.argv[2:]
        environment = dict(os.environ, SOURCE_DATE_EPOCH=str(release_epoch(changelog)))
        with open(source, 'rb') as text:
            page = subprocess.run([scdoc], stdin=text, capture_output=True, env=environment)
        if page.returncode != 0:
            sys.exit('%s: %s' % (source, page.stderr.decode(errors='replace')))
        write_compressed(page.stdout, output)
    elif len(sys.argv) == 4 and sys.argv[1] == 'gzip':
        with open(sys.argv[2], 'rb') as text:
            write_compressed(text.read(), sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == 'copyright':
        text = copyright_file(sys.argv[2])
        with open(sys.argv[3] + '.part', 'w', encoding='utf-8') as out:
            out.write(text)
        os.replace(sys.argv[3] + '.part', sys.argv[3])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main()
