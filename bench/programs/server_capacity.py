"""Server capacity: bursts of N time requests, each from a terminal of its own, sent within one
polling interval to a real corvane-server on another computer of the test bed.

Prints, per N, the replies received over the requests sent and the time from the start of the
burst to the last reply.
"""

import os
import re

from bench_testbed import TestBed, machine, parse_build_argument, resident_kib, start_server

SENT = re.compile(r"^sent (\d+) in ([\d.]+) ms$", re.M)
REPLIES = re.compile(r"^replies (\d+) from (\d+) servers; last reply ([\d.]+) ms", re.M)


def options(parser):
    parser.add_argument("--counts", default="100,1000,10000",
                        help="burst sizes, separated by commas")


def main():
    args = parse_build_argument("server_capacity", options, load_generator=True)
    counts = [int(c) for c in args.counts.split(",")]
    print(f"server capacity: bursts of requests from distinct terminals to corvane-server on "
          f"another computer, on {machine()}", flush=True)
    ok = True
    with TestBed(["SERVER", "LOAD"]) as bed:
        server = start_server(bed, "SERVER")
        # The first request is answered once the server has finished starting: wait for it.
        warm_up = bed.run("LOAD", [os.environ["CORVANE_LOAD"], "1", "15000"], timeout=60)
        if not REPLIES.search(warm_up.stdout) or REPLIES.search(warm_up.stdout)[1] != "1":
            raise SystemExit(f"server capacity: the server does not answer: {warm_up.stdout}"
                             f"{warm_up.stderr}")
        before = resident_kib(server.process.pid)
        for count in counts:
            run = bed.run("LOAD", [os.environ["CORVANE_LOAD"], str(count)], timeout=600)
            sent, replies = SENT.search(run.stdout), REPLIES.search(run.stdout)
            if run.returncode != 0 or not sent or not replies:
                print(f"N={count}: the load generator failed: {run.stdout}{run.stderr}")
                ok = False
                continue
            answered = int(replies[1])
            ok = ok and answered == count and int(replies[2]) == 1
            print(f"N={count:>6}: replies {answered}/{count} ({100.0 * answered / count:.1f} %), "
                  f"burst sent in {float(sent[2]):.1f} ms, last reply "
                  f"{float(replies[3]):.1f} ms after the burst began", flush=True)
        if not server.running():
            print("the server ended during the bursts")
            ok = False
        else:
            print(f"server resident memory: {before} KiB before the bursts, "
                  f"{resident_kib(server.process.pid)} KiB after")
    print(f"server capacity: {'OK' if ok else 'SHORT OF TARGET'}")
    return 0 if ok else 1


if __name__ == "__main__":
    raise SystemExit(main())
