"""The real corvane-client and corvane-server on a test bed; the clients' clock settings are
observed by a preloaded library and never reach the clock."""

import os
import unittest

from corvane_testbed import (SETTINGS, TestBed, binary, parse_peer_output, start_client,
                             start_server, wait_for)


class ClientsOnTheNetwork(unittest.TestCase):
    def test_clients_set_their_clocks_from_every_reply_and_never_from_requests(self):
        with TestBed(["SERVER", "ALPHA", "BRAVO", "WATCH"]) as bed:
            server = start_server(bed, "SERVER")
            alpha = start_client(bed, "ALPHA", 2000)
            bravo = start_client(bed, "BRAVO", 3000)
            watch = bed.run("WATCH", [binary("CORVANE_PEER"), "--listen", "7000"])
            _, seen = parse_peer_output(watch.stdout)
            requests = [r for r in seen if r.size == 10]
            replies = [r for r in seen if r.size == 17]
            self.assertGreaterEqual(len({r.sender for r in requests}), 2, seen)
            self.assertGreaterEqual(len(replies), len(requests))
            for client in (alpha, bravo):
                self.assertTrue(wait_for(lambda: len(client.attempts()) >= 4, 10),
                                client.attempts())
                for attempted, wall in client.attempts():
                    self.assertLess(abs(attempted - wall), 1.0)
            # Each client hears the replies to the other's requests too, and requests of both
            # reached both: still only replies became clock settings.
            for program in (server, alpha, bravo):
                if not program.running():
                    program.stop()
                    self.fail("a program ended: " + program.error_output())

    def test_interval_zero_sends_nothing(self):
        with TestBed(["QUIET", "WATCH"]) as bed:
            folder = start_client(bed, "QUIET", 0).folder
            watch = bed.run("WATCH", [binary("CORVANE_PEER"), "--listen", "3000"])
            _, seen = parse_peer_output(watch.stdout)
            self.assertEqual(seen, [])
            with open(os.path.join(folder, SETTINGS), "rb") as settings:
                self.assertEqual(settings.read(), bytes(8))

    def test_first_start_creates_the_settings_file_and_a_second_client_exits_with_1(self):
        with TestBed(["FRESH"]) as bed:
            first = start_client(bed, "FRESH")
            folder = first.folder
            path = os.path.join(folder, SETTINGS)
            self.assertTrue(wait_for(lambda: os.path.exists(path), 10))
            with open(path, "rb") as settings:
                self.assertEqual(settings.read(), bytes.fromhex("0000000060ea0000"))
            second = bed.run("FRESH", [binary("CORVANE_CLIENT")], cwd=folder)
            self.assertEqual(second.returncode, 1)
            self.assertIn("Cannot create a file when that file already exists", second.stderr)
            self.assertTrue(first.running())


if __name__ == "__main__":
    unittest.main()
