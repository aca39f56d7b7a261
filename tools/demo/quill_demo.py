#!/usr/bin/python3
"""The whole launch chain on one machine, on loopback only.

quill_demo.py --bin BUILD_BIN --work FOLDER [--windows] [--console] [--auto-start-ms N]

1. Publishes a sample game tree as version 1.0 to two FTP mirrors (a third
   name in "ver_C" answers nothing, so the mirror failover shows), starts
   the game server, a crash-log FTP account and a web server for the
   launcher page and the home page.
2. Runs the updater in an empty installation folder: it installs the tree
   and starts the chain (bootstrap, launcher, game client).
3. Publishes version 1.1 (a changed file, a removed file, a new folder, a
   new updater "QuillNewUpdate.exe") and runs the chain again.
4. Prints what was fetched, how long it took, and the game client's log-on
   as the game server logged it.

With --windows, BUILD_BIN is the Windows build's and every program runs
under Wine, in a prefix of the demo's own: the chain's programs come from
the build's packages (the player's and the game tree's ZIP, made by CPack),
as an operator hands them out, and the servers' tools are the build's own.

Every server it starts is stopped at the end, also when a step fails. The
exit code is 0 only when both runs ended with the game client logged on and
the installed tree equal to the published one, the updater swapped by the
bootstrap and the file removed in 1.1 gone.
"""

import argparse
import hashlib
import http.server
import logging
import os
import random
import re
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time
import zipfile

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.ioloop import IOLoop
from pyftpdlib.servers import FTPServer

CHAIN_TIMEOUT = 180
# How long no program of the chain may run before the chain counts as ended:
# a program starting the next one may leave a short gap in between.
CHAIN_SETTLE = 2.0
# The Linux updater's window, a module beside the program.
UPDATER_WINDOW = 'libquill_updater_window.so'


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


def quiet_ftp_log():
    """pyftpdlib's own log shows only warnings, and on its own handler."""
    quiet = logging.getLogger('pyftpdlib')
    quiet.addHandler(logging.NullHandler())
    quiet.setLevel(logging.WARNING)
    quiet.propagate = False


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


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


# --- The builds ----------------------------------------------------------------

class LinuxBuild:
    """The programs of a Linux build's bin/, run as they are."""

    name = 'Linux'
    suffix = ''
    # What the programs' output is written in.
    encoding = 'utf-8'

    def __init__(self, bin_dir):
        self.bin_dir = bin_dir

    def start(self, work):
        pass

    def stop(self):
        pass

    def environment(self, base):
        return dict(base)

    def command(self, program, *args):
        return [program] + list(args)

    def tool(self, name, *args):
        return self.command(find_program(self.bin_dir, name + self.suffix), *args)

    def chain_programs(self, folder):
        programs = {
            'ClientApp.exe': 'QuillUpdate_bootstrap',
            'QuillLauncher.exe': 'QuillLauncher',
            'RealClientApp.EXE': 'quill-client',
        }
        for name, program in programs.items():
            shutil.copy2(find_program(self.bin_dir, program), os.path.join(folder, name))
        library = 'libQuillNTC.so.1'
        for place in (self.bin_dir, os.path.join(self.bin_dir, '..', 'lib')):
            source = os.path.join(place, library)
            if os.path.exists(source):
                shutil.copy2(source, os.path.join(folder, library), follow_symlinks=True)
        self.copy_updater_window(folder)

    def copy_updater_window(self, folder):
        """The updater's window, a module it loads from beside itself."""
        shutil.copy2(os.path.join(self.bin_dir, UPDATER_WINDOW), folder)

    def updater(self):
        return find_program(self.bin_dir, 'QuillUpdate')

    def player_package(self, install):
        shutil.copy2(self.updater(), os.path.join(install, 'QuillUpdate.exe'))
        self.copy_updater_window(install)


