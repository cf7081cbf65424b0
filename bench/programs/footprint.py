"""Footprint: each program's resident memory after start and after a stretch of idling, and the
CPU time it used meanwhile.

The programs run as deployed: corvane-server on one computer, corvane-client with its default
settings (a request a minute) on another, nothing else on the network.
"""

import shutil
import time

from bench_testbed import (TestBed, cpu_seconds, machine, new_folder, parse_build_argument,
                           resident_kib, start_client, start_server)

TARGET_PERCENT = 0.1


def options(parser):
    parser.add_argument("--minutes", type=float, default=10, help="length of the idle stretch")


def main():
    args = parse_build_argument("footprint", options)
    print(f"footprint: corvane-server and corvane-client (interval 60 s) idle for "
          f"{args.minutes:g} min, on {machine()}", flush=True)
    folder = new_folder("IDLE")
    try:
        with TestBed(["SERVER", "IDLE"]) as bed:
            programs = {"corvane-server": start_server(bed, "SERVER"),
                        "corvane-client": start_client(bed, "IDLE", 60000, folder)}
            # Start-up is over once the window is hidden and the first polls have run.
            time.sleep(5)
            start = {name: (resident_kib(p.process.pid), cpu_seconds(p.process.pid),
                            time.monotonic()) for name, p in programs.items()}
            time.sleep(args.minutes * 60)
            ok = True
            for name, program in programs.items():
                if not program.running():
                    print(f"{name} ended during the run")
                    ok = False
                    continue
                rss, cpu, at = start[name]
                rss_end = resident_kib(program.process.pid)
                percent = 100 * (cpu_seconds(program.process.pid) - cpu) / (time.monotonic() - at)
                ok = ok and percent < TARGET_PERCENT and rss_end <= rss + 256
                print(f"{name}: resident memory {rss} KiB after start, {rss_end} KiB after "
                      f"{args.minutes:g} idle min ({rss_end - rss:+d} KiB); CPU "
                      f"{percent:.3f} % of one core (target under {TARGET_PERCENT} %)")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"footprint: {'OK' if ok else 'SHORT OF TARGET'}")
    return 0 if ok else 1


if __name__ == "__main__":
    raise SystemExit(main())
