#!/usr/bin/env python3
"""What users and developers do with the built toolkit away from this build tree.

Usage: install_test.py CHECK BUILD_DIR SOURCE_DIR PROGRAM...
CHECK is one of: tree (install into a temporary prefix and check what lands where, and that the
desktop finds the file type, the player for it and the icon), deb (the Debian package lists the
same files, within its size, and lintian finds no error in it), bound (a bound player copied
elsewhere plays its video), example (the README's C example builds against an installed tree and
decodes a video)."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77  # CTest's SKIP_RETURN_CODE for these tests


# Making the package and reading it with lintian take minutes on a busy machine.
SLOW = 540


def run(command, timeout=240, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=timeout, **options)


def install(build, prefix):
    done = run(['cmake', '--install', build, '--prefix', prefix])
    if done.returncode != 0:
        sys.exit('cmake --install failed:\n' + done.stdout + done.stderr)


ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
# The package as it installs, in kilobytes (dpkg's Installed-Size).
MOST_INSTALLED_SIZE = 40 * 1024


def expected_files(programs):
    """The installed tree, relative to its prefix: (path, what it must be)."""
    rows = [('bin/' + program, 'program') for program in programs]
    rows += [('share/man/man1/%s.1.gz' % program, 'file') for program in programs]
    rows += [('share/icons/hicolor/%dx%d/apps/vant.png' % (size, size), 'file')
             for size in ICON_SIZES]
    rows += [
        ('lib/libvant.so', 'link'),
        ('lib/libvant.so.1', 'link'),
        ('lib/vant/libvant_window_faces.so', 'module'),
        ('include/vant.h', 'file'),
        ('lib/pkgconfig/vant.pc', 'file'),
        ('lib/libvant_display.so', 'link'),
        ('lib/libvant_display.so.1', 'link'),
        ('include/vant_display.h', 'file'),
        ('lib/pkgconfig/vant-display.pc', 'file'),
        ('share/vant/help/index.html', 'file'),
        ('share/man/man3/libvant.3.gz', 'file'),
        ('share/applications/vantplw.desktop', 'file'),
        ('share/applications/vantrelw.desktop', 'file'),
        ('share/mime/packages/vant-vnt.xml', 'file'),
        ('share/doc/vant/copyright', 'file'),
        ('share/doc/vant/changelog.gz', 'file'),
    ]
    return rows


def dynamic_section(path):
    return run(['readelf', '-d', path]).stdout


def needed(path):
    return re.findall(r'\(NEEDED\)\s+Shared library: \[([^\]]+)\]', dynamic_section(path))


# What the headless library and a program on it must never load: the window system, and SDL,
# which is loaded only when sound is played.
HEAVY = ('libqt', 'libsdl')


def heavy_libraries(lines):
    return [line.strip() for line in lines if line.strip().lower().startswith(HEAVY)]


def faults_of_program(path, build):
    """What keeps an installed program from running away from the build tree."""
    faults = []
    section = dynamic_section(path)
    if build in section:
        faults.append(path + ' names the build tree:\n' + section)
    paths = re.findall(r'\((?:RUNPATH|RPATH)\).*\[(.*)\]', section)
    # An empty entry would search the current folder.
    if any(entry != '$ORIGIN/../lib' for item in paths for entry in item.split(':')):
        faults.append(path + ' searches more than $ORIGIN/../lib: ' + ' '.join(paths))
    return faults


def check_tree(build, programs):
    faults = []
    with tempfile.TemporaryDirectory() as prefix:
        install(build, prefix)
        for relative, kind in expected_files(programs):
            path = os.path.join(prefix, relative)
            if not os.path.exists(path):
                faults.append('missing: ' + relative)
            elif kind in ('program', 'module'):
                if kind == 'program' and not os.access(path, os.X_OK):
                    faults.append('not runnable: ' + relative)
                faults += faults_of_program(path, build)
            elif kind == 'link' and not os.path.islink(path):
                faults.append('not a link to the versioned library: ' + relative)
        for name in ('libvant', 'libvant_display'):
            library = os.path.join(prefix, 'lib', name + '.so')
            soname = 'Library soname: [%s.so.1]' % name
            if os.path.exists(library) and soname not in dynamic_section(library):
                faults.append(name + '.so has no versioned soname')
        library = os.path.join(prefix, 'lib/libvant.so.1')
        if os.path.exists(library):
            faults += ['libvant.so.1 needs ' + name for name in heavy_libraries(needed(library))]
        # Every library of ours that an installed program loads comes from the installed tree.
        for program in programs:
            path = os.path.join(prefix, 'bin', program)
            if not os.path.exists(path):
                continue
            for line in run(['ldd', path]).stdout.splitlines():
                if 'not found' in line or build in line:
                    faults.append(program + ' loads ' + line.strip())
            faults += [program + ' needs ' + name for name in needed(path)
                       if name.lower().startswith('libsdl')]
        faults += desktop_faults(prefix)
    return faults


def png_size(path):
    with open(path, 'rb') as picture:
        head = picture.read(24)
    if head[:8] != b'\x89PNG\r\n\x1a\n' or head[12:16] != b'IHDR':
        return None
    return int.from_bytes(head[16:20], 'big'), int.from_bytes(head[20:24], 'big')


def desktop_faults(prefix):
    """What a desktop finds in the installed tree once dpkg's triggers have run over it: valid
    entries, the .vnt type by its name and by its first bytes, the player as the application that
    opens it, and the icon at every size."""
    tools = ('desktop-file-validate', 'update-mime-database', 'update-desktop-database', 'gio')
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        return ['not installed (scripts/install-deps.sh installs them): ' + ' '.join(missing)]
    share = os.path.join(prefix, 'share')
    faults = []
    entries = [os.path.join(share, 'applications', name)
               for name in ('vantplw.desktop', 'vantrelw.desktop')]
    validated = run(['desktop-file-validate'] + entries)
    if validated.returncode != 0 or validated.stdout.strip() or validated.stderr.strip():
        faults.append('desktop-file-validate:\n' + validated.stdout + validated.stderr)
    for command in (['update-mime-database', os.path.join(share, 'mime')],
                    ['update-desktop-database', os.path.join(share, 'applications')]):
        done = run(command)
        if done.returncode != 0:
            faults.append(' '.join(command) + ' failed:\n' + done.stdout + done.stderr)
    for size in ICON_SIZES:
        icon = os.path.join(share, 'icons/hicolor/%dx%d/apps/vant.png' % (size, size))
        if os.path.exists(icon) and png_size(icon) != (size, size):
            faults.append('%s is not a %d-pixel PNG picture' % (icon, size))
    with tempfile.TemporaryDirectory() as home:
        # Only the installed tree: no folder of the user's or the system's.
        environment = dict(os.environ, LC_ALL='C.UTF-8', LANGUAGE='',
                           XDG_DATA_DIRS=share, XDG_CONFIG_DIRS=home,
                           XDG_DATA_HOME=os.path.join(home, 'data'), XDG_CONFIG_HOME=home,
                           PATH=os.path.join(prefix, 'bin') + os.pathsep + os.environ['PATH'])
        samples = {'named.vnt': (os.urandom(64), 'video/x-vnt'),
                   'unnamed': (b'VNT2' + bytes(100), 'video/x-vnt'),
                   'other.txt': (b'VNT1 is not the magic.\n', 'text/plain')}
        for name, (data, expected) in samples.items():
            path = os.path.join(home, name)
            with open(path, 'wb') as sample:
                sample.write(data)
            found = run(['gio', 'info', '-a', 'standard::content-type', path], env=environment)
            kind = re.search(r'standard::content-type: (\S+)', found.stdout)
            if not kind or kind.group(1) != expected:
                faults.append('%s is taken for %s, not %s:\n%s' % (
                    name, kind.group(1) if kind else 'nothing', expected, found.stdout + found.stderr))
        default = run(['gio', 'mime', 'video/x-vnt'], env=environment)
        if not re.search(r'^Default application for .video/x-vnt.: vantplw\.desktop$', default.stdout,
                         re.M):
            faults.append('the player does not open .vnt files:\n' + default.stdout + default.stderr)
    return faults


def check_deb(build, source, programs):
    if shutil.which('dpkg-deb') is None:
        print('dpkg-deb is not installed')
        sys.exit(SKIPPED)
    with tempfile.TemporaryDirectory() as out:
        made = run(['cpack', '-G', 'DEB', '-B', out], cwd=build, timeout=SLOW)
        if made.returncode != 0:
            return ['cpack failed:\n' + made.stdout + made.stderr]
        packages = [name for name in os.listdir(out) if name.endswith('.deb')]
        if len(packages) != 1:
            return ['expected one .deb, found: ' + ' '.join(os.listdir(out))]
        package = os.path.join(out, packages[0])
        listed = run(['dpkg-deb', '--contents', package]).stdout
        fields = run(['dpkg-deb', '--field', package, 'Depends', 'Installed-Size']).stdout
        # The package of a sanitizer build is never shipped: its size and lintian's view are not
        # those of the package users get.
        shipped = os.environ.get('VANT_LINT_PACKAGE', '1') != '0'
        faults = lintian_faults(package, source) if shipped else []
    for relative, _ in expected_files(programs):
        if not re.search(r'\./usr/' + re.escape(relative) + r'(\s|$)', listed):
            faults.append('the package lacks /usr/' + relative)
    # The runtime packages the programs load, found from the programs themselves.
    for needed in ('libqt6widgets6', 'libsdl2'):
        if needed not in fields:
            faults.append('Depends lacks ' + needed + ': ' + fields)
    size = re.search(r'^Installed-Size: (\d+)$', fields, re.M)
    if not size or (shipped and int(size.group(1)) > MOST_INSTALLED_SIZE):
        faults.append('the package installs more than %d KB: %s' % (MOST_INSTALLED_SIZE, fields))
    return faults


def explained_warnings(source):
    """The lintian tags that the README's list of remaining warnings explains."""
    with open(os.path.join(source, 'README.md'), encoding='utf-8') as readme:
        text = readme.read()
    found = re.search(r'^#+ What lintian still says\n(.*?)(?=^#)', text, re.S | re.M)
    return set(re.findall(r'^- `([a-z0-9.+-]+)`', found.group(1), re.M)) if found else set()


