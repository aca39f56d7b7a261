#!/usr/bin/python3
"""The whole launch chain on one machine, on loopback only.

quill_demo.py --bin BUILD_BIN --work FOLDER [--console] [--auto-start-ms N]

1. Publishes a sample game tree as version 1.0 to two FTP mirrors (a third
   name in "ver_C" answers nothing, so the mirror failover shows), starts
   the game server, a crash-log FTP account and a web server for the
   launcher page and the home page.
2. Runs the updater in an empty installation folder: it installs the tree
   and starts the chain (bootstrap, launcher, game client).
3. Publishes version 1.1 (a changed file, a removed file, a new folder, a
   new updater "QuillNewUpdate.exe") and runs the chain again.
4. Prints what was fetched, how long it took, and the game client's log-on.

Every server it starts is stopped at the end, also when a step fails. The
exit code is 0 only when both runs ended with the game client logged on and
the installed tree equal to the published one.
"""

import argparse
import hashlib
import http.server
import logging
import os
import random
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer

CHAIN_TIMEOUT = 180


def say(text):
    print(text, flush=True)


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


# --- Servers -----------------------------------------------------------------

class Counter:
    """What the mirrors sent: files and bytes, per run."""

    def __init__(self):
        self.lock = threading.Lock()
        self.files = []
        self.bytes = 0

    def add(self, name, size):
        with self.lock:
            self.files.append(name)
            self.bytes += size

    def take(self):
        with self.lock:
            files, size = self.files, self.bytes
            self.files, self.bytes = [], 0
            return files, size


def start_ftp(root, counter=None, user=None, password=None):
    authorizer = DummyAuthorizer()
    if user:
        authorizer.add_user(user, password, root, perm='elradfmwMT')
    else:
        authorizer.add_anonymous(root)

    class Handler(FTPHandler):
        def on_file_sent(self, file):
            if counter is not None:
                counter.add(os.path.relpath(file, root), os.path.getsize(file))

    Handler.authorizer = authorizer
    Handler.passive_ports = None
    Handler.masquerade_address = None
    # Each server runs its own loop on its own thread: one shared loop
    # driven from several threads mixes up their connections.
    server = FTPServer(('127.0.0.1', 0), Handler, ioloop=IOLoop())
    server.max_cons = 64
    thread = threading.Thread(target=server.serve_forever, kwargs={'timeout': 0.2},
                              daemon=True)
    thread.start()
    return server, server.socket.getsockname()[1]


def start_web(root):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=root, **kwargs)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Quiet)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, server.server_address[1]


def find_program(bin_dir, name):
    """A built program of the build's bin/."""
    path = os.path.join(bin_dir, name)
    if os.path.isfile(path):
        return path
    raise FileNotFoundError('%s is not built in %s' % (name, bin_dir))


# --- The sample game ---------------------------------------------------------

