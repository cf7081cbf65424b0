"""Two computers exchange framed payloads over one mailslot name through the test peer."""

import unittest

from corvane_testbed import TestBed, binary, parse_peer_output


class PeersOnTheNetwork(unittest.TestCase):
    def test_payloads_cross_in_both_directions_each_reported_once_with_id_and_size(self):
        with TestBed(["LEFT", "RIGHT"]) as bed:
            peer = binary("CORVANE_PEER")
            left = bed.spawn("LEFT", [peer, "--send-text", "from the left", "--send-delay", "1500",
                                      "--listen", "2500"])
            right = bed.spawn("RIGHT", [peer, "--send-text", "the right answers, a bit longer",
                                        "--send-delay", "1500", "--listen", "2500"])
            outputs = {}
            for name, process in (("LEFT", left), ("RIGHT", right)):
                stdout, stderr = process.communicate(timeout=30)
                self.assertEqual(process.returncode, 0, stderr)
                outputs[name] = parse_peer_output(stdout)
            (left_id, left_seen), (right_id, right_seen) = outputs["LEFT"], outputs["RIGHT"]
            self.assertNotEqual(left_id, right_id)
            for own_id, other_id, seen, own_text, other_text in (
                    (left_id, right_id, left_seen, b"from the left",
                     b"the right answers, a bit longer"),
                    (right_id, left_id, right_seen, b"the right answers, a bit longer",
                     b"from the left")):
                from_other = [r for r in seen if r.sender == other_id]
                from_self = [r for r in seen if r.sender == own_id]
                self.assertEqual([(r.size, r.payload) for r in from_other],
                                 [(len(other_text), other_text)])
                self.assertEqual([r.payload for r in from_self], [own_text])


if __name__ == "__main__":
    unittest.main()
