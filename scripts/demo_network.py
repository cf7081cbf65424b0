"""Runs corvane-server and two corvane-clients on a simulated network and narrates what they do."""

import argparse
import datetime
import os
import struct
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "programs"))
from corvane_testbed import RECV, TestBed, reply_time  # noqa: E402

INTERVAL_MS = 5000
RUN_SECONDS = 32


def utc(seconds):
    return datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc).strftime(
        "%H:%M:%S.%f")[:-3]


class Narrator:
    def __init__(self):
        self.lock = threading.Lock()
        self.started = time.time()

    def say(self, text):
        with self.lock:
            print(f"[{time.time() - self.started:5.1f}s] {text}", flush=True)


def watch_traffic(process, narrator, counts):
    for line in process.stdout:
        match = RECV.match(line.strip())
        if not match:
            continue
        sender, size, payload = match[1], int(match[2]), bytes.fromhex(match[4])
        if size == 10 and payload.startswith(b"GIVE ZEIT"):
            counts["requests"] += 1
            narrator.say(f"request  from terminal {sender}: \"GIVE ZEIT\"")
        elif size == 17:
            counts["replies"] += 1
            narrator.say(f"reply    from terminal {sender}: server's UTC time "
                         f"{utc(reply_time(payload))}")


def follow_clock_log(name, path, narrator, differences, stop):
    offset = 0
    while not stop.is_set():
        time.sleep(0.1)
        if not os.path.exists(path):
            continue
        with open(path) as log:
            log.seek(offset)
            for line in log:
                words = line.split()
                if len(words) == 4 and words[2] == "wall":
                    attempted, wall = float(words[1]), float(words[3])
                    differences[name].append(attempted - wall)
                    narrator.say(f"{name:<6}   set its clock to {utc(attempted)} UTC "
                                 f"({attempted - wall:+.3f} s from the real clock; "
                                 f"not applied: observed only)")
            offset = log.tell()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    os.environ["CORVANE_SERVER"] = os.path.join(build, "server", "corvane-server")
    os.environ["CORVANE_CLIENT"] = os.path.join(build, "client", "corvane-client")
    os.environ["CORVANE_PEER"] = os.path.join(build, "tools", "timeslot-peer", "timeslot-peer")
    fakeclock = os.path.join(build, "tests", "fakeclock", "libcorvane_fakeclock.so")

    narrator = Narrator()
    clients = ["ALPHA", "BRAVO"]
    differences = {name: [] for name in clients}
    counts = {"requests": 0, "replies": 0}
    stop = threading.Event()
    folders = {}
    print(f"demo: a network of four computers: REFERENCE runs corvane-server, "
          f"{' and '.join(clients)} run corvane-client (interval {INTERVAL_MS / 1000:g} s), "
          f"WATCH listens to the mailslot TimeTerminal.")
    with TestBed(["REFERENCE", *clients, "WATCH"]) as bed:
        watcher = bed.spawn("WATCH", [os.environ["CORVANE_PEER"], "--listen",
                                      str((RUN_SECONDS + 5) * 1000)])
        threading.Thread(target=watch_traffic, args=(watcher, narrator, counts),
                         daemon=True).start()
        bed.spawn("REFERENCE", [os.environ["CORVANE_SERVER"]])
        bed.wait_until_held("REFERENCE")
        narrator.say("REFERENCE: corvane-server started")
        for name in clients:
            folder = tempfile.mkdtemp(prefix=f"corvane-demo-{name}-")
            folders[name] = folder
            with open(os.path.join(folder, "Velnaro.inf"), "wb") as settings:
                settings.write(struct.pack("<Ii", 0, INTERVAL_MS))
            log = os.path.join(folder, "clock.log")
            bed.spawn(name, [os.environ["CORVANE_CLIENT"]], cwd=folder,
                      env={"LD_PRELOAD": fakeclock, "CORVANE_FAKECLOCK_LOG": log})
            bed.wait_until_held(name)
            narrator.say(f"{name}: corvane-client started")
            threading.Thread(target=follow_clock_log,
                             args=(name, log, narrator, differences, stop),
                             daemon=True).start()
        time.sleep(RUN_SECONDS)
        stop.set()
        time.sleep(0.3)
    for folder in folders.values():
        for entry in os.listdir(folder):
            os.remove(os.path.join(folder, entry))
        os.rmdir(folder)
    worst = max((abs(d) for ds in differences.values() for d in ds), default=float("nan"))
    syncs = ", ".join(f"{name} {len(ds)}" for name, ds in differences.items())
    ok = all(len(ds) >= 3 for ds in differences.values()) and worst < 1.0
    print(f"demo: {'OK' if ok else 'FAILED'}: {counts['requests']} requests, "
          f"{counts['replies']} replies, clock settings {syncs}, largest difference "
          f"{worst:.3f} s; the real clock was never changed")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
