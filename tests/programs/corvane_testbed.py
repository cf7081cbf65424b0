"""A small network of computers for tests: network namespaces on a bridge, one program each.

Everything started here runs inside the test bed, without the right to set the clock.
"""

import calendar
import os
import re
import struct
import subprocess
import time
import uuid
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
NETNS_LAN = os.path.join(HERE, "..", "testbed", "netns-lan.sh")

REQUEST = b"GIVE ZEIT\0"


def binary(env_name):
    path = os.environ.get(env_name)
    if not path or not os.path.exists(path):
        raise RuntimeError(f"{env_name} does not name a built binary: {path!r}")
    return path


class TestBed:
    def __init__(self, names):
        self.tag = "t" + uuid.uuid4().hex[:6]
        self.names = names
        self.processes = []

    def __enter__(self):
        subprocess.run([NETNS_LAN, "up", self.tag, *self.names], check=True)
        return self

    def __exit__(self, *exc):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait()
            for stream in (process.stdout, process.stderr):
                if stream:
                    stream.close()
        subprocess.run([NETNS_LAN, "down", self.tag], check=False)

    def command(self, name, argv):
        return [NETNS_LAN, "exec", self.tag, name, *argv]

    def spawn(self, name, argv, env=None, cwd=None):
        full_env = dict(os.environ, QT_QPA_PLATFORM="offscreen", **(env or {}))
        process = subprocess.Popen(self.command(name, argv), env=full_env, cwd=cwd,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.processes.append(process)
        return process

    def run(self, name, argv, timeout=30, env=None, cwd=None):
        full_env = dict(os.environ, QT_QPA_PLATFORM="offscreen", **(env or {}))
        return subprocess.run(self.command(name, argv), env=full_env, cwd=cwd, timeout=timeout,
                              capture_output=True, text=True)

    def wait_until_held(self, name, timeout=15):
        """Waits until a program on computer name holds the mailslot TimeTerminal.

        Looks for the holder's socket rather than trying to hold the name, which could take it
        from a program that is still starting.
        """
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            probe = self.run(name, ["grep", "-q", "@corvane-mailslot/timeterminal$",
                                    "/proc/net/unix"])
            if probe.returncode == 0:
                return
            time.sleep(0.1)
        raise AssertionError(f"nothing holds TimeTerminal on {name} after {timeout} s")


@dataclass
class Received:
    sender: int
    size: int
    at: float
    payload: bytes


RECV = re.compile(r"^recv sender=([0-9a-f]{8}) size=(\d+) at=([\d.]+) hex=([0-9a-f]*)$")


def parse_peer_output(stdout):
    """The peer's own terminal id and what it received."""
    own_id = None
    received = []
    for line in stdout.splitlines():
        if line.startswith("id "):
            own_id = int(line[3:], 16)
        match = RECV.match(line)
        if match:
            received.append(Received(int(match[1], 16), int(match[2]), float(match[3]),
                                     bytes.fromhex(match[4])))
    return own_id, received


def framed(sender_id, sequence, payload):
    return struct.pack("<Ii", sender_id, sequence) + payload


def reply_time(payload):
    """Seconds since the epoch of the SYSTEMTIME at the start of a reply."""
    year, month, _, day, hour, minute, second, ms = struct.unpack("<8H", payload[:16])
    return calendar.timegm((year, month, day, hour, minute, second)) + ms / 1000.0
