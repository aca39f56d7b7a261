#!/usr/bin/python3
"""An FTP server for the tests, on pyftpdlib, bound to a free loopback port.

ftp_server.py --root DIR --port-file FILE --alive-file FILE
              [--user NAME --password TEXT] [--cut-after BYTES]
              [--break-transfers] [--wrong-digest] [--cp949-names]
              [--idle-timeout SECONDS] [--send-rate BYTES]

Serves DIR read-only to anonymous users and, with --user, read-write to that
account. Once it accepts connections it writes "PORT REFUSED_PORT" to
FILE (by a rename, so a reader never sees half of it): REFUSED_PORT is a
port it holds bound but not listening, where every connection is refused.
It serves while the alive file exists and removes the port file when it
ends. With --cut-after, every download is broken off with a reset after that
many bytes. With --break-transfers, every download of a file that is not
empty is broken off that way half-way through. With --wrong-digest, every
file named "name.gz." plus 32 hex digits is served as a gzip stream of
other content, padded with zero bytes to the file's own size (zlib ignores
what follows a gzip stream), so that only its digest tells; a file shorter
than that stream gets the stream cut to its size.

Every control connection opened and closed is counted in "FILE.sessions"
beside the port file, as "OPENED CLOSED" (written by a rename too). With
--idle-timeout, the server drops a control connection that sent no command
for that many seconds, with a 421 reply, as servers do to idle clients.
With --send-rate, downloads are sent at most that many bytes a second, so
that a test can catch one on its way.

Names pass between the wire and the disk as bytes, unchanged both ways, as
on a Linux host: a client asking for code page 949 bytes finds the file of
those bytes. With --cp949-names the served folder keeps every name in code
page 949, as a Linux host that a Windows-made mirror was uploaded to in that
code page: before each command, a name that reads as UTF-8 (what a Windows
program under Wine writes) is renamed to its code page 949 bytes.

Paths may be given in the Windows form of a Wine program ("C:\\users\\...");
they are turned into the Unix paths of the Wine prefix in WINEPREFIX.
"""

import argparse
import gzip
import os
import re
import socket
import struct
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

# A server left behind by a test that crashed ends by itself.
MAX_LIFE_SECONDS = 1800


def unix_path(path):
    if len(path) >= 2 and path[1] == ':' and path[0].isalpha():
        prefix = os.environ.get('WINEPREFIX') or os.path.expanduser('~/.wine')
        drive = os.path.join(prefix, 'dosdevices', path[0].lower() + ':')
        rest = path[2:].replace('\\', '/').lstrip('/')
        return os.path.realpath(os.path.join(drive, rest))
    return path


class CuttingDTPHandler(DTPHandler):
    cut_after = None

    def send(self, data):
        if self.receive or self.cut_after is None:
            return super().send(data)
        room = self.cut_after - self.tot_bytes_sent
        if room > 0:
            return super().send(bytes(data[:room]))
        # Let the client take in what was sent, then reset the connection:
        # a reset is what a broken network gives, not an orderly end.
        time.sleep(0.2)
        self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                               struct.pack('ii', 1, 0))
        self._resp = ('426 Connection reset; transfer aborted.', lambda *a: None)
        self.close()
        return 0


class BreakingDTPHandler(CuttingDTPHandler):
    """Cuts every download half-way through its file."""

    def send(self, data):
        if self.cut_after is None and self.file_obj is not None and not self.receive:
            self.cut_after = os.fstat(self.file_obj.fileno()).st_size // 2
        return super().send(data)


class BytesFTPHandler(FTPHandler):
    """Name bytes through unchanged: the ones that are no UTF-8 travel as
    the surrogates Python's file functions turn back into those bytes."""

    unicode_errors = 'surrogateescape'

    def push(self, s):
        super(FTPHandler, self).push(s.encode('utf8', 'surrogateescape'))


def names_to_cp949(root):
    """Renames every UTF-8 name below root to its code page 949 bytes."""
    for base, folders, files in os.walk(os.fsencode(root), topdown=False):
        for name in folders + files:
            try:
                text = name.decode('utf-8')
            except UnicodeDecodeError:
                continue  # already bytes of another code page
            if text.isascii():
                continue
            try:
                os.rename(os.path.join(base, name),
                          os.path.join(base, text.encode('cp949')))
            except (UnicodeEncodeError, OSError):
                pass


class Cp949NamesHandler(BytesFTPHandler):
    def pre_process_command(self, line, cmd, arg):
        names_to_cp949(self.cp949_root)
        return super().pre_process_command(line, cmd, arg)