def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def sample_tree(folder, bin_dir, suffix, web_port, version):
    """A game tree: the chain's programs, their settings and some data."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    programs = {
        'ClientApp.exe': 'QuillUpdate_bootstrap',
        'QuillLauncher.exe': 'QuillLauncher',
        'RealClientApp.EXE': 'quill-client',
    }
    for name, program in programs.items():
        shutil.copy2(find_program(bin_dir, program + suffix), os.path.join(folder, name))
    for library in ('QuillNTC.dll', 'libQuillNTC.so.1'):
        for place in (bin_dir, os.path.join(bin_dir, '..', 'lib')):
            source = os.path.join(place, library)
            if os.path.exists(source):
                shutil.copy2(source, os.path.join(folder, library), follow_symlinks=True)
    write(os.path.join(folder, 'launcher.cfg'),
          ('launcher_page=http://127.0.0.1:%d/launcher/\n'
           'home_page=http://127.0.0.1:%d/home/\n' % (web_port, web_port)).encode())
    rng = random.Random(20261208)
    write(os.path.join(folder, 'data', 'readme.txt'),
          ('Quill sample data, version %s\n' % version).encode())
    for zone in range(1, 4):
        for part in range(4):
            size = rng.choice([0, 100, 4096, 70000, 300000])
            write(os.path.join(folder, 'data', 'zone%d' % zone, 'part%d.dat' % part),
                  rng.randbytes(size))
    write(os.path.join(folder, 'data', 'strings', 'korean.txt'),
          '안녕하세요, 모험가님!\n'.encode('utf-8'))
    write(os.path.join(folder, 'data', 'old_event.dat'), rng.randbytes(5000))


def version_1_1(folder, bin_dir, suffix):
    """The difference of 1.1: changed, removed, new folder, new updater."""
    write(os.path.join(folder, 'data', 'readme.txt'), b'Quill sample data, version 1.1\n')
    os.remove(os.path.join(folder, 'data', 'old_event.dat'))
    write(os.path.join(folder, 'data', 'zone4', 'part0.dat'),
          random.Random(11).randbytes(120000))
    # A new build of the updater: the same program with a different digest.
    with open(find_program(bin_dir, 'QuillUpdate' + suffix), 'rb') as f:
        updater = f.read()
    write(os.path.join(folder, 'QuillNewUpdate.exe'), updater + b'\0Quill 1.1\0')


def publish(bin_dir, suffix, emulator, version, source, mirror):
    shutil.rmtree(mirror, ignore_errors=True)
    command = emulator + [find_program(bin_dir, 'quill-publish' + suffix),
                          '--version', version, source, mirror]
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


def write_server_list(bin_dir, suffix, emulator, folder, names):
    plain = os.path.join(folder, 'servers.txt')
    with open(plain, 'w') as f:
        f.write('QUILL\n%d\n' % len(names))
        for name in names:
            f.write('%s / anonymous guest@\n' % name)
    subprocess.run(emulator + [find_program(bin_dir, 'quill-serverlist' + suffix), 'encode',
                               plain, os.path.join(folder, 'ver_C')], check=True)
    os.remove(plain)


def digest(path):
    with open(path, 'rb') as f:
        return hashlib.md5(f.read()).hexdigest()


def tree_differences(source, installed):
    """Files of the source that the installation lacks or holds otherwise."""
    wrong = []
    for base, _, files in os.walk(source):
        for name in files:
            path = os.path.join(base, name)
            relative = os.path.relpath(path, source)
            other = os.path.join(installed, relative)
            if not os.path.isfile(other) or digest(other) != digest(path):
                wrong.append(relative)
    return wrong


# --- The chain ----------------------------------------------------------------

def run_chain(install, bin_dir, suffix, emulator, env, log_path):
    """Runs the updater; returns once every program of the chain has ended."""
    command = emulator + [os.path.join(install, 'QuillUpdate.exe')]
    started = time.monotonic()
    lines = []
    with open(log_path, 'w', encoding='utf-8', errors='replace') as log:
        # The chain's programs inherit the output pipe: it ends when the last
        # of them has ended.
        process = subprocess.Popen(command, cwd=install, env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT, start_new_session=True)
        timer = threading.Timer(CHAIN_TIMEOUT, lambda: os.killpg(process.pid, signal.SIGKILL))
        timer.start()
        try:
            for raw in process.stdout:
                # A terminal progress bar redraws its line: keep what it
                # showed last.
                line = raw.decode('utf-8', errors='replace').rstrip('\r\n').split('\r')[-1]
                lines.append(line)
                log.write(line + '\n')
                say('    | ' + line)
        finally:
            timer.cancel()
            process.wait()
    return time.monotonic() - started, lines


def logon_result(lines):
    for line in reversed(lines):
        if 'log-on result' in line.lower() or 'logon result' in line.lower():
            return line.strip()
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--bin', required=True, help='folder of the built programs')
    parser.add_argument('--work', required=True, help='scratch folder of the demo')
    parser.add_argument('--console', action='store_true',
                        help='console forms of the programs even with a display')
    parser.add_argument('--auto-start-ms', type=int, default=1500,
                        help="delay before the launcher's start action is taken for you")
    args = parser.parse_args()
    bin_dir = os.path.abspath(args.bin)
    work = os.path.abspath(args.work)
    # The chain runs the Linux build; the names keep a place for a program
    # suffix and a runner should another build be shown the same way.
    suffix = ''
    emulator = []
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    # The servers' own request log would drown the chain's output.
    quiet = logging.getLogger('pyftpdlib')
    quiet.addHandler(logging.NullHandler())
    quiet.setLevel(logging.WARNING)
    quiet.propagate = False

    servers = []
    processes = []
    try:
        counter = Counter()
        mirrors = [os.path.join(work, 'mirror%d' % i) for i in (1, 2)]
        for m in mirrors:
            os.makedirs(m)
        web_root = os.path.join(work, 'web')
        write(os.path.join(web_root, 'launcher', 'index.html'),
              '<html><meta charset="utf-8"><body><h1>Quill</h1>'
              '<p>퀼 온라인에 오신 것을 환영합니다!</p></body></html>'.encode('utf-8'))
        write(os.path.join(web_root, 'home', 'index.html'),
              b'<html><body><h1>Quill home page</h1></body></html>')
        web, web_port = start_web(web_root)
        servers.append(web)
        ports = []
        for m in mirrors:
            server, port = start_ftp(m, counter)
            servers.append(server)
            ports.append(port)
        crash_root = os.path.join(work, 'crashlogs')
        # The folder the updater uploads into, under the account's root.
        crash_folder = os.path.join(crash_root, 'home', 'quill', 'LOG')
        os.makedirs(crash_folder)
        crash, crash_port = start_ftp(crash_root, user='quill', password='rvoplank')
        servers.append(crash)
        dead_port = free_port()  # nothing listens there
        game_port = free_port()
        game_log = open(os.path.join(work, 'gameserver.log'), 'w')
        processes.append(subprocess.Popen(
            emulator + [find_program(bin_dir, 'quill-gameserver' + suffix), '--port',
                        str(game_port)], stdout=game_log, stderr=subprocess.STDOUT, cwd=work))
        time.sleep(0.5)
        say('=== servers: mirrors on ports %d and %d, a dead mirror on %d, crash logs on %d, '
            'web on %d, game server on %d' % (ports[0], ports[1], dead_port, crash_port,
                                               web_port, game_port))

        install = os.path.join(work, 'install')
        os.makedirs(install)
        shutil.copy2(find_program(bin_dir, 'QuillUpdate' + suffix),
                     os.path.join(install, 'QuillUpdate.exe'))
        names = ['127.0.0.1:%d' % dead_port] + ['127.0.0.1:%d' % p for p in ports]
        write_server_list(bin_dir, suffix, emulator, install, names)
        # A crash log the game client left behind last time.
        write(os.path.join(install, 'log_client.txt'), b'client crashed at frame 1234\n')

        env = dict(os.environ)
        env['QUILL_CRASHLOG_HOST'] = '127.0.0.1:%d' % crash_port
        env['QUILL_GAMESERVER'] = '127.0.0.1:%d' % game_port
        if args.console or not env.get('DISPLAY'):
            env['QUILL_UI'] = 'console'
            # Nobody is there to press "start".
            env['QUILL_DEMO_AUTOSTART_MS'] = str(args.auto_start_ms)

        results = []
        for version in ('1.0', '1.1'):
            source = os.path.join(work, 'game-' + version)
            if version == '1.0':
                sample_tree(source, bin_dir, suffix, web_port, version)
            else:
                shutil.copytree(os.path.join(work, 'game-1.0'), source)
                version_1_1(source, bin_dir, suffix)
            for m in mirrors:
                publish(bin_dir, suffix, emulator, version, source, m)
            say('=== published version %s to both mirrors' % version)
            say('=== run %s: QuillUpdate in %s' % (version, install))
            seconds, lines = run_chain(install, bin_dir, suffix, emulator, env,
                                       os.path.join(work, 'chain-%s.log' % version))
            files, size = counter.take()
            wrong = tree_differences(source, install)
            results.append((version, seconds, files, size, wrong, logon_result(lines)))

        new_updater = os.path.join(install, 'QuillNewUpdate.exe')
        updater_swapped = os.path.exists(new_updater) and \
            digest(os.path.join(install, 'QuillUpdate.exe')) == digest(new_updater)
        removed_gone = not os.path.exists(os.path.join(install, 'data', 'old_event.dat'))
        crash_logs = sorted(os.listdir(crash_folder))

        say('')
        say('=== summary')
        ok = True
        for version, seconds, files, size, wrong, logon in results:
            say('  run %s: %d files fetched, %d bytes, %.1f s; tree %s; game client: %s' % (
                version, len(files), size, seconds,
                'complete' if not wrong else 'DIFFERS in ' + ', '.join(wrong[:5]),
                logon or 'NO LOG-ON SEEN'))
            ok = ok and not wrong and logon is not None
        say('  updater swapped by the bootstrap: %s' % ('yes' if updater_swapped else 'NO'))
        say('  file removed in 1.1 is gone: %s' % ('yes' if removed_gone else 'NO'))
        say('  crash logs uploaded: %s' % (', '.join(crash_logs) or 'none'))
        ok = ok and updater_swapped and removed_gone
        say('=== demo %s' % ('succeeded' if ok else 'FAILED'))
        return 0 if ok else 1
    finally:
        for process in processes:
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        for server in servers:
            if isinstance(server, FTPServer):
                server.close_all()
            else:
                server.shutdown()


if __name__ == '__main__':
    sys.exit(main())
