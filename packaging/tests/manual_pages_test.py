#!/usr/bin/env python3
"""The manual pages say what the programs and the library do: each program's page lists the
switches of its usage, in the same order and words, and every page renders without a warning.

Usage: manual_pages_test.py BUILD_DIR SOURCE_DIR PROGRAM..."""
import os
import re
import subprocess
import sys

# A switch line of a usage text: "/J# - ...", "    /P  \t- ...", "/@filename - ...".
USAGE_SWITCH = re.compile(r'^\s*(/[A-Za-z@&#]\S*)\s*-\s+(.*)$')
# A switch of a page's SWITCHES section: "*/J#*" alone on its line, its text indented below.
PAGE_SWITCH = re.compile(r'^\*(/\S+)\*$')


def words(text):
    return ' '.join(text.split())


def usage_switches(usage):
    """(switch, text) in the order of the usage; an indented line goes on the switch above it."""
    found = []
    current = None
    for line in usage.splitlines():
        switch = USAGE_SWITCH.match(line)
        if switch:
            current = [switch.group(1), switch.group(2)]
            found.append(current)
        elif current is not None and line[:1].isspace() and line.strip():
            current[1] += ' ' + line
        else:
            current = None
    return [(switch, words(text)) for switch, text in found]


def page_switches(source):
    """(switch, text) in the order of the page's SWITCHES section."""
    with open(source, encoding='utf-8') as page:
        text = page.read()
    section = re.search(r'^# SWITCHES\n(.*?)(?=^# )', text, re.S | re.M)
    if not section:
        return []
    found = []
    current = None
    for line in section.group(1).splitlines():
        switch = PAGE_SWITCH.match(line)
        if switch:
            current = [switch.group(1), '']
            found.append(current)
        elif current is not None and line.startswith('\t'):
            current[1] += ' ' + re.sub(r'\s*\+\+$', '', line)
        else:
            current = None
    # The page escapes what scdoc would read as formatting.
    return [(switch, words(re.sub(r'\\(.)', r'\1', text))) for switch, text in found]


def api_calls(source):
    """The calls the installed headers export."""
    calls = []
    for header in ('playback/vant.h', 'playback/display/vant_display.h'):
        with open(os.path.join(source, header), encoding='utf-8') as text:
            calls += re.findall(r'^VANT_API [^(]*?\b(\w+)\(', text.read(), re.M)
    return calls


def rendering_faults(page):
    environment = dict(os.environ, LC_ALL='C.UTF-8', MANWIDTH='80', MAN_KEEP_FORMATTING='')
    shown = subprocess.run(['man', '--warnings', '-l', page], capture_output=True, text=True,
                           timeout=60, env=environment)
    if shown.returncode != 0 or shown.stderr.strip() or not shown.stdout.strip():
        return ['man -l %s: exit %d\n%s' % (page, shown.returncode, shown.stderr)]
    return []


def main():
    build, source, programs = sys.argv[1], sys.argv[2], sys.argv[3:]
    faults = []
    pages = []
    for program in programs:
        page_source = os.path.join(source, 'packaging/man', program + '.1.scd')
        pages.append(os.path.join(build, 'man', program + '.1.gz'))
        if not os.path.exists(page_source):
            faults.append('no manual page for ' + program)
            continue
        helped = subprocess.run([os.path.join(build, 'bin', program), '--help'],
                                capture_output=True, text=True, timeout=60)
        listed, shown = page_switches(page_source), usage_switches(helped.stdout)
        if listed != shown:
            faults.append('%s: the page lists\n  %s\nbut the usage\n  %s' %
                          (program, '\n  '.join(map(str, listed)), '\n  '.join(map(str, shown))))
    library_page = os.path.join(source, 'packaging/man/libvant.3.scd')
    with open(library_page, encoding='utf-8') as text:
        described = set(re.findall(r'\*(\w+)\*\(', text.read()))
    faults += ['libvant(3) does not describe ' + call
               for call in api_calls(source) if call not in described]
    pages.append(os.path.join(build, 'man', 'libvant.3.gz'))
    for page in pages:
        faults += rendering_faults(page) if os.path.exists(page) else ['not built: ' + page]
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == '__main__':
    main()
