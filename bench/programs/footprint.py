"""Footprint: each program's resident memory after start and after a stretch of idling, and the
CPU time it used meanwhile.

The programs run as deployed: corvane-server on one computer, corvane-client with its default
settings (a request a minute) on another, nothing else on the network.
"""

import os
import time

from bench_testbed import (ClientFolder, TestBed, collect_output, cpu_seconds, machine,
                           parse_build_argument, resident_kib, spawn_client, spawn_server)

TARGET_PERCENT = 0.1


def options(parser):
    parser.add_argument("--minutes", type=float, default=10, help="length of the idle stretch")


def main():
    args = parse_build_argument("footprint", options)
    print(f"footprint: corvane-server and corvane-client (interval 60 s) idle for "
          f"{args.minutes:g} min, on {machine()}", flush=True)
    folder = ClientFolder("IDLE", 60000)
    try:
        with TestBed(["SERVER", "IDLE"]) as bed:
            programs = {"corvane-server": spawn_server(bed, "SERVER"),
                        "corvane-client": spawn_client(bed, "IDLE", folder)}
            for process in programs.values():
                collect_output(process)
            # Start-up is over once the window is hidden and the first polls have run.
            time.sleep(5)
            start = {name: (resident_kib(p.pid), cpu_seconds(p.pid), time.monotonic())
                     for name, p in programs.items()}
            time.sleep(args.minutes * 60)
            ok = True
            for name, process in programs.items():
                if process.poll() is not None:
                    print(f"{name} ended during the run")
                    ok = False
                    continue
                rss, cpu, at = start[name]
                rss_end = resident_kib(process.pid)
                percent = 100 * (cpu_seconds(process.pid) - cpu) / (time.monotonic() - at)
                ok = ok and percent < TARGET_PERCENT and rss_end <= rss + 256
                print(f"{name}: resident memory {rss} KiB after start, {rss_end} KiB after "
                      f"{args.minutes:g} idle min ({rss_end - rss:+d} KiB); CPU "
                      f"{percent:.3f} % of one core (target under {TARGET_PERCENT} %)")
    finally:
        folder.remove()
    print(f"footprint: {'OK' if ok else 'SHORT OF TARGET'}")
    return 0 if ok else 1


if __name__ == "__main__":
    raise SystemExit(main())