class SessionCount:
    """Control connections opened and closed, told through a file."""

    def __init__(self, path):
        self.path = path
        self.opened = 0
        self.closed = 0
        self.write()

    def write(self):
        with open(self.path + '.tmp', 'w') as out:
            out.write('%d %d\n' % (self.opened, self.closed))
        os.replace(self.path + '.tmp', self.path)

    def open(self):
        self.opened += 1
        self.write()

    def close(self):
        self.closed += 1
        self.write()


def counting_handler(base, sessions):
    class Counting(base):
        def on_connect(self):
            sessions.open()
            return super().on_connect()

        def on_disconnect(self):
            sessions.close()
            return super().on_disconnect()
    return Counting


DIGEST_NAME = re.compile(r'\.gz\.[0-9a-f]{32}$')


def wrong_digest_retr(self, file):
    """RETR that serves other content under a digest name."""
    if not DIGEST_NAME.search(file):
        return FTPHandler.ftp_RETR(self, file)
    real_size = os.path.getsize(file)
    # As long as the real file: a client that knows the size must still
    # take the whole stream in and find only the digest wrong.
    other = gzip.compress(b'?', mtime=0)[:real_size]
    other += b'\0' * (real_size - len(other))
    folder = self.wrong_digest_folder
    served = os.path.join(folder, '%d.gz' % len(os.listdir(folder)))
    with open(served, 'wb') as out:
        out.write(other)
    return FTPHandler.ftp_RETR(self, served)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--root', required=True)
    parser.add_argument('--port-file', required=True)
    parser.add_argument('--alive-file', required=True)
    parser.add_argument('--user')
    parser.add_argument('--password', default='')
    parser.add_argument('--cut-after', type=int)
    parser.add_argument('--break-transfers', action='store_true')
    parser.add_argument('--wrong-digest', action='store_true')
    parser.add_argument('--cp949-names', action='store_true')
    parser.add_argument('--idle-timeout', type=float)
    parser.add_argument('--send-rate', type=int)
    args = parser.parse_args()

    # Whatever started us may be a test runner reading our output to its end:
    # keep none of its descriptors.
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    os.closerange(3, 1024)

    root = unix_path(args.root)
    port_file = unix_path(args.port_file)
    alive_file = unix_path(args.alive_file)

    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root, perm='elr')
    if args.user:
        authorizer.add_user(args.user, args.password, root, perm='elradfmwMT')

    sessions = SessionCount(port_file + '.sessions')
    handler = type('Handler', (counting_handler(
        Cp949NamesHandler if args.cp949_names else BytesFTPHandler, sessions),),
                   {'cp949_root': root})
    if args.idle_timeout is not None:
        handler.timeout = args.idle_timeout
    handler.authorizer = authorizer
    handler.passive_ports = None
    handler.use_sendfile = False
    handler.banner = 'test server ready.'
    # Tests try wrong passwords on purpose; no need to make them wait.
    handler.auth_failed_timeout = 0
    if args.send_rate is not None:
        handler.dtp_handler = type('SlowDTP', (ThrottledDTPHandler,),
                                   {'write_limit': args.send_rate})
    if args.cut_after is not None:
        handler.dtp_handler = type('CutDTP', (CuttingDTPHandler,),
                                   {'cut_after': args.cut_after})

    if args.break_transfers:
        handler.dtp_handler = BreakingDTPHandler
    if args.wrong_digest:
        import tempfile
        handler.wrong_digest_folder = tempfile.mkdtemp(prefix='quill-wrong-digest-')
        handler.ftp_RETR = wrong_digest_retr

    server = FTPServer(('127.0.0.1', 0), handler)
    port = server.socket.getsockname()[1]

    refused = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    refused.bind(('127.0.0.1', 0))

    with open(port_file + '.tmp', 'w') as out:
        out.write('%d %d\n' % (port, refused.getsockname()[1]))
    os.replace(port_file + '.tmp', port_file)

    started = time.monotonic()
    try:
        while os.path.exists(alive_file) and time.monotonic() - started < MAX_LIFE_SECONDS:
            server.serve_forever(timeout=0.05, blocking=False, handle_exit=False)
    finally:
        server.close_all()
        refused.close()
        if args.wrong_digest:
            import shutil
            shutil.rmtree(handler.wrong_digest_folder, ignore_errors=True)
        for name in (port_file, port_file + '.sessions'):
            try:
                os.remove(name)
            except OSError:
                pass


if __name__ == '__main__':
    sys.exit(main())
