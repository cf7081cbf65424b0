"""The real corvane-client and corvane-server on a test bed; the clients' clock settings are
observed by a preloaded library and never reach the clock."""

import os
import struct
import tempfile
import time
import unittest

from corvane_testbed import TestBed, binary, parse_peer_output

SETTINGS = "Velnaro.inf"


def write_settings(folder, interval):
    with open(os.path.join(folder, SETTINGS), "wb") as settings:
        settings.write(struct.pack("<Ii", 0, interval))


def clock_attempts(log_path):
    """(attempted time, wall time of the attempt) per recorded clock setting."""
    if not os.path.exists(log_path):
        return []
    attempts = []
    with open(log_path) as log:
        for line in log:
            words = line.split()
            if len(words) == 4 and words[2] == "wall":
                attempts.append((float(words[1]), float(words[3])))
    return attempts


class ClientsOnTheNetwork(unittest.TestCase):
    def start_client(self, bed, name, interval=None):
        folder = tempfile.mkdtemp(prefix=f"corvane-{name}-")
        if interval is not None:
            write_settings(folder, interval)
        log = os.path.join(folder, "clock.log")
        process = bed.spawn(name, [binary("CORVANE_CLIENT")], cwd=folder,
                            env={"LD_PRELOAD": binary("CORVANE_FAKECLOCK"),
                                 "CORVANE_FAKECLOCK_LOG": log,
                                 # A sanitizer build wants its runtime first; the observing
                                 # library comes before it and is fine there.
                                 "ASAN_OPTIONS": "verify_asan_link_order=0"})
        bed.wait_until_held(name)
        return process, folder, log

    def wait_for(self, condition, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return True
            time.sleep(0.2)
        return condition()

    def test_clients_set_their_clocks_from_every_reply_and_never_from_requests(self):
        with TestBed(["SERVER", "ALPHA", "BRAVO", "WATCH"]) as bed:
            server = bed.spawn("SERVER", [binary("CORVANE_SERVER")])
            bed.wait_until_held("SERVER")
            alpha, _, alpha_log = self.start_client(bed, "ALPHA", 2000)
            bravo, _, bravo_log = self.start_client(bed, "BRAVO", 3000)
            watch = bed.run("WATCH", [binary("CORVANE_PEER"), "--listen", "7000"])
            _, seen = parse_peer_output(watch.stdout)
            requests = [r for r in seen if r.size == 10]
            replies = [r for r in seen if r.size == 17]
            self.assertGreaterEqual(len({r.sender for r in requests}), 2, seen)
            self.assertGreaterEqual(len(replies), len(requests))
            for log in (alpha_log, bravo_log):
                self.assertTrue(self.wait_for(lambda: len(clock_attempts(log)) >= 4, 10),
                                clock_attempts(log))
                for attempted, wall in clock_attempts(log):
                    self.assertLess(abs(attempted - wall), 1.0)
            # Each client hears the replies to the other's requests too, and requests of both
            # reached both: still only replies became clock settings.
            for process in (server, alpha, bravo):
                if process.poll() is not None:
                    self.fail("a program ended: " + process.stderr.read())

    def test_interval_zero_sends_nothing(self):
        with TestBed(["QUIET", "WATCH"]) as bed:
            _, folder, log = self.start_client(bed, "QUIET", 0)
            watch = bed.run("WATCH", [binary("CORVANE_PEER"), "--listen", "3000"])
            _, seen = parse_peer_output(watch.stdout)
            self.assertEqual(seen, [])
            with open(os.path.join(folder, SETTINGS), "rb") as settings:
                self.assertEqual(settings.read(), bytes(8))

    def test_first_start_creates_the_settings_file_and_a_second_client_exits_with_1(self):
        with TestBed(["FRESH"]) as bed:
            first, folder, _ = self.start_client(bed, "FRESH")
            path = os.path.join(folder, SETTINGS)
            self.assertTrue(self.wait_for(lambda: os.path.exists(path), 10))
            with open(path, "rb") as settings:
                self.assertEqual(settings.read(), bytes.fromhex("0000000060ea0000"))
            second = bed.run("FRESH", [binary("CORVANE_CLIENT")], cwd=folder)
            self.assertEqual(second.returncode, 1)
            self.assertIn("Cannot create a file when that file already exists", second.stderr)
            self.assertIsNone(first.poll())


if __name__ == "__main__":
    unittest.main()
