#!/usr/bin/python3
"""The updater's window form against its console form, on the install
benchmark's tree, from one loopback FTP mirror, in the same run; and how long
the updater lives on after it started "ClientApp.exe", which the next program
of the chain waits for before it may replace the updater.

    bench_window.py --target win32|linux [--rounds N]

The Windows build runs under Wine (cmake/wine-run.sh, the build's prefix);
the window form needs DISPLAY. Both forms install the same published tree
into an empty folder; "ClientApp.exe" is the test suite's parameter
recorder, whose file tells when it began to run.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'demo'))
from quill_demo import LinuxBuild, quiet_ftp_log, start_ftp, write_server_list  # noqa: E402


def program(build, name):
    path = os.path.join(ROOT, 'build', build, 'bin', name)
    if not os.path.isfile(path):
        sys.exit('%s is not built (%s)' % (name, path))
    return path


def run_once(target, install_template, form):
    """One install into a fresh folder: (seconds, exit delay in seconds)."""
    install = install_template + '-' + form
    shutil.rmtree(install, ignore_errors=True)
    shutil.copytree(install_template, install)
    env = dict(os.environ)
    env.pop('QUILL_UI', None)
    if form == 'console':
        env['QUILL_UI'] = 'console'
    if target == 'win32':
        prefix = os.path.join(ROOT, 'build', 'win32', 'wineprefix')
        command = [os.path.join(ROOT, 'cmake', 'wine-run.sh'), prefix,
                   os.path.join(install, 'QuillUpdate.exe')]
    else:
        command = [os.path.join(install, 'QuillUpdate.exe')]
    started = time.time()
    result = subprocess.run(command, cwd=install, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    ended = time.time()
    recorded = os.path.join(install, 'parameters.txt')
    # The updater may well have ended before the program it started got going.
    deadline = time.time() + 30
    while not os.path.isfile(recorded) and time.time() < deadline:
        time.sleep(0.05)
    if not os.path.isfile(recorded):
        sys.exit('the %s form did not start ClientApp.exe (exit %d); see %s'
                 % (form, result.returncode, os.path.join(install, 'report.txt')))
    client_started = os.stat(recorded).st_mtime_ns / 1e9
    # Negative when the updater had ended before ClientApp.exe began.
    return ended - started, ended - client_started


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--target', choices=('win32', 'linux'), required=True)
    parser.add_argument('--rounds', type=int, default=1)
    args = parser.parse_args()
    if not os.environ.get('DISPLAY'):
        sys.exit('the window form needs DISPLAY')
    suffix = '.exe' if args.target == 'win32' else ''

    quiet_ftp_log()
    work = tempfile.mkdtemp(prefix='quill-bench-window-')
    try:
        source = os.path.join(work, 'source')
        subprocess.run([program('linux', 'bench_install'), '--write-tree', source], check=True)
        shutil.copy2(program(args.target, 'quill_record_parameters' + suffix),
                     os.path.join(source, 'ClientApp.exe'))
        mirror = os.path.join(work, 'mirror')
        subprocess.run([program('linux', 'quill-publish'), '--version', '1.0', source, mirror],
                       check=True, stdout=subprocess.DEVNULL)
        server, port = start_ftp(mirror)
        template = os.path.join(work, 'install')
        os.makedirs(template)
        shutil.copy2(program(args.target, 'QuillUpdate' + suffix),
                     os.path.join(template, 'QuillUpdate.exe'))
        if args.target == 'linux':
            # The window is a module the program loads from beside itself.
            shutil.copy2(program('linux', 'libquill_updater_window.so'), template)
        linux_tools = LinuxBuild(os.path.join(ROOT, 'build', 'linux', 'bin'))
        write_server_list(linux_tools, os.environ, template, ['127.0.0.1:%d' % port])

        times = {'console': [], 'window': []}
        delays = {'console': [], 'window': []}
        for _ in range(args.rounds):
            # In turn, so that a load of the machine falls on both alike.
            for form in ('console', 'window'):
                seconds, delay = run_once(args.target, template, form)
                times[form].append(seconds)
                delays[form].append(delay)
        server.close_all()

        best = {form: min(values) for form, values in times.items()}
        print('install of the tree (%s build, best of %d)' % (args.target, args.rounds))
        print('  %-40s %8.3f s' % ('window form', best['window']))
        print('  %-40s %8.3f s' % ('console form (reference)', best['console']))
        ratio = best['window'] / best['console']
        print('  ratio of times: %.2fx the reference (aim: within 1.20x): %s'
              % (ratio, 'met' if ratio <= 1.2 else 'NOT met'))
        print('life of the updater after "ClientApp.exe" began to run (worst of %d)'
              % args.rounds)
        for form in ('window', 'console'):
            worst = max(delays[form])
            print('  %-40s %8.3f s (aim: within 0.50 s; below 0: ended first): %s'
                  % (form + ' form', worst, 'met' if worst <= 0.5 else 'NOT met'))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
