"""The real corvane-server on a test bed, asked by a peer on another computer."""

import random
import unittest

from corvane_testbed import (REQUEST, TestBed, binary, framed, parse_peer_output,
                             reply_time)


class ServerOnTheNetwork(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.bed = TestBed(["SERVER", "PEER"]).__enter__()
        cls.addClassCleanup(cls.bed.__exit__, None, None, None)
        cls.server = cls.bed.spawn("SERVER", [binary("CORVANE_SERVER")])
        cls.bed.wait_until_held("SERVER")

    def tearDown(self):
        if self.server.poll() is not None:
            self.fail("the server ended: " + self.server.stderr.read())

    def ask(self, *args, listen=1500):
        done = self.bed.run("PEER", [binary("CORVANE_PEER"), *args, "--listen", str(listen)])
        self.assertEqual(done.returncode, 0, done.stderr)
        own_id, received = parse_peer_output(done.stdout)
        replies = [r for r in received if r.sender != own_id and r.size == 17]
        return own_id, received, replies

    def test_a_request_gets_one_reply_with_the_server_clock_in_utc(self):
        own_id, received, replies = self.ask("--send-hex", REQUEST.hex())
        self.assertEqual(len(replies), 1, received)
        self.assertLess(abs(reply_time(replies[0].payload) - replies[0].at), 1.0)
        # The peer's own request came back to it too, once.
        own = [r for r in received if r.sender == own_id]
        self.assertEqual([r.payload for r in own], [REQUEST])

    def test_two_copies_of_one_request_get_one_reply(self):
        datagram = framed(random.getrandbits(32), 1, REQUEST).hex()
        _, received, replies = self.ask("--send-raw-hex", datagram, "--send-raw-hex", datagram)
        self.assertEqual(len(replies), 1, received)

    def test_two_requests_in_one_poll_get_two_replies_each_with_its_own_reading(self):
        sender = random.getrandbits(32)
        _, received, replies = self.ask("--send-raw-hex", framed(sender, 1, REQUEST).hex(),
                                        "--send-raw-hex", framed(sender, 2, REQUEST).hex())
        self.assertEqual(len(replies), 2, received)
        self.assertLessEqual(reply_time(replies[0].payload), reply_time(replies[1].payload))

    def test_malformed_and_short_payloads_get_no_reply_and_the_server_goes_on(self):
        sender = random.getrandbits(32)
        garbage = ["", "0102", framed(sender, 1, b"").hex(), framed(sender, 2, b"GIVE ZEI").hex(),
                   framed(sender, 3, b"give zeit\0").hex(), framed(sender, 4, b"GIVE  ZEIT").hex(),
                   bytes(random.getrandbits(8) for _ in range(40)).hex()]
        args = []
        for datagram in garbage:
            args += ["--send-raw-hex", datagram]
        _, received, replies = self.ask(*args)
        self.assertEqual(replies, [], received)
        _, received, replies = self.ask("--send-hex", REQUEST.hex())
        self.assertEqual(len(replies), 1, received)

    def test_a_second_server_on_the_same_computer_exits_with_1_and_says_why(self):
        second = self.bed.run("SERVER", [binary("CORVANE_SERVER")], timeout=30)
        self.assertEqual(second.returncode, 1)
        self.assertIn("Cannot create a file when that file already exists", second.stderr)


if __name__ == "__main__":
    unittest.main()
