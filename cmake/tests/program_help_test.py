#!/usr/bin/env python3
"""Every program answers --help and --version as a Linux user expects, with or without a display,
and refuses any other word that begins with "--" rather than taking it for a file name.

Usage: program_help_test.py BUILD_DIR VERSION PROGRAM..."""
import os
import subprocess
import sys
import tempfile


def run(command, folder):
    # No display: the answers never need one, and no window may open.
    environment = {key: value for key, value in os.environ.items()
                   if key not in ('DISPLAY', 'WAYLAND_DISPLAY', 'QT_QPA_PLATFORM')}
    return subprocess.run(command, capture_output=True, text=True, timeout=60, cwd=folder,
                          env=environment)


def faults_of(path, version, folder):
    name = os.path.basename(path)
    faults = []
    helped = run([path, '--help'], folder)
    usage = helped.stdout
    if helped.returncode != 0 or helped.stderr or 'syntax' not in usage.lower():
        faults.append('%s --help gave exit %d, output %r, errors %r' %
                      (name, helped.returncode, usage, helped.stderr))
    if '\r' in usage or not usage.endswith('\n'):
        faults.append('%s --help ends its lines as a message box does: %r' % (name, usage))
    told = run([path, '--version'], folder)
    if told.returncode != 0 or told.stdout != '%s %s\n' % (name, version) or told.stderr:
        faults.append('%s --version gave exit %d, output %r, errors %r' %
                      (name, told.returncode, told.stdout, told.stderr))
    # Also where a file of that name exists: it is a switch all the same.
    for word in ('--frobnicate', '--help=all', '--'):
        refused = run([path, 'clip.vnt', word], folder)
        if (refused.returncode != 1 or refused.stdout or
                refused.stderr != '%s: unknown switch %s\n%s' % (name, word, usage)):
            faults.append('%s %s gave exit %d, output %r, errors %r' %
                          (name, word, refused.returncode, refused.stdout, refused.stderr))
    return faults


def main():
    build, version, programs = sys.argv[1], sys.argv[2], sys.argv[3:]
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        for word in ('--help', '--frobnicate', 'clip.vnt'):
            with open(os.path.join(folder, word), 'w', encoding='utf-8') as decoy:
                decoy.write('not a video\n')
        for program in programs:
            faults += faults_of(os.path.join(build, 'bin', program), version, folder)
        if sorted(os.listdir(folder)) != ['--frobnicate', '--help', 'clip.vnt']:
            faults.append('a program left files behind: ' + ' '.join(os.listdir(folder)))
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == '__main__':
    main()