class WindowsBuild(LinuxBuild):
    """The Windows build under Wine. The chain's programs are the ones of its
    packages, unpacked from the ZIPs that CPack makes of the build."""

    name = 'Windows'
    suffix = '.exe'
    # The prefix's ANSI code page, in which a console program writes.
    encoding = 'cp949'

    def __init__(self, bin_dir, cpack, wine_run, prefix):
        super().__init__(bin_dir)
        self.cpack = cpack
        self.wine_run = wine_run
        self.prefix = prefix
        self.packages = None

    def environment(self, base):
        # The settings cmake/wine-run.sh gives the suite's Windows programs:
        # code page 949 is the ANSI code page under the Korean locale.
        env = dict(base)
        env.update(WINEPREFIX=self.prefix, WINEARCH='win32', WINEDEBUG='-all',
                   WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d',
                   LANG='ko_KR.UTF-8')
        for name in ('LC_ALL', 'LC_CTYPE', 'LANGUAGE'):
            env.pop(name, None)
        return env

    def command(self, program, *args):
        return ['wine', program] + list(args)

    def start(self, work):
        # The runner of the suite makes the prefix on first use and starts
        # its server with Wine's background programs, detached from any
        # output that the demo reads.
        say('=== preparing the Wine prefix %s' % self.prefix)
        subprocess.run(['bash', self.wine_run, self.prefix, 'cmd', '/c', 'exit'],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        config = os.path.join(self.bin_dir, '..', 'CPackConfig.cmake')
        if not os.path.isfile(config):
            raise FileNotFoundError('no CPack configuration at %s' % config)
        self.packages = os.path.join(work, 'packages')
        subprocess.run([self.cpack, '--config', config, '-B', os.path.join(work, 'cpack'),
                        '-D', 'CPACK_OUTPUT_FILE_PREFIX=' + self.packages],
                       stdout=subprocess.DEVNULL, check=True)
        say('=== packages: %s' % ', '.join(sorted(os.listdir(self.packages))))

    def stop(self):
        # Whatever of the chain still runs, and Wine's background programs.
        subprocess.run(['wineserver', '-k'], env=self.environment(os.environ),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def unpack(self, component, folder):
        """The files of a component's ZIP into folder, without its top folder."""
        names = [n for n in os.listdir(self.packages) if n.endswith('-%s.zip' % component)]
        if len(names) != 1:
            raise FileNotFoundError('no single %s package in %s' % (component, self.packages))
        with zipfile.ZipFile(os.path.join(self.packages, names[0])) as package:
            for entry in package.infolist():
                if entry.is_dir():
                    continue
                relative = entry.filename.split('/', 1)[1]
                write(os.path.join(folder, relative), package.read(entry))
                # An unpacked program must stay one: Wine runs only what
                # may be executed.
                os.chmod(os.path.join(folder, relative), 0o755)

    def chain_programs(self, folder):
        self.unpack('game-tree', folder)
        # The game client is the game's own program, not one of ours.
        shutil.copy2(find_program(self.bin_dir, 'quill-client.exe'),
                     os.path.join(folder, 'RealClientApp.EXE'))

    def updater(self):
        return os.path.join(self.packages_folder('player'), 'QuillUpdate.exe')

    def packages_folder(self, component):
        folder = os.path.join(self.packages, component)
        if not os.path.isdir(folder):
            self.unpack(component, folder)
        return folder

    def player_package(self, install):
        self.unpack('player', install)


# --- The sample game ---------------------------------------------------------

def sample_tree(folder, build, web_port, version):
    """A game tree: the chain's programs, their settings and some data."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    build.chain_programs(folder)
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


def version_1_1(folder, build):
    """The difference of 1.1: changed, removed, new folder, new updater."""
    write(os.path.join(folder, 'data', 'readme.txt'), b'Quill sample data, version 1.1\n')
    os.remove(os.path.join(folder, 'data', 'old_event.dat'))
    write(os.path.join(folder, 'data', 'zone4', 'part0.dat'),
          random.Random(11).randbytes(120000))
    # A new build of the updater: the same program with a different digest.
    with open(build.updater(), 'rb') as f:
        updater = f.read()
    write(os.path.join(folder, 'QuillNewUpdate.exe'), updater + b'\0Quill 1.1\0')


def publish(build, env, version, source, mirror):
    shutil.rmtree(mirror, ignore_errors=True)
    subprocess.run(build.tool('quill-publish', '--version', version, source, mirror),
                   env=env, check=True, stdout=subprocess.DEVNULL)


def write_server_list(build, env, folder, names):
    plain = os.path.join(folder, 'servers.txt')
    with open(plain, 'w') as f:
        f.write('QUILL\n%d\n' % len(names))
        for name in names:
            f.write('%s / anonymous guest@\n' % name)
    subprocess.run(build.tool('quill-serverlist', 'encode', plain,
                              os.path.join(folder, 'ver_C')), env=env, check=True)
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

def chain_processes(install):
    """The processes running a program of the installation folder: a Linux
    program by its executable, a Windows one by the image path that Wine
    shows as its command line: the path it was started by, or "Z:\\..." for
    one that another Windows program started."""
    folder = os.path.join(install, '').lower()
    found = []
    for entry in os.listdir('/proc'):
        if not entry.isdigit():
            continue
        try:
            places = [os.readlink('/proc/%s/exe' % entry)]
            with open('/proc/%s/cmdline' % entry, 'rb') as f:
                words = f.read().decode('utf-8', errors='replace').split('\0')
        except OSError:
            continue  # ended meanwhile, or a zombie
        # Until Wine's loader has taken the program's place, it runs with
        # the image as its first argument.
        first = words[1] if len(words) > 1 and \
            os.path.basename(words[0]).startswith('wine') else words[0]
        # The updater the bootstrap replaced runs on as a deleted file.
        places[0] = places[0].removesuffix(' (deleted)')
        windows = re.match(r'^[zZ]:([\\/].*)$', first)
        if windows:
            places.append(windows.group(1).replace('\\', '/'))
        elif first.startswith('/'):
            places.append(first)
        if any(place.lower().startswith(folder) for place in places):
            found.append(int(entry))
    return found


class Output:
    """The chain's output, taken from the file it is written to as it grows:
    a Windows GUI program started under Wine has no output a pipe could
    carry to its end, so the file is read while the chain runs."""

    def __init__(self, raw_path, log_path, encoding):
        self.encoding = encoding
        self.raw = open(raw_path, 'rb')
        self.log = open(log_path, 'w', encoding='utf-8', errors='replace')
        self.pending = b''
        self.lines = []

    def take(self, final=False):
        self.pending += self.raw.read()
        *complete, self.pending = self.pending.split(b'\n')
        if final and self.pending:
            complete.append(self.pending)
            self.pending = b''
        for raw in complete:
            # A terminal progress bar redraws its line: keep what it showed
            # last.
            line = raw.decode(self.encoding, errors='replace').rstrip('\r').split('\r')[-1]
            self.lines.append(line)
            self.log.write(line + '\n')
            say('    | ' + line)

    def close(self):
        self.take(final=True)
        self.raw.close()
        self.log.close()


def run_chain(install, build, env, log_path):
    """Runs the updater; returns once every program of the chain has ended
    (or the time is up): the seconds and whether the chain ended by itself."""
    raw_path = log_path + '.out'
    started = time.monotonic()
    with open(raw_path, 'wb') as raw:
        process = subprocess.Popen(build.command(os.path.join(install, 'QuillUpdate.exe')),
                                   cwd=install, env=env, stdin=subprocess.DEVNULL,
                                   stdout=raw, stderr=subprocess.STDOUT,
                                   start_new_session=True)
    output = Output(raw_path, log_path, build.encoding)
    ended = False
    quiet_since = None
    try:
        while time.monotonic() - started < CHAIN_TIMEOUT:
            output.take()
            if process.poll() is None or chain_processes(install):
                quiet_since = None
            elif quiet_since is None:
                quiet_since = time.monotonic()
            elif time.monotonic() - quiet_since >= CHAIN_SETTLE:
                ended = True
                break
            time.sleep(0.1)
    finally:
        if not ended:
            # The updater's own group, and what left it (a Windows GUI
            # program under Wine starts a session of its own).
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except OSError:
                pass
            process.kill()
            # Until they are gone: a killed program lingers for a moment.
            for _ in range(50):
                remaining = chain_processes(install)
                if not remaining:
                    break
                for pid in remaining:
                    try:
                        os.kill(pid, signal.SIGKILL)
                    except OSError:
                        pass
                time.sleep(0.1)
        process.wait()
        output.close()
        os.remove(raw_path)
    seconds = time.monotonic() - started - (CHAIN_SETTLE if ended else 0)
    return seconds, ended


def wait_for_line(path, pattern, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        with open(path, encoding='utf-8', errors='replace') as f:
            match = re.search(pattern, f.read())
        if match:
            return match
        time.sleep(0.1)
    return None


def logon_seen(server_log):
    """The game client's log-on as the game server logged it: a client that
    logged on with result 0 and whose connection has ended. None when no
    client did."""
    clients = {}
    for line in server_log.splitlines():
        match = re.search(r'client (\d+) (log-on "([^"]*)": result (\d+)|'
                          r'entered the session as "([^"]*)"|closed the connection)', line)
        if not match:
            continue
        client = clients.setdefault(match.group(1), {})
        if match.group(3) is not None:
            client['account'], client['result'] = match.group(3), int(match.group(4))
        elif match.group(5) is not None:
            client['avatar'] = match.group(5)
        else:
            client['ended'] = True
    for client in clients.values():
        if client.get('result') == 0 and client.get('ended'):
            text = 'logged on as "%s", result 0' % client['account']
            if 'avatar' in client:
                text += ', entered the session as "%s"' % client['avatar']
            return text + ' (game server log)'
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--bin', required=True, help='folder of the built programs')
    parser.add_argument('--work', required=True, help='scratch folder of the demo')
    parser.add_argument('--windows', action='store_true',
                        help='the Windows build under Wine, from its packages')
    parser.add_argument('--cpack', default='cpack', help='CPack, which makes the packages')
    parser.add_argument('--wine-prefix',
                        help="the demo's own Wine prefix (WORK-wineprefix unless given)")
    parser.add_argument('--console', action='store_true',
                        help='console forms of the programs even with a display')
    parser.add_argument('--auto-start-ms', type=int, default=1500,
                        help="delay before the launcher's start action is taken for you")
    args = parser.parse_args()
    bin_dir = os.path.abspath(args.bin)
    work = os.path.abspath(args.work)
    if args.windows:
        wine_run = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..',
                                'cmake', 'wine-run.sh')
        build = WindowsBuild(bin_dir, args.cpack, os.path.abspath(wine_run),
                             os.path.abspath(args.wine_prefix or work + '-wineprefix'))
    else:
        build = LinuxBuild(bin_dir)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    # The servers' own request log would drown the chain's output.
    quiet_ftp_log()

    servers = []
    processes = []
    try:
        say('=== the launch chain with the %s build' % build.name)
        build.start(work)
        tool_env = build.environment(os.environ)
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
        game_log_path = os.path.join(work, 'gameserver.log')
        with open(game_log_path, 'wb') as game_log:
            processes.append(subprocess.Popen(
                build.tool('quill-gameserver', '--port', '0'), env=tool_env,
                stdin=subprocess.DEVNULL, stdout=game_log, stderr=subprocess.STDOUT, cwd=work))
        listening = wait_for_line(game_log_path, r'listening on 127\.0\.0\.1:(\d+)', 60)
        if not listening:
            raise RuntimeError('the game server did not say its port; see ' + game_log_path)
        game_port = int(listening.group(1))
        say('=== servers: mirrors on ports %d and %d, a dead mirror on %d, crash logs on %d, '
            'web on %d, game server on %d' % (ports[0], ports[1], dead_port, crash_port,
                                               web_port, game_port))

        install = os.path.join(work, 'install')
        os.makedirs(install)
        build.player_package(install)
        names = ['127.0.0.1:%d' % dead_port] + ['127.0.0.1:%d' % p for p in ports]
        write_server_list(build, tool_env, install, names)
        # A crash log the game client left behind last time.
        write(os.path.join(install, 'log_client.txt'), b'client crashed at frame 1234\n')

        env = dict(tool_env)
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
                sample_tree(source, build, web_port, version)
            else:
                shutil.copytree(os.path.join(work, 'game-1.0'), source)
                version_1_1(source, build)
            for m in mirrors:
                publish(build, tool_env, version, source, m)
            say('=== published version %s to both mirrors' % version)
            say('=== run %s: QuillUpdate in %s' % (version, install))
            server_log_start = os.path.getsize(game_log_path)
            seconds, ended = run_chain(install, build, env,
                                       os.path.join(work, 'chain-%s.log' % version))
            if not ended:
                say('=== run %s: the chain did not end within %d s; its programs were '
                    'stopped' % (version, CHAIN_TIMEOUT))
            with open(game_log_path, 'rb') as f:
                f.seek(server_log_start)
                server_log = f.read().decode(build.encoding, errors='replace')
            files, size = counter.take()
            wrong = tree_differences(source, install)
            results.append((version, seconds, files, size, wrong,
                            logon_seen(server_log) if ended else None))

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
                process.wait()
        build.stop()
        for server in servers:
            if isinstance(server, FTPServer):
                server.close_all()
            else:
                server.shutdown()


if __name__ == '__main__':
    sys.exit(main())
