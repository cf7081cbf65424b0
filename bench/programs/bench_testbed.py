"""What the program benchmarks share: the built binaries, the test bed of the program tests (its
programs, clients with recorded clock settings, listeners), and readings of a process's memory and
CPU time.

The programs run only inside the test bed, without the right to set the clock; a client's clock
settings go to a preloaded library that records them and never applies them.
"""

import argparse
import math
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "programs"))
from corvane_testbed import (TestBed, parse_peer_output, reply_time,  # noqa: E402,F401
                             start_client, start_listener, start_server)


def parse_build_argument(description, add_arguments=None, load_generator=False):
    """Parses --build (the build folder) and points the environment at its binaries."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--build", default=os.path.join(HERE, "..", "..", "build"),
                        help="build folder with the programs (default: build)")
    if add_arguments:
        add_arguments(parser)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    binaries = {
        "CORVANE_SERVER": os.path.join(build, "server", "corvane-server"),
        "CORVANE_CLIENT": os.path.join(build, "client", "corvane-client"),
        "CORVANE_PEER": os.path.join(build, "tools", "timeslot-peer", "timeslot-peer"),
        "CORVANE_FAKECLOCK": os.path.join(build, "tests", "fakeclock",
                                          "libcorvane_fakeclock.so"),
    }
    if load_generator:
        binaries["CORVANE_LOAD"] = os.path.join(build, "bench", "capacity", "timeslot-load")
    for name, path in binaries.items():
        if not os.path.exists(path):
            sys.exit(f"{description}: {path} is missing; build first (cmake --build {build})")
        os.environ[name] = path
    args.build = build
    return args


def new_folder(name):
    """A working folder for a client; the caller removes it (shutil.rmtree)."""
    return tempfile.mkdtemp(prefix=f"corvane-bench-{name}-")


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError(f"process {pid} shows no resident memory")


def cpu_seconds(pid):
    """CPU time the process's threads have run so far, to the nanosecond (the scheduler's own
    account, finer than the clock ticks of /proc/PID/stat)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
                total += int(schedstat.read().split()[0])
        except FileNotFoundError:
            continue  # the thread ended meanwhile
    return total / 1e9


def percentile(values, fraction):
    """The nearest-rank percentile of values (fraction 0.5 is the median)."""
    ordered = sorted(values)
    if not ordered:
        return float("nan")
    rank = max(1, math.ceil(fraction * len(ordered)))
    return ordered[min(rank, len(ordered)) - 1]


def machine():
    """One line on the machine the figures come from."""
    model = "unknown processor"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as meminfo:
        total_kib = int(meminfo.readline().split()[1])
    return (f"{os.cpu_count()} cores ({model}), {total_kib / 1024 / 1024:.0f} GiB, "
            f"Linux {os.uname().release}")
