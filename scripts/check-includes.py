#!/usr/bin/env python3
"""Checks the include discipline: every quoted include names its file by its path from the source
root, and reaches only headers of the including folder or of folders whose libraries it links.

Usage: check-includes.py SOURCE_DIR FOLDER_LINKS
FOLDER_LINKS holds one line per folder with a target: the folder, then the folders of everything
its target links (written by the build). Files in folders without a target are checked for the
first rule only."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SKIPPED = ('.git', 'build')


def owner(path, folders):
    """The longest registered folder that holds path, or None."""
    best = None
    for folder in folders:
        if path.startswith(folder + '/') and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main():
    root, links_file = sys.argv[1], sys.argv[2]
    allowed = {}
    with open(links_file, encoding='utf-8') as lines:
        for line in lines:
            words = line.split()
            if words:
                allowed.setdefault(words[0], set()).update(words)
    faults = []
    for directory, subdirectories, names in os.walk(root):
        subdirectories[:] = [d for d in subdirectories if not d.startswith(SKIPPED)]
        for name in names:
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.relpath(os.path.join(directory, name), root)
            home = owner(path, allowed)
            with open(os.path.join(root, path), encoding='utf-8', errors='replace') as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    included = match.group(1)
                    where = f'{path}:{number}: "{included}"'
                    if not os.path.isfile(os.path.join(root, included)):
                        faults.append(f'{where} does not name a file from the source root')
                        continue
                    if home is None:
                        continue
                    target = owner(included, allowed)
                    if target is None:
                        continue
                    # A folder's test helpers are open to the tests of everything that links it.
                    library = target[:-len('/tests')] if target.endswith('/tests') else target
                    if target not in allowed[home] and library not in allowed[home]:
                        faults.append(f'{where} reaches {target}, which {home} does not link')
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
