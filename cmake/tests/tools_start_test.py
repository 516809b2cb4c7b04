#!/usr/bin/env python3
"""The command-line tools start without Qt: none of them names a Qt library among the libraries
it needs, and a tool given a display whose faces module is out of reach runs on the console
after one line that says so.

Usage: tools_start_test.py BUILD_DIR PROGRAM..."""
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile

NOTE = re.compile(r'^No windows: .*; the console serves instead\.$', re.M)


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **options)


def qt_needed(path):
    section = run(['readelf', '-d', path]).stdout
    return re.findall(r'\(NEEDED\).*\[(libQt[^\]]*)\]', section)


def faults_away_from_module(path):
    """Runs a copy of the program with no arguments in a folder without ../lib."""
    with tempfile.TemporaryDirectory() as away:
        os.mkdir(os.path.join(away, 'bin'))
        copy = os.path.join(away, 'bin', os.path.basename(path))
        shutil.copy2(path, copy)
        environment = {key: value for key, value in os.environ.items()
                       if key not in ('QT_QPA_PLATFORM', 'WAYLAND_DISPLAY', 'LD_LIBRARY_PATH')}
        # A display that answers (a listening socket in the abstract space, where an X server
        # listens), but Qt is never to reach it.
        number = 40000 + os.getpid() % 9000
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as display:
            display.bind('\0/tmp/.X11-unix/X%d' % number)
            display.listen(8)
            environment['DISPLAY'] = ':%d' % number
            done = run([copy], cwd=away, env=environment)
    name = os.path.basename(path)
    if done.returncode < 0:
        return ['%s stopped on signal %d:\n%s' % (name, -done.returncode, done.stderr)]
    notes = NOTE.findall(done.stderr)
    if len(notes) != 1:
        return ['%s printed %d notes about its windows, not one:\n%s' % (name, len(notes), done.stderr)]
    if len(done.stderr.splitlines()) < 2:
        return ['%s said nothing on the console after the note:\n%s' % (name, done.stderr)]
    return []


def main():
    build, programs = sys.argv[1], sys.argv[2:]
    faults = []
    for program in programs:
        path = os.path.join(build, 'bin', program)
        if not os.path.exists(path):
            faults.append('missing: ' + path)
            continue
        needed = qt_needed(path)
        if needed:
            faults.append(program + ' needs ' + ' '.join(needed))
        faults += faults_away_from_module(path)
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == '__main__':
    main()
