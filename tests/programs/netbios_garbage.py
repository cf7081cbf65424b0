"""Garbage for the mailslot layer: NetBIOS datagrams that it must drop, and well-formed writes to
TimeTerminal whose payloads are no time reply.

Run on a computer of a test bed, it sends a mix of them to UDP port 138 of each address given, in
turn, for the given number of seconds, and prints how many of each kind it sent. The writes go to
the domain and to the computer named SERVER:

    python3 netbios_garbage.py SECONDS SEED SERVER ADDRESS...
"""

import calendar
import random
import socket
import struct
import sys
import time

DATAGRAM_PORT = 138
DOMAIN = "WORKGROUP"
SLOT = "\\MAILSLOT\\TimeTerminal"
REQUEST = b"GIVE ZEIT\0"
# Datagrams a second: enough to keep the receivers busy, not so many that a reply waits behind
# a backlog of garbage for longer than the clock may be off.
RATE = 1000

DIRECT_UNIQUE = 0x10
DIRECT_GROUP = 0x11
FIRST_FRAGMENT = 0x02
MORE_FRAGMENTS = 0x01
# Any address will do: receivers know the sender by the datagram's UDP source.
SOURCE_ADDRESS = 0x0A4D0000

# The last second the kernel lets the clock be set to.
LAST_SETTABLE_SECOND = 9223372036 - 946080000


def encode_name(name, suffix=0, scope=b""):
    raw = name.upper().encode("ascii").ljust(15, b" ") + bytes([suffix])
    letters = bytes(ord("A") + nibble for byte in raw for nibble in (byte >> 4, byte & 0x0F))
    return bytes([32]) + letters + scope + b"\0"


def smb_mailslot_write(data, slot=SLOT, command=0x25, opcode=1, klass=2, magic=b"\xffSMB",
                       total_data=None, data_offset=None, byte_count=None):
    name = slot.encode("latin-1") + b"\0"
    fixed = bytearray(69)
    fixed[0:4] = magic
    fixed[4] = command
    fixed[9] = 0x18
    struct.pack_into("<H", fixed, 10, 0x0004)
    struct.pack_into("<H", fixed, 26, 0xFEFF)
    fixed[32] = 17
    struct.pack_into("<H", fixed, 35, len(data) if total_data is None else total_data)
    struct.pack_into("<H", fixed, 55, len(data))
    struct.pack_into("<H", fixed, 57, 69 + len(name) if data_offset is None else data_offset)
    fixed[59] = 3
    struct.pack_into("<H", fixed, 61, opcode)
    struct.pack_into("<H", fixed, 65, klass)
    struct.pack_into("<H", fixed, 67, len(name) + len(data) if byte_count is None else byte_count)
    return bytes(fixed) + name + data


def datagram(user_data, destination=DOMAIN, kind=DIRECT_GROUP, flags=FIRST_FRAGMENT, offset=0,
             length=None, source="FLOOD", destination_name=None):
    names = encode_name(source) + (destination_name or encode_name(destination))
    body = names + user_data
    header = struct.pack(">BBHIHHH", kind, flags, 0x4321, SOURCE_ADDRESS, DATAGRAM_PORT,
                         len(body) if length is None else length, offset)
    return header + body


def framed(payload, rng):
    return struct.pack("<Ii", rng.getrandbits(32), rng.randrange(-2**31, 2**31)) + payload


def system_time(year, month, day, hour=0, minute=0, second=0, ms=0, weekday=0):
    return struct.pack("<8H", year, month, weekday, day, hour, minute, second, ms)


def settable_time(payload):
    """The time a client would set its clock to from this payload, or None when the clock
    cannot be set from it (too short, a field out of range, or out of the kernel's range)."""
    if len(payload) < 16:
        return None
    year, month, _, day, hour, minute, second, ms = struct.unpack("<8H", payload[:16])
    if not (1601 <= year <= 30827 and 1 <= month <= 12 and hour <= 23 and minute <= 59
            and second <= 59 and ms <= 999):
        return None
    if not 1 <= day <= calendar.monthrange(year, month)[1]:
        return None
    if year > 9999:
        return None  # valid, but long past the kernel's last second, and the calendar's
    seconds = calendar.timegm((year, month, day, hour, minute, second)) + ms / 1000.0
    return seconds if 0 <= seconds < LAST_SETTABLE_SECOND else None


# A valid time reply, years off the real clock: the carrier of every datagram below that the
# mailslot layer must drop, so that a carrier let through shows as a wrong clock setting.
POISON = system_time(2001, 2, 3, 4, 5, 6) + b"\0"

# Records no client can set its clock from: fields out of range, and valid records outside the
# time the kernel's clock can hold.
NO_TIMES = [
    system_time(2024, 0, 10), system_time(2024, 13, 10), system_time(2024, 5, 0),
    system_time(2024, 5, 32), system_time(2025, 2, 29), system_time(2024, 2, 30),
    system_time(2024, 4, 31), system_time(2024, 5, 10, 24), system_time(2024, 5, 10, 1, 60),
    system_time(2024, 5, 10, 1, 2, 60), system_time(2024, 5, 10, 1, 2, 3, 1000),
    system_time(1600, 12, 31), system_time(30828, 1, 1), system_time(0xFFFF, 0xFFFF, 0xFFFF),
    bytes(16), system_time(1601, 1, 1), system_time(1969, 12, 31, 23, 59, 59, 999),
    system_time(2300, 1, 1), system_time(30827, 12, 31, 23, 59, 59, 999),
]


