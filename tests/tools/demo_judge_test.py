#!/usr/bin/python3
"""The demonstration's judges: the log-on read from the game server's log,
and the wait for the launch chain's end, which must outlast the updater."""

import importlib.util
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools', 'demo',
                    'quill_demo.py')
found = importlib.util.spec_from_file_location('quill_demo', DEMO)
demo = importlib.util.module_from_spec(found)
found.loader.exec_module(demo)

GOOD = '''quill-gameserver: client 4 connected
quill-gameserver: client 4 log-on "demo": result 0, 2 avatars
quill-gameserver: client 4 entered the session as "demoWarrior"
quill-gameserver: client 4 left the session
quill-gameserver: client 4 closed the connection
'''


class LogonSeen(unittest.TestCase):
    def test_a_logged_on_client_whose_session_ended(self):
        self.assertEqual(demo.logon_seen(GOOD), 'logged on as "demo", result 0, entered the '
                         'session as "demoWarrior" (game server log)')
        # The Windows server ends its lines with CR LF.
        self.assertEqual(demo.logon_seen(GOOD.replace('\n', '\r\n')), demo.logon_seen(GOOD))

    def test_a_refused_or_unfinished_log_on_is_none(self):
        refused = GOOD.replace('result 0', 'result 1')
        self.assertIsNone(demo.logon_seen(refused))
        still_connected = GOOD.replace('client 4 closed the connection', '')
        self.assertIsNone(demo.logon_seen(still_connected))
        self.assertIsNone(demo.logon_seen('quill-gameserver: listening on 127.0.0.1:1\n'))
        # Another client's end does not finish this one's session.
        mixed = still_connected + 'quill-gameserver: client 5 closed the connection\n'
        self.assertIsNone(demo.logon_seen(mixed))

    def test_a_later_client_may_succeed(self):
        first = GOOD.replace('client 4', 'client 3').replace('result 0', 'result 2')
        self.assertIsNotNone(demo.logon_seen(first + GOOD))


class ChainEnd(unittest.TestCase):
    """A chain whose updater ends at once while the program it started
    runs on: the copy of the shell plays that program."""

    def setUp(self):
        self.work = tempfile.mkdtemp()
        self.install = os.path.join(self.work, 'install')
        os.makedirs(self.install)
        shutil.copy2(shutil.which('sh'), os.path.join(self.install, 'ClientApp.exe'))
        self.marker = os.path.join(self.work, 'ended')
        self.timeout = demo.CHAIN_TIMEOUT

    def tearDown(self):
        demo.CHAIN_TIMEOUT = self.timeout
        shutil.rmtree(self.work)

    def updater(self, seconds):
        path = os.path.join(self.install, 'QuillUpdate.exe')
        with open(path, 'w') as f:
            f.write('#!/bin/sh\necho updater\n./ClientApp.exe -c "sleep %s; echo > %s" &\n'
                    % (seconds, self.marker))
        os.chmod(path, 0o755)

    def run_chain(self):
        with open(os.devnull, 'w') as quiet:
            saved, sys.stdout = sys.stdout, quiet
            try:
                return demo.run_chain(self.install, demo.LinuxBuild(self.work), dict(os.environ),
                                      os.path.join(self.work, 'chain.log'))
            finally:
                sys.stdout = saved

    def test_waits_for_the_program_the_updater_started(self):
        self.updater(demo.CHAIN_SETTLE + 1.5)
        _, ended = self.run_chain()
        self.assertTrue(ended)
        self.assertTrue(os.path.exists(self.marker))
        self.assertEqual(demo.chain_processes(self.install), [])
        with open(os.path.join(self.work, 'chain.log')) as f:
            self.assertEqual(f.read(), 'updater\n')

    def test_a_chain_that_does_not_end_is_stopped(self):
        demo.CHAIN_TIMEOUT = 3
        self.updater(60)
        _, ended = self.run_chain()
        self.assertFalse(ended)
        self.assertFalse(os.path.exists(self.marker))
        self.assertEqual(demo.chain_processes(self.install), [])

    def test_a_windows_program_is_known_by_its_image_path(self):
        image = 'Z:' + os.path.join(self.install, 'RealClientApp.EXE').replace('/', '\\')
        # Wine shows a program that another one started as "Z:\...", and
        # its loader runs with the image as its argument before that; the
        # script named like the image plays the loader's program here.
        with open(os.path.join(self.work, image), 'w') as f:
            f.write('sleep 30\n')
        scripts = ['exec -a "$0" sleep 30', 'cd "$1" && exec -a /usr/lib/wine/wine sh "$0"']
        processes = [subprocess.Popen(['bash', '-c', script, image, self.work],
                                      stdout=subprocess.DEVNULL, start_new_session=True)
                     for script in scripts]
        started = [process.pid for process in processes]
        try:
            for _ in range(50):
                if set(started) <= set(demo.chain_processes(self.install)):
                    break
                demo.time.sleep(0.05)
            self.assertLessEqual(set(started), set(demo.chain_processes(self.install)))
            self.assertEqual(demo.chain_processes(self.work + '-other'), [])
        finally:
            for process in processes:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()


if __name__ == '__main__':
    unittest.main(verbosity=2)
