"""The real corvane-server and corvane-client on a test bed under garbage and faults: a flood of
malformed datagrams, a missing or restarted server, a restarted client, a network interface going
down and up, and a settings file that changes or is no file at all."""

import os
import random
import shutil
import subprocess
import tempfile
import time
import unittest

from corvane_testbed import (HERE, REQUEST, SETTINGS, TestBed, binary, start_client,
                             start_listener, start_server, wait_for, write_settings)

GARBAGE = os.path.join(HERE, "netbios_garbage.py")
INTERVAL_MS = 1000
# Several requests a second, so that some go out while the computer's interfaces as last looked
# up still include one that has just gone down.
FAST_INTERVAL_MS = 250
# Generous: a sanitizer build on a busy machine is many times slower than a plain one.
DEADLINE = 30


def requests_from(listener, sender=None):
    _, received = listener.received()
    return [r for r in received if r.payload == REQUEST and sender in (None, r.sender)]


def replies_from(listener, sender=None):
    _, received = listener.received()
    return [r for r in received if r.size == 17 and sender in (None, r.sender)]


class RobustnessTest(unittest.TestCase):
    def assertRunning(self, *programs):
        for program in programs:
            if not program.running():
                program.stop()
                self.fail(f"{program.process.args[-1]} ended: {program.error_output()}")

    def assertSynchronisesAgain(self, client, count=2, since=None):
        """Waits for count clock settings made after since (the real time, now by default),
        and checks that every setting so far is within a second of the real clock."""
        since = time.time() if since is None else since

        def made_since():
            return [wall for _, wall in client.attempts() if wall > since]

        self.assertTrue(wait_for(lambda: len(made_since()) >= count, DEADLINE),
                        f"{len(made_since())} clock settings since {since}: "
                        f"{client.error_output()}")
        self.assertClockSettingsTrue(client)

    def assertClockSettingsTrue(self, client):
        attempts = client.attempts()
        wrong = [(attempted, wall) for attempted, wall in attempts if abs(attempted - wall) >= 1]
        self.assertEqual(wrong[:5], [], f"{len(wrong)} of {len(attempts)} clock settings are "
                                        "off by a second or more (attempted, real time)")

    def assertNoNewErrors(self, program, seen):
        self.assertEqual(program.errors[seen:], [], program.error_output())

    def make_immutable(self, path):
        """Sets the flag that keeps even root from writing the file, which permission bits do
        not; skips where the file system keeps no such flag."""
        done = subprocess.run(["chattr", "+i", path], capture_output=True, text=True)
        if done.returncode != 0:
            self.skipTest("root writes any file whatever its permissions, and the file system "
                          "keeps no immutable flag: " + done.stderr.strip())
        # Before the folder is removed.
        self.addCleanup(subprocess.run, ["chattr", "-i", path], check=False)

    def new_folder(self):
        folder = tempfile.mkdtemp(prefix="corvane-robust-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        return folder


class GarbageOnTheNetwork(RobustnessTest):
    def test_a_flood_of_garbage_stops_no_program_and_never_reaches_the_clock(self):
        seed = random.randrange(2**32)
        with TestBed(["SERVER", "CLIENT", "WATCH", "FLOOD"]) as bed:
            watch = start_listener(bed, "WATCH")
            server = start_server(bed, "SERVER")
            client = start_client(bed, "CLIENT", INTERVAL_MS, folder=self.new_folder())
            self.assertTrue(wait_for(lambda: client.attempts() and replies_from(watch), DEADLINE),
                            client.error_output())
            # Nothing but the server sends 17-byte payloads before the flood.
            server_id = replies_from(watch)[0].sender
            server_errors, client_errors = len(server.errors), len(client.errors)

            server_address = bed.address("SERVER")
            broadcast = server_address.rsplit(".", 1)[0] + ".255"
            flood = bed.run("FLOOD", ["python3", GARBAGE, "6", str(seed), "SERVER", broadcast,
                                      server_address], timeout=120)
            self.assertEqual(flood.returncode, 0, flood.stderr)
            # Replies to the flood's own requests have long been handled by then.
            self.assertSynchronisesAgain(client, since=time.time() + 2)
            kinds = {line.split(":")[0][len("sent "):] for line in flood.stdout.splitlines()}
            self.assertEqual(kinds, {"truncated", "oversized", "wrong type", "wrong mailslot",
                                     "wrong destination", "fragment", "layout",
                                     "random datagram", "random payload", "header alone",
                                     "no time", "request"}, flood.stdout)
            self.assertRunning(server, client)
            self.assertNoNewErrors(server, server_errors)
            self.assertNoNewErrors(client, client_errors)
            _, received = watch.received()
            garbage = [r for r in received if r.sender != server_id and r.payload != REQUEST]
            self.assertGreater(len(garbage), 100, f"the garbage did not arrive (seed {seed})")

            # Once the server has gone and the client has asked twice more, every reply there
            # was has reached both the client and the watching peer.
            server.stop()
            asked = len(requests_from(watch))
            self.assertTrue(wait_for(lambda: len(requests_from(watch)) >= asked + 2, DEADLINE))
            watch.stop()
            replies = replies_from(watch, server_id)
            self.assertClockSettingsTrue(client)
            self.assertLessEqual(len(client.attempts()), len(replies), f"seed {seed}")
            self.assertRunning(client)


class FaultsAroundTheClient(RobustnessTest):
    def test_the_client_waits_for_a_missing_server_and_follows_a_restarted_one(self):
        with TestBed(["SERVER", "CLIENT", "WATCH"]) as bed:
            watch = start_listener(bed, "WATCH")
            client = start_client(bed, "CLIENT", INTERVAL_MS, folder=self.new_folder())
            self.assertTrue(wait_for(lambda: requests_from(watch), DEADLINE))
            client_id = requests_from(watch)[0].sender
            errors = len(client.errors)
            # No server: the client goes on asking, once per interval, and sets nothing.
            self.assertTrue(wait_for(lambda: len(requests_from(watch, client_id)) >= 4,
                                     DEADLINE))
            self.assertEqual(client.attempts(), [])
            self.assertEqual(replies_from(watch), [])
            self.assertNoNewErrors(client, errors)

            first = start_server(bed, "SERVER")
            self.assertSynchronisesAgain(client)
            first.stop()
            # Replies to requests asked before the server went have all come in by the time
            # the client has asked twice more.
            asked = len(requests_from(watch, client_id))
            self.assertTrue(wait_for(lambda: len(requests_from(watch, client_id)) >= asked + 2,
                                     DEADLINE))
            restarted = time.time()
            second = start_server(bed, "SERVER")
            self.assertSynchronisesAgain(client, since=restarted)
            senders = [r.sender for r in replies_from(watch)]
            self.assertEqual(len(set(senders)), 2, "the restarted server has a new terminal id")
            self.assertNotEqual(senders[0], senders[-1])
            self.assertRunning(client, second)
            self.assertNoNewErrors(client, errors)

    def test_the_client_rides_out_its_interface_going_down_and_its_own_restart(self):
        with TestBed(["SERVER", "CLIENT", "WATCH"]) as bed:
            server = start_server(bed, "SERVER")
            watch = start_listener(bed, "WATCH")
            folder = self.new_folder()
            client = start_client(bed, "CLIENT", FAST_INTERVAL_MS, folder=folder)
            self.assertSynchronisesAgain(client, count=1)
            errors = len(client.errors)

            bed.set_link("CLIENT", "down")
            # The stimulus, not a check: a dozen ticks go by with no way out.
            time.sleep(12 * FAST_INTERVAL_MS / 1000)
            self.assertRunning(client)
            bed.set_link("CLIENT", "up")
            self.assertSynchronisesAgain(client)
            self.assertRunning(client)
            self.assertNoNewErrors(client, errors)

            # Ended without warning and started again in the same folder, it reads the interval
            # from the settings file and synchronises with a new terminal id.
            client.stop()
            senders_before = {r.sender for r in requests_from(watch)}
            again = start_client(bed, "CLIENT", folder=folder)
            self.assertSynchronisesAgain(again)
            self.assertTrue(wait_for(
                lambda: {r.sender for r in requests_from(watch)} - senders_before, DEADLINE))
            with open(os.path.join(folder, SETTINGS), "rb") as settings:
                self.assertEqual(settings.read(), bytes.fromhex("00000000fa000000"))
            self.assertRunning(server, again)

    def test_the_settings_file_changing_under_a_running_client_changes_nothing(self):
        folder = self.new_folder()
        path = os.path.join(folder, SETTINGS)

        def make_unwritable():
            os.rmdir(path)
            write_settings(folder, INTERVAL_MS)
            self.make_immutable(path)

        changes = [("removed", lambda: os.remove(path)),
                   ("replaced by a directory", lambda: os.mkdir(path)),
                   ("made unwritable", make_unwritable)]
        with TestBed(["SERVER", "CLIENT"]) as bed:
            server = start_server(bed, "SERVER")
            client = start_client(bed, "CLIENT", INTERVAL_MS, folder=folder)
            self.assertSynchronisesAgain(client, count=1)
            errors = len(client.errors)
            for change, make in changes:
                with self.subTest(change):
                    make()
                    self.assertSynchronisesAgain(client)
                    self.assertRunning(server, client)
                    self.assertNoNewErrors(client, errors)

    def test_a_client_that_cannot_use_its_settings_file_at_start_says_why_and_works_on(self):
        def directory(path):
            os.mkdir(path)

        def short_file(path):
            with open(path, "wb") as settings:
                settings.write(bytes(3))

        def immutable_file(path):
            with open(path, "wb") as settings:
                settings.write(bytes(8))
            self.make_immutable(path)

        # What is in the way, what the client cannot do, why, and the box's message.
        cases = {"DIRECTORY": (directory, "write", "Is a directory", "File access denied."),
                 "SHORT": (short_file, "read", "it ends before byte 8",
                           "Read beyond end of file."),
                 "IMMUTABLE": (immutable_file, "read", "Operation not permitted",
                               "File access denied.")}
        def contents(path):
            if os.path.isdir(path):
                return sorted(os.listdir(path))
            with open(path, "rb") as settings:
                return settings.read()

        with TestBed(["SERVER", "ASKER", *cases]) as bed:
            server = start_server(bed, "SERVER")
            clients, made = {}, {}
            for name, (make, _, _, _) in cases.items():
                with self.subTest(name):
                    folder = self.new_folder()
                    make(os.path.join(folder, SETTINGS))
                    made[name] = contents(os.path.join(folder, SETTINGS))
                    clients[name] = start_client(bed, name, folder=folder)
            for name, client in clients.items():
                _, action, reason, message = cases[name]
                with self.subTest(name):
                    path = os.path.join(client.folder, SETTINGS)
                    self.assertTrue(wait_for(lambda: message in client.error_output(), DEADLINE),
                                    client.error_output())
                    self.assertIn(f"corvane-client: cannot {action} the settings file {path}: "
                                  f"{reason}", client.errors)
                    self.assertIn(f"corvane-client: {message}", client.errors)
                    self.assertEqual(contents(path), made[name])
            # The error box waits for an OK that nobody can give; behind it, each client still
            # sets its clock from the replies to another computer's requests.
            asker = bed.run("ASKER", [binary("CORVANE_PEER"), "--send-hex", REQUEST.hex(),
                                      "--repeat", "3", "--gap", "500"])
            self.assertEqual(asker.returncode, 0, asker.stderr)
            for name, client in clients.items():
                with self.subTest(name):
                    self.assertTrue(wait_for(lambda: client.attempts(), DEADLINE),
                                    client.error_output())
                    self.assertClockSettingsTrue(client)
                    self.assertRunning(client)
            self.assertRunning(server)


if __name__ == "__main__":
    unittest.main()