def dropped_by_the_mailslot_layer(rng):
    """Datagrams that are no mailslot write to TimeTerminal on this domain, each made from a
    well-formed one by breaking one thing."""
    data = framed(POISON, rng)
    good = datagram(smb_mailslot_write(data))
    cut = rng.randrange(1, len(good))
    # Cut short with a length field that says so.
    short = rng.randrange(14, len(good))
    return rng.choice([
        ("truncated", good[:cut]),
        ("truncated", good[:10] + struct.pack(">H", short - 14) + good[12:short]),
        ("truncated", datagram(smb_mailslot_write(data)[:rng.randrange(0, 69)])),
        ("oversized", datagram(smb_mailslot_write(data + bytes(rng.randrange(420, 1400))))),
        ("oversized", datagram(smb_mailslot_write(data), length=rng.randrange(len(good), 65536))),
        ("oversized", rng.randbytes(rng.randrange(1500, 65000))),
        ("wrong type", bytes([rng.choice([0x00, 0x13, 0x14, 0x15, 0x16, 0x20, 0xFF])]) + good[1:]),
        ("wrong type", datagram(smb_mailslot_write(data, command=rng.choice([0x00, 0x24, 0x32])))),
        ("wrong type", datagram(smb_mailslot_write(data, opcode=rng.choice([0, 2, 0xFFFF])))),
        ("wrong type", datagram(smb_mailslot_write(data, klass=rng.choice([0, 1, 3])))),
        ("wrong type", datagram(smb_mailslot_write(data, magic=b"\xfeSMB"))),
        ("wrong mailslot", datagram(smb_mailslot_write(data, slot=rng.choice([
            "\\MAILSLOT\\TimeTerminal2", "\\MAILSLOT\\TimeTermina", "\\MAILSLOT\\",
            "\\MAILSLOT\\Time Terminal", "\\PIPE\\TimeTerminal", "MAILSLOT\\TimeTerminal",
            "TimeTerminal", ""])))),
        # A name without its NUL.
        ("wrong mailslot", datagram(smb_mailslot_write(b"", byte_count=len(SLOT))[:-1])),
        ("wrong destination", datagram(smb_mailslot_write(data), destination=rng.choice(
            ["ELSEWHERE", "WORKGROUPS", "WORKGROU", "SERVERS", "CLIENTS"]))),
        ("wrong destination", datagram(smb_mailslot_write(data), destination_name=encode_name(
            DOMAIN, scope=b"\x05SCOPE"))),
        ("wrong destination", datagram(smb_mailslot_write(data), destination_name=bytes(
            [32]) + rng.randbytes(32) + b"\0")),
        ("fragment", datagram(smb_mailslot_write(data), flags=FIRST_FRAGMENT | MORE_FRAGMENTS)),
        ("fragment", datagram(smb_mailslot_write(data), flags=0)),
        ("fragment", datagram(smb_mailslot_write(data), offset=rng.randrange(1, 1024))),
        ("layout", datagram(smb_mailslot_write(data, total_data=len(data) + 1))),
        ("layout", datagram(smb_mailslot_write(data, data_offset=rng.randrange(0, 69)))),
        ("layout", datagram(smb_mailslot_write(data, byte_count=rng.randrange(0, 40)))),
        ("random datagram", rng.randbytes(rng.randrange(0, 700))),
    ])


def garbage_payloads(rng):
    """Payloads of well-formed writes to TimeTerminal that hold no time a clock can be set to."""
    return rng.choice([
        ("random payload", rng.randbytes(rng.randrange(0, 8))),
        ("random payload", framed(rng.randbytes(rng.randrange(0, 420)), rng)),
        ("header alone", framed(b"", rng)),
        ("no time", framed(rng.choice(NO_TIMES) + rng.choice([b"", b"\0", b"\x55", b"tail"]),
                           rng)),
        ("no time", framed(rng.choice(NO_TIMES)[:rng.randrange(1, 16)], rng)),
        ("request", framed(REQUEST + rng.randbytes(rng.randrange(1, 40)), rng)),
        ("request", framed(REQUEST[:rng.randrange(0, len(REQUEST))], rng)),
        ("request", framed(b"give zeit\0", rng)),
    ])


def well_formed_garbage(rng, server):
    kind, data = garbage_payloads(rng)
    if settable_time(data[8:]) is not None:
        raise AssertionError(f"garbage that holds a time: {data.hex()}")
    destination, datagram_kind = rng.choice([(DOMAIN, DIRECT_GROUP), (server, DIRECT_UNIQUE)])
    return kind, datagram(smb_mailslot_write(data), destination=destination, kind=datagram_kind)


def flood(seconds, seed, server, addresses):
    rng = random.Random(seed)
    sent = {}
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        start = time.monotonic()
        count = 0
        while time.monotonic() - start < seconds:
            if rng.random() < 0.5:
                kind, payload = dropped_by_the_mailslot_layer(rng)
            else:
                kind, payload = well_formed_garbage(rng, server)
            sock.sendto(payload, (addresses[count % len(addresses)], DATAGRAM_PORT))
            sent[kind] = sent.get(kind, 0) + 1
            count += 1
            # Paced against the start, so that a slow moment is made up for.
            ahead = start + count / RATE - time.monotonic()
            if ahead > 0:
                time.sleep(ahead)
    for kind in sorted(sent):
        print(f"sent {kind}: {sent[kind]}")


if __name__ == "__main__":
    flood(float(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4:])
