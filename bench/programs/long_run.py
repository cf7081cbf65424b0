"""Long run: corvane-server and two corvane-clients at a one-second interval for an hour.

Prints the requests the clients sent, the replies the server gave, the clock settings each client
attempted, and the resident memory of each program over the run. A reply is lost when a request
sent while the server ran got none; a synchronisation is missed when a client did not attempt a
clock setting for a reply.
"""

import shutil
import signal
import time

from bench_testbed import (TestBed, machine, new_folder, parse_build_argument, resident_kib,
                           start_client, start_listener, start_server)

CLIENTS = ["ALPHA", "BRAVO"]


def options(parser):
    parser.add_argument("--minutes", type=float, default=60, help="length of the run")
    parser.add_argument("--interval-ms", type=int, default=1000, help="the clients' interval")


def main():
    args = parse_build_argument("long_run", options)
    seconds = args.minutes * 60
    print(f"long run: server and {len(CLIENTS)} clients at {args.interval_ms} ms for "
          f"{args.minutes:g} min on {machine()}", flush=True)
    folders = {name: new_folder(name) for name in CLIENTS}
    memory = {}
    try:
        with TestBed(["SERVER", *CLIENTS, "WATCH"]) as bed:
            watch = start_listener(bed, "WATCH")
            programs = {"server": start_server(bed, "SERVER")}
            for name in CLIENTS:
                programs[name] = start_client(bed, name, args.interval_ms, folders[name])
            # What the programs say while they start (about the desktop) is not a fault.
            time.sleep(5)
            start_up_lines = {name: len(program.errors) for name, program in programs.items()}
            started = time.monotonic()
            next_sample = started + 60
            while time.monotonic() - started < seconds:
                time.sleep(1)
                for name, program in programs.items():
                    if not program.running():
                        program.stop()
                        raise SystemExit(f"long run: {name} ended early: "
                                         f"{program.error_output()}")
                if time.monotonic() >= next_sample:
                    for name, program in programs.items():
                        memory.setdefault(name, []).append(resident_kib(program.process.pid))
                    next_sample += 60
            # The server goes first: every reply it gave reaches the clients before they stop.
            server_stopped = time.time()
            programs["server"].process.send_signal(signal.SIGTERM)
            programs["server"].process.wait(timeout=10)
            time.sleep(2)
            attempts = {name: programs[name].attempts() for name in CLIENTS}
            _, received = watch.received()
    finally:
        for folder in folders.values():
            shutil.rmtree(folder, ignore_errors=True)

    requests = [(r.at, r.sender) for r in received if r.size == 10]
    replies = sum(1 for r in received if r.size == 17)
    # A request that reached the server's mailslot after its last poll has no reply by design.
    answerable = [r for r in requests if r[0] < server_stopped - 0.5]
    lost = max(0, len(answerable) - replies)
    per_client = sorted({sender for _, sender in requests})
    print(f"requests sent by the clients: {len(requests)} "
          f"({', '.join(str(sum(1 for _, s in requests if s == c)) for c in per_client)}"
          f" from {len(per_client)} terminals)")
    print(f"replies: {replies} for {len(answerable)} requests sent while the server ran; "
          f"lost: {lost}")
    missed = {}
    for name in CLIENTS:
        missed[name] = replies - len(attempts[name])
        worst = max((abs(a - w) for a, w in attempts[name]), default=float("nan"))
        print(f"{name}: {len(attempts[name])} clock settings for {replies} replies "
              f"(missed {missed[name]}), largest difference from the real clock {worst:.3f} s")
    grew = False
    for name, samples in memory.items():
        if not samples:
            continue
        growth = samples[-1] - samples[0]
        grew = grew or growth > 256
        print(f"{name}: resident memory {samples[0]} KiB after 1 min, {samples[-1]} KiB at the "
              f"end, largest {max(samples)} KiB (growth {growth:+d} KiB over {len(samples)} "
              f"samples)")
    for name, program in programs.items():
        for line in program.errors[start_up_lines[name]:]:
            print(f"{name} said: {line}")
    ok = lost == 0 and all(m == 0 for m in missed.values()) and not grew
    print(f"long run: {'OK' if ok else 'SHORT OF TARGET'}")
    return 0 if ok else 1


if __name__ == "__main__":
    raise SystemExit(main())