def lintian_faults(package, source):
    """Lintian finds no error in the package, and each warning it gives is one the README
    explains."""
    if shutil.which('lintian') is None:
        return ['lintian is not installed (scripts/install-deps.sh installs it)']
    checked = run(['lintian', '--tag-display-limit', '0', package], timeout=SLOW)
    faults = ['lintian: ' + line for line in checked.stdout.splitlines() if line.startswith('E:')]
    # 2 says that it found errors; 1 that it could not check the package.
    if checked.returncode not in (0, 2):
        faults.append('lintian failed:\n' + checked.stdout + checked.stderr)
    explained = explained_warnings(source)
    for tag in sorted(set(re.findall(r'^W: \S+: (\S+)', checked.stdout, re.M)) - explained):
        faults.append('lintian warns %s, which the README does not explain' % tag)
    return faults


def make_video(build, folder, name):
    clip = os.path.join(folder, name + '.avi')
    video = os.path.join(folder, name + '.vnt')
    bin_dir = os.path.join(build, 'bin')
    made = run([os.path.join(bin_dir, 'vantcw_demo_clip'), clip, '64', '48', '12', '30'])
    if made.returncode == 0:
        made = run([os.path.join(bin_dir, 'vantcw'), clip, video, '/O', '/#'])
    if made.returncode != 0 or not os.path.exists(video):
        sys.exit('no video was made:\n' + made.stdout + made.stderr)
    return video


