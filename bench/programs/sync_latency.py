"""Sync latency and error: a real corvane-client synchronising from a real corvane-server on the
test bed, a few hundred times.

A watching computer hears each request and each reply the moment they are on the network; the
client's clock settings are recorded (never applied) with the real clock at the moment of each
attempt. Per request: the time to the server's reply (server hop), from the reply to the client's
clock-setting attempt (client hop), the whole, and the attempted time's difference from the real
clock. Each hop waits for the receiver's next poll (every 250 ms), so the design's bound for the
whole is 2 x 250 ms plus the network.

Then the layers' own cost per hop: a peer sends to a peer that polls every millisecond, and each
message's time from the send call to its delivery event is measured (so it includes a wait of up
to a millisecond for the poll).
"""

import bisect
import json
import os
import shutil
import time

from bench_testbed import (TestBed, machine, new_folder, parse_build_argument, parse_peer_output,
                           percentile, reply_time, start_client, start_listener, start_server)

POLL_BOUND_MS = 2 * 250
# How much later than the server the watcher may take a request in, being busy itself.
WATCHER_SLACK = 0.02
SENT_AT = "sent "


def options(parser):
    parser.add_argument("--requests", type=int, default=300, help="synchronisations to measure")
    parser.add_argument("--interval-ms", type=int, default=1000, help="the client's interval")
    parser.add_argument("--hops", type=int, default=300, help="messages for the layers' cost")
    parser.add_argument("--data", help="file to write the samples to, as JSON")


def synchronisations(bed, args):
    folder = new_folder("ALPHA")
    try:
        # Polling every millisecond, the watcher sees each datagram as it arrives.
        watch = start_listener(bed, "WATCH", interval_ms=1)
        start_server(bed, "SERVER")
        client = start_client(bed, "ALPHA", args.interval_ms, folder)
        deadline = time.monotonic() + (args.requests + 30) * args.interval_ms / 1000 * 2
        while len(client.attempts()) < args.requests + 2:
            if time.monotonic() > deadline:
                raise SystemExit("sync latency: the client does not synchronise")
            time.sleep(1)
        attempts = client.attempts()
        _, received = watch.received()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    # Requests by their arrival; replies by the server's time they carry, which is also what the
    # client tries to set its clock to.
    requests = [r.at for r in received if r.size == 10]
    replies = [reply_time(r.payload) for r in received if r.size == 17]
    # Each reply answers the last request that arrived before the server read it; each clock
    # setting carries the time of the reply it came from.
    by_time = {round(attempted * 1000): (attempted, wall) for attempted, wall in attempts}
    samples = []
    for served in replies:
        at = bisect.bisect_right(requests, served + WATCHER_SLACK) - 1
        attempt = by_time.get(round(served * 1000))
        if at < 0 or attempt is None:
            continue
        attempted, wall = attempt
        samples.append({"server_ms": (served - requests[at]) * 1000,
                        "client_ms": (wall - served) * 1000,
                        "error_ms": (attempted - wall) * 1000})
    # The first reply may answer a request the watcher did not hear yet.
    return samples[1:args.requests + 1]


def layer_hops(bed, args):
    """Milliseconds from each send call to the delivery event on a peer polling every ms."""
    receiver = bed.spawn("WATCH", [os.environ["CORVANE_PEER"], "--name", "HopBench",
                                   "--interval", "1", "--listen", "100000000"])
    if not receiver.stdout.readline().startswith("id "):
        raise SystemExit("hop measurement: the receiving peer did not start")
    sender = bed.run("SERVER", [os.environ["CORVANE_PEER"], "--name", "HopBench",
                                "--send-text", "hop", "--repeat", str(args.hops), "--gap", "50",
                                "--send-delay", "1000",
                                "--listen", "500"], timeout=args.hops / 10 + 60)
    sent = [float(line.split("at=")[1]) for line in sender.stdout.splitlines()
            if line.startswith(SENT_AT)]
    time.sleep(0.5)
    receiver.kill()
    _, received = parse_peer_output(receiver.stdout.read())
    arrivals = [r.at for r in received if r.payload == b"hop"]
    if len(sent) != args.hops or len(arrivals) != len(sent):
        raise SystemExit(f"hop measurement: {len(sent)} sent, {len(arrivals)} delivered")
    return [(arrival - send) * 1000 for send, arrival in zip(sent, arrivals)]


def describe(values):
    return (f"median {percentile(values, 0.5):.1f}, 99th percentile "
            f"{percentile(values, 0.99):.1f}, maximum {max(values):.1f}")


def main():
    args = parse_build_argument("sync_latency", options)
    print(f"sync latency: {args.requests} synchronisations of corvane-client from corvane-server "
          f"at a {args.interval_ms} ms interval, on {machine()}", flush=True)
    with TestBed(["SERVER", "ALPHA", "WATCH"]) as bed:
        samples = synchronisations(bed, args)
    with TestBed(["SERVER", "WATCH"]) as bed:
        hops = layer_hops(bed, args)
    whole = [s["server_ms"] + s["client_ms"] for s in samples]
    errors = [abs(s["error_ms"]) for s in samples]
    print(f"request to clock-setting attempt (ms): {describe(whole)}; "
          f"bound {POLL_BOUND_MS} ms plus the network")
    print(f"  server hop, request to reply (ms): {describe([s['server_ms'] for s in samples])}")
    print(f"  client hop, reply to attempt (ms): {describe([s['client_ms'] for s in samples])}")
    print(f"attempted time's difference from the real clock (ms): {describe(errors)}")
    print(f"layers' own cost per hop, send call to delivery with a 1 ms poll (ms): "
          f"{describe(hops)}, over {len(hops)} messages")
    if args.data:
        with open(args.data, "w") as data:
            json.dump({"synchronisations": samples, "hops_ms": hops}, data)
    ok = (len(samples) == args.requests and percentile(whole, 0.99) <= POLL_BOUND_MS + 10
          and percentile(hops, 0.5) < 1.0)
    print(f"sync latency: {'OK' if ok else 'SHORT OF TARGET'}")
    return 0 if ok else 1


if __name__ == "__main__":
    raise SystemExit(main())
