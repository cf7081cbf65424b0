"""A small network of computers for tests: network namespaces on a bridge, one program each.

Everything started here runs inside the test bed, without the right to set the clock.
"""

import calendar
import os
import re
import struct
import subprocess
import tempfile
import threading
import time
import uuid
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
NETNS_LAN = os.path.join(HERE, "..", "testbed", "netns-lan.sh")

REQUEST = b"GIVE ZEIT\0"
SETTINGS = "Velnaro.inf"
# Longer than any test or benchmark: a listener is stopped by whoever started it, not by its own
# time running out.
LISTEN_UNTIL_STOPPED_MS = 86_400_000


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
        self.programs = []

    def __enter__(self):
        subprocess.run([NETNS_LAN, "up", self.tag, *self.names], check=True)
        return self

    def __exit__(self, *exc):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait()
        for program in self.programs:
            program.finish_reading()
        for process in self.processes:
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

    def start(self, name, argv, env=None, cwd=None):
        """Like spawn, with the program's output read as it comes (see Program)."""
        program = Program(self.spawn(name, argv, env=env, cwd=cwd))
        self.programs.append(program)
        return program

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

    def set_link(self, name, state):
        """Takes the computer's network interface "down" or brings it "up"."""
        subprocess.run(["ip", "-n", f"cvlan-{self.tag}-{name}", "link", "set", "eth0", state],
                       check=True)

    def address(self, name):
        return subprocess.run([NETNS_LAN, "addr", self.tag, name], check=True,
                              capture_output=True, text=True).stdout.strip()


class Program:
    """A program running on the test bed whose output is read as it comes, so that it never
    blocks on a full pipe and a test can look at what it has written so far."""

    def __init__(self, process):
        self.process = process
        self.output = []
        self.errors = []
        self.readers = [threading.Thread(target=self.read, args=(stream, lines), daemon=True)
                        for stream, lines in ((process.stdout, self.output),
                                              (process.stderr, self.errors))]
        for reader in self.readers:
            reader.start()

    @staticmethod
    def read(stream, lines):
        for line in stream:
            lines.append(line.rstrip("\n"))

    def running(self):
        return self.process.poll() is None

    def stop(self):
        """Ends the program at once and returns when all it wrote has been read."""
        if self.running():
            self.process.kill()
        self.process.wait()
        self.finish_reading()

    def finish_reading(self):
        for reader in self.readers:
            reader.join(timeout=10)

    def error_output(self):
        return "\n".join(self.errors)


def wait_for(condition, timeout):
    """Whether condition() came true within timeout seconds."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def start_server(bed, name):
    server = bed.start(name, [binary("CORVANE_SERVER")])
    bed.wait_until_held(name)
    return server


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


class Client(Program):
    """A corvane-client whose clock settings are recorded in the log file in its folder."""

    def __init__(self, process, folder, log):
        super().__init__(process)
        self.folder = folder
        self.log = log

    def attempts(self):
        return clock_attempts(self.log)


def start_client(bed, name, interval=None, folder=None):
    """Starts a client in folder (a new one when none is given), with a settings file holding
    interval when one is given, and waits until it holds TimeTerminal."""
    if folder is None:
        folder = tempfile.mkdtemp(prefix=f"corvane-{name}-")
    if interval is not None:
        write_settings(folder, interval)
    log = os.path.join(folder, "clock.log")
    process = bed.spawn(name, [binary("CORVANE_CLIENT")], cwd=folder,
                        env={"LD_PRELOAD": binary("CORVANE_FAKECLOCK"),
                             "CORVANE_FAKECLOCK_LOG": log,
                             # A sanitizer build wants its runtime first; the observing library
                             # comes before it and is fine there.
                             "ASAN_OPTIONS": "verify_asan_link_order=0"})
    client = Client(process, folder, log)
    bed.programs.append(client)
    bed.wait_until_held(name)
    return client


class Listener(Program):
    """A test peer on TimeTerminal that reports everything it receives until it is stopped."""

    def received(self):
        """The peer's own terminal id and what it has received so far."""
        return parse_peer_output("\n".join(list(self.output)))


def start_listener(bed, name, interval_ms=None):
    """Starts a listener, polling every interval_ms (the peer's default when none is given)."""
    polling = [] if interval_ms is None else ["--interval", str(interval_ms)]
    listener = Listener(bed.spawn(name, [binary("CORVANE_PEER"), *polling, "--listen",
                                         str(LISTEN_UNTIL_STOPPED_MS)]))
    bed.programs.append(listener)
    bed.wait_until_held(name)
    return listener


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