def check_bound(build):
    faults = []
    with tempfile.TemporaryDirectory() as made, tempfile.TemporaryDirectory() as away:
        video = make_video(build, made, 'clip')
        bound = os.path.join(made, 'show.exe')
        done = run([os.path.join(build, 'bin', 'vntcompi'), os.path.join(build, 'bin', 'vantplw'),
                    bound, '/S', video])
        if done.returncode != 0:
            return ['binding failed:\n' + done.stdout + done.stderr]
        # Another folder, where neither ../lib nor the build's library folder is in reach.
        copy = os.path.join(away, 'show.exe')
        shutil.copy2(bound, copy)
        os.remove(video)
        faults += faults_of_program(copy, build)
        environment = {key: value for key, value in os.environ.items() if key != 'LD_LIBRARY_PATH'}
        environment.update(QT_QPA_PLATFORM='offscreen', SDL_AUDIODRIVER='dummy')
        loaded = run(['ldd', copy], env=environment).stdout
        for line in loaded.splitlines():
            if 'not found' in line or build in line:
                faults.append('the bound program loads ' + line.strip())
        played = run([copy], cwd=away, env=environment)
        if played.returncode != 0:
            faults.append('the bound program failed:\n' + played.stdout + played.stderr)
        elif 'Total frames played: 12' not in played.stdout + played.stderr:
            faults.append('the bound program did not play its 12 frames:\n' + played.stdout +
                          played.stderr)
    return faults


