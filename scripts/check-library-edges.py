#!/usr/bin/env python3
"""Checks the edges of the playback library.

Usage: check-library-edges.py exports LIBRARY HEADER
         every call HEADER declares is marked VANT_API, and the shared library's dynamic symbols
         are exactly the marked calls
       check-library-edges.py no-qt PROGRAM...
         none of the programs needs a Qt library to run
       check-library-edges.py no-sdl PROGRAM...
         none of the programs needs SDL to start (it is loaded when sound is played)"""
import re
import subprocess
import sys

DECLARED = re.compile(r'^VANT_API\b[^(]*?\b([A-Za-z_][A-Za-z0-9_]*)\s*\(', re.MULTILINE)
# A call declared at the start of a line without the mark (inline helpers and macros aside).
UNMARKED = re.compile(
    r'^(?!VANT_API\b|static\b|typedef\b|#)[A-Za-z_][A-Za-z0-9_ *]*?\b([A-Za-z_][A-Za-z0-9_]*)\s*\(',
    re.MULTILINE)


def exported_symbols(library):
    lines = subprocess.run(['nm', '-D', '--defined-only', library], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    names = set()
    for line in lines:
        words = line.split()
        # Absolute symbols (the version script's node names) are no code or data.
        if len(words) == 3 and words[1] != 'A':
            names.add(words[2].split('@')[0])
    return names


def check_exports(library, header):
    with open(header, encoding='utf-8') as source:
        text = source.read()
    declared = set(DECLARED.findall(text))
    exported = exported_symbols(library)
    faults = [f'declared without VANT_API: {name}' for name in UNMARKED.findall(text)]
    faults += [f'exported but not marked in the header: {name}' for name in sorted(exported - declared)]
    faults += [f'marked in the header but not exported: {name}' for name in sorted(declared - exported)]
    if not declared:
        faults.append(f'{header} marks no call')
    return faults


def check_not_needed(programs, prefix):
    faults = []
    for program in programs:
        dynamic = subprocess.run(['readelf', '-d', program], check=True, capture_output=True,
                                 text=True).stdout
        needed = re.findall(r'\(NEEDED\)\s+Shared library: \[([^\]]+)\]', dynamic)
        if not needed:
            faults.append(f'{program}: no needed libraries found, the check would prove nothing')
        faults += [f'{program} needs {name}' for name in needed if name.lower().startswith(prefix)]
    return faults


def main():
    if len(sys.argv) == 4 and sys.argv[1] == 'exports':
        faults = check_exports(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 3 and sys.argv[1] == 'no-qt':
        faults = check_not_needed(sys.argv[2:], 'libqt')
    elif len(sys.argv) >= 3 and sys.argv[1] == 'no-sdl':
        faults = check_not_needed(sys.argv[2:], 'libsdl')
    else:
        print(__doc__)
        return 2
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
