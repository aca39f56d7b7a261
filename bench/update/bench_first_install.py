#!/usr/bin/python3
"""The whole updater on both builds against the references of the same run:

- first install of the install benchmark's tree (1,000 files, 100 MiB),
  Linux build and Windows build under Wine, against "wget -r" of the same
  mirror followed by "gzip -d" of every compressed file;
- first install of 500 files of 0.2 to 8 KB, Linux build, against the same;
- the start with nothing to do (the installed version equals the mirror's):
  from the start of the process to the start of "ClientApp.exe", Linux
  build, against a reference build of the updater.

    bench_first_install.py [--rounds N] [--no-win32]
                           [--reference-commit REV | --reference-program PATH]

The reference updater is built once from REV (default: where this branch
left main, "git merge-base HEAD main"): "git archive" of REV is unpacked to
build/bench-reference/REV-SHA/, which is configured with the linux preset
and builds the QuillUpdate target only; later runs reuse it. Or name a
built reference with --reference-program.

Each round runs every contender once, in turn, so that a load of the machine
falls on all of them alike. Per case the ratio of each round is printed, and
their median and spread (largest less smallest). The mirror is served by
pyftpdlib from this process; "ClientApp.exe" is the test suite's parameter
recorder, whose file tells when it began to run.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, 'tools', 'demo'))
from quill_demo import (LinuxBuild, quiet_ftp_log, start_ftp, tree_differences,  # noqa: E402
                        write_server_list)
from bench_window import program  # noqa: E402


def reference_program(revision):
    """QuillUpdate built from revision, built on first use."""
    sha = subprocess.run(['git', '-C', ROOT, 'rev-parse', revision], check=True,
                         capture_output=True, text=True).stdout.strip()
    source = os.path.join(ROOT, 'build', 'bench-reference', sha[:12])
    built = os.path.join(source, 'build', 'linux', 'bin', 'QuillUpdate')
    if os.path.isfile(built):
        return built, sha
    print('building the reference updater of %s in %s' % (sha[:12], source), flush=True)
    shutil.rmtree(source, ignore_errors=True)
    os.makedirs(source)
    archive = subprocess.Popen(['git', '-C', ROOT, 'archive', sha], stdout=subprocess.PIPE)
    subprocess.run(['tar', '-x', '-C', source], stdin=archive.stdout, check=True)
    if archive.wait() != 0:
        sys.exit('git archive %s failed' % sha)
    env = dict(os.environ, CMAKE_CXX_COMPILER_LAUNCHER='ccache',
               CMAKE_C_COMPILER_LAUNCHER='ccache')
    subprocess.run(['cmake', '--preset', 'linux'], cwd=source, env=env, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', '--preset', 'linux', '--target', 'QuillUpdate', '--',
                    '-j2'], cwd=source, env=env, check=True, stdout=subprocess.DEVNULL)
    return built, sha


def updater_command(target, folder):
    if target == 'win32':
        prefix = os.path.join(ROOT, 'build', 'win32', 'wineprefix')
        return [os.path.join(ROOT, 'cmake', 'wine-run.sh'), prefix,
                os.path.join(folder, 'QuillUpdate.exe')]
    return [os.path.join(folder, 'QuillUpdate.exe')]


def run_updater(target, folder):
    """Runs the updater of folder to its end: (seconds, its start time). Its
    exit code tells nothing (the console form always ends with 1): the
    callers look at what it left."""
    env = dict(os.environ, QUILL_UI='console')
    started = time.time()
    subprocess.run(updater_command(target, folder), cwd=folder, env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.time() - started, started


def fresh_install(target, template, folder):
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(template, folder)
    seconds, _ = run_updater(target, folder)
    if not os.path.isfile(os.path.join(folder, 'ls_static.txt')):
        sys.exit('the install into %s did not succeed; see its report.txt' % folder)
    return seconds


def wget_and_gunzip(port, folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    command = ('wget -q -r -nH ftp://127.0.0.1:%d/ && find . -type f -name \'*.gz.*\' -exec '
               'sh -c \'for f; do gzip -dc "$f" > "${f%%.gz.*}" && rm "$f"; done\' sh {} +'
               % port)
    started = time.time()
    subprocess.run(command, shell=True, cwd=folder, check=True)
    return time.time() - started


def start_to_client(folder):
    """A start with nothing to do: seconds from the start of the process to
    the start of "ClientApp.exe"."""
    recorded = os.path.join(folder, 'parameters.txt')
    if os.path.exists(recorded):
        os.remove(recorded)
    _, started = run_updater('linux', folder)
    deadline = time.time() + 30
    while not os.path.isfile(recorded) and time.time() < deadline:
        time.sleep(0.01)
    if not os.path.isfile(recorded):
        sys.exit('ClientApp.exe was not started from %s' % folder)
    return os.stat(recorded).st_mtime_ns / 1e9 - started


def publish(work, name, write_option, version='1.0'):
    source = os.path.join(work, name + '-source')
    subprocess.run([program('linux', 'bench_install'), write_option, source], check=True,
                   stdout=subprocess.DEVNULL)
    mirror = os.path.join(work, name + '-mirror')
    subprocess.run([program('linux', 'quill-publish'), '--version', version, source, mirror],
                   check=True, stdout=subprocess.DEVNULL)
    return source, mirror


def check_install(source, folder):
    wrong = tree_differences(source, folder)
    if wrong:
        sys.exit('%d files of %s were not installed right in %s (%s ...)'
                 % (len(wrong), source, folder, wrong[0]))


def template_for(work, name, updater, port):
    folder = os.path.join(work, name)
    os.makedirs(folder)
    shutil.copy2(updater, os.path.join(folder, 'QuillUpdate.exe'))
    linux_tools = LinuxBuild(os.path.join(ROOT, 'build', 'linux', 'bin'))
    write_server_list(linux_tools, os.environ, folder, ['127.0.0.1:%d' % port])
    return folder


def report(title, ours_name, ours, reference_name, reference, aim):
    ratios = [a / b for a, b in zip(ours, reference)]
    median = statistics.median(ratios)
    print('\n%s (%d rounds)' % (title, len(ratios)))
    print('  %-46s %s s' % (ours_name, ' '.join('%7.3f' % t for t in ours)))
    print('  %-46s %s s' % (reference_name, ' '.join('%7.3f' % t for t in reference)))
    print('  ratios %s' % ' '.join('%.2fx' % r for r in ratios))
    print('  median %.2fx, spread %.2f (aim: within %.2fx): %s'
          % (median, max(ratios) - min(ratios), aim, 'met' if median <= aim else 'NOT met'))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--rounds', type=int, default=3)
    parser.add_argument('--no-win32', action='store_true')
    parser.add_argument('--reference-commit')
    parser.add_argument('--reference-program')
    args = parser.parse_args()

    if args.reference_program:
        reference, reference_name = args.reference_program, args.reference_program
    else:
        revision = args.reference_commit or subprocess.run(
            ['git', '-C', ROOT, 'merge-base', 'HEAD', 'main'], check=True, capture_output=True,
            text=True).stdout.strip()
        reference, sha = reference_program(revision)
        reference_name = 'QuillUpdate of %s' % sha[:12]

    quiet_ftp_log()
    work = tempfile.mkdtemp(prefix='quill-bench-first-install-')
    try:
        big_source, big_mirror = publish(work, 'tree', '--write-tree')
        small_source, small_mirror = publish(work, 'small', '--write-small-tree')
        big_server, big_port = start_ftp(big_mirror)
        small_server, small_port = start_ftp(small_mirror)
        linux = program('linux', 'QuillUpdate')
        targets = ['linux'] if args.no_win32 else ['linux', 'win32']
        templates = {
            ('tree', 'linux'): template_for(work, 'tree-linux', linux, big_port),
            ('small', 'linux'): template_for(work, 'small-linux', linux, small_port),
        }
        if 'win32' in targets:
            templates[('tree', 'win32')] = template_for(
                work, 'tree-win32', program('win32', 'QuillUpdate.exe'), big_port)
        recorder = program('linux', 'quill_record_parameters')

        times = {key: [] for key in ('tree-linux', 'tree-win32', 'tree-wget', 'small-linux',
                                     'small-wget', 'idle-ours', 'idle-reference')}
        installed = os.path.join(work, 'installed')
        for round_number in range(args.rounds):
            print('round %d of %d' % (round_number + 1, args.rounds), flush=True)
            for target in targets:
                times['tree-' + target].append(fresh_install(
                    target, templates[('tree', target)], os.path.join(work, 'run-' + target)))
            times['tree-wget'].append(wget_and_gunzip(big_port, os.path.join(work, 'wget')))
            times['small-linux'].append(fresh_install(
                'linux', templates[('small', 'linux')], os.path.join(work, 'run-small')))
            times['small-wget'].append(wget_and_gunzip(small_port,
                                                       os.path.join(work, 'wget-small')))
            if round_number == 0:
                for target in targets:
                    check_install(big_source, os.path.join(work, 'run-' + target))
                check_install(small_source, os.path.join(work, 'run-small'))
                # The installed small tree, with the recorder as the next
                # program: every later start finds nothing to do.
                shutil.copytree(os.path.join(work, 'run-small'), installed)
                shutil.copy2(recorder, os.path.join(installed, 'ClientApp.exe'))
            for key, updater in (('idle-ours', linux), ('idle-reference', reference)):
                shutil.copy2(updater, os.path.join(installed, 'QuillUpdate.exe'))
                times[key].append(start_to_client(installed))
        big_server.close_all()
        small_server.close_all()

        reference_label = 'wget -r + gzip -d of every file'
        report('first install of the tree, Linux build', 'QuillUpdate (console form)',
               times['tree-linux'], reference_label, times['tree-wget'], 1.0)
        report('first install of 500 files of 0.2-8 KB, Linux build',
               'QuillUpdate (console form)', times['small-linux'], reference_label,
               times['small-wget'], 1.0)
        if 'win32' in targets:
            report('first install of the tree, Windows build under Wine',
                   'QuillUpdate.exe (console form)', times['tree-win32'], reference_label,
                   times['tree-wget'], 1.5)
        report('start with nothing to do, to the start of "ClientApp.exe", Linux build',
               'QuillUpdate of this tree', times['idle-ours'], reference_name,
               times['idle-reference'], 0.8)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()