def readme_example(source):
    """The C example of the README's Install section."""
    with open(os.path.join(source, 'README.md'), encoding='utf-8') as readme:
        text = readme.read()
    found = re.search(r'## Install\b.*?```c\n(.*?)```', text, re.S)
    if not found:
        sys.exit('the README has no C example in its Install section')
    return found.group(1)


def build_c_program(work, name, text, package, environment):
    """Compiles the C program `text` with pkg-config's flags for `package`: (binary, flags, fault)."""
    program = os.path.join(work, name + '.c')
    with open(program, 'w', encoding='utf-8') as out:
        out.write(text)
    flags = run(['pkg-config', '--cflags', '--libs', package], env=environment)
    if flags.returncode != 0:
        return None, '', 'pkg-config finds no %s: %s' % (package, flags.stderr)
    binary = os.path.join(work, name)
    compiled = run(['cc', '-std=c99', '-Wall', '-Werror', program, '-o', binary] +
                   os.environ.get('VANT_EXAMPLE_FLAGS', '').split() + flags.stdout.split(),
                   cwd=work, env=environment)
    if compiled.returncode != 0:
        return None, flags.stdout, '%s does not build:\n%s' % (name, compiled.stderr)
    return binary, flags.stdout, None


def check_example(build, source):
    faults = []
    with tempfile.TemporaryDirectory() as prefix, tempfile.TemporaryDirectory() as work:
        install(build, prefix)
        # Only the installed tree is in reach: its pkg-config file, no other.
        environment = dict(os.environ, PKG_CONFIG_PATH='',
                           PKG_CONFIG_LIBDIR=os.path.join(prefix, 'lib/pkgconfig'))
        binary, flags, fault = build_c_program(work, 'frames', readme_example(source), 'vant',
                                               environment)
        if source in flags or build in flags:
            faults.append('pkg-config points into the source or build tree: ' + flags)
        if fault:
            return faults + [fault]
        video = make_video(build, work, 'clip')
        environment['LD_LIBRARY_PATH'] = os.path.join(prefix, 'lib')
        loaded = run(['ldd', binary], env=environment).stdout.splitlines()
        for line in loaded:
            if 'not found' in line or build in line:
                faults.append('the example loads ' + line.strip())
        faults += ['the example loads ' + line for line in heavy_libraries(loaded)]
        decoded = run([binary, video], cwd=work, env=environment)
        if decoded.returncode != 0 or decoded.stdout.strip() != '12 frames':
            faults.append('the example printed %r (exit %d): %s' %
                          (decoded.stdout, decoded.returncode, decoded.stderr))
        faults += check_display_program(work, environment)
    return faults


DISPLAY_PROGRAM = r'''#include <stdio.h>
#include <vant_display.h>

int main(void) {
  char name[VANT_BUFFER_STRING_SIZE];
  VantVideo* none = VantOpen("no such video.vnt", 0, VANT_EXTRA_BUFFER_AUTO);
  printf("%s %d\n", VantBufferString(name, VANT_BLITTER_AUTOMATIC), none == NULL);
  return 0;
}
'''


def check_display_program(work, environment):
    """A program with windows builds from the installed display header and library alone."""
    binary, _, fault = build_c_program(work, 'display', DISPLAY_PROGRAM, 'vant-display', environment)
    if fault:
        return [fault]
    shown = run([binary], cwd=work, env=environment)
    if shown.returncode != 0 or shown.stdout.strip() != 'Automatic 1':
        return ['the display program printed %r (exit %d): %s' %
                (shown.stdout, shown.returncode, shown.stderr)]
    return []


def main():
    check, build, source, programs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    build, source = os.path.realpath(build), os.path.realpath(source)
    if check == 'tree':
        faults = check_tree(build, programs)
    elif check == 'deb':
        faults = check_deb(build, source, programs)
    elif check == 'bound':
        faults = check_bound(build)
    elif check == 'example':
        faults = check_example(build, source)
    else:
        sys.exit('unknown check ' + check)
    for fault in faults:
        print(fault)
    sys.exit(1 if faults else 0)


if __name__ == '__main__':
    main()
