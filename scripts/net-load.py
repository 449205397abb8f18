#!/usr/bin/env python3
"""A bounded load on a relay, for measuring it: ROOMS rooms of 4 machines on 127.0.0.1, each
sending its seat's input 40 times a second (the last 4 ticks, as a game does) for SECONDS
and reading everything it is sent. Each machine connects from an address of its own in
127.0.0.0/8, since the relay allows an address only a few joins in 10 s. A plain client of
RFC 6455 (binary frames), enough for this and nothing else.

usage: net-load.py PORT [ROOMS] [SECONDS]
"""
import asyncio
import base64
import os
import struct
import sys

JOIN, WELCOME, INPUT = 1, 2, 3
PROTOCOL_VERSION = 3


def frame(payload):
    """A client's binary frame: final, shorter than 126 bytes, masked with a key of zeros (a
    relay may not judge the key, and the generator spends nothing on it)."""
    return bytes([0x82, 0x80 | len(payload), 0, 0, 0, 0]) + payload


async def read_frame(reader):
    head = await reader.readexactly(2)
    size = head[1] & 0x7F
    if size == 126:
        size = struct.unpack("!H", await reader.readexactly(2))[0]
    elif size == 127:
        size = struct.unpack("!Q", await reader.readexactly(8))[0]
    return head[0] & 0x0F, await reader.readexactly(size)


async def connect(port, number):
    reader, writer = await asyncio.open_connection("127.0.0.1", port,
                                                   local_addr=(f"127.{1 + number // 250}.{number % 250 + 1}.2", 0))
    key = base64.b64encode(os.urandom(16)).decode()
    writer.write(f"GET / HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                 f"Sec-WebSocket-Key: {key}\r\nSec-WebSocket-Version: 13\r\n\r\n".encode())
    response = await reader.readuntil(b"\r\n\r\n")
    if b" 101 " not in response.split(b"\r\n")[0]:
        raise RuntimeError(f"no WebSocket: {response[:60]!r}")
    return reader, writer


async def join(reader, writer, room):
    writer.write(frame(struct.pack("<BHQB", JOIN, PROTOCOL_VERSION, room, 1)))
    while True:
        opcode, payload = await read_frame(reader)
        if opcode == 2 and payload[0] == WELCOME:
            room, seats = struct.unpack_from("<QB", payload, 1)
            return room, seats.bit_length() - 1
        if opcode == 8:
            raise RuntimeError(f"the relay closed a join: {payload[2:].decode(errors='replace')}")


async def drain(reader):
    """Reads what the relay sends, unparsed, until it closes."""
    while await reader.read(65536):
        pass


async def main(port, rooms, seconds):
    machines = []
    for r in range(rooms):
        room = 0
        for m in range(4):
            reader, writer = await connect(port, r * 4 + m)
            room, seat = await join(reader, writer, room)
            machines.append((writer, seat, asyncio.create_task(drain(reader))))
    print(f"net-load: {rooms} rooms of 4 machines joined; sending for {seconds:g} s", flush=True)
    loop = asyncio.get_running_loop()
    start = loop.time()
    for tick in range(1, int(seconds * 40) + 1):
        await asyncio.sleep(max(0.0, start + tick * 0.025 - loop.time()))
        count = min(4, tick)
        for writer, seat, draining in machines:
            if draining.done():
                sys.exit("net-load: the relay closed a machine's connection")
            inputs = bytes(((tick + i) // 15 + seat) & 0x1F for i in range(1 - count, 1))
            writer.write(frame(struct.pack("<BBhIB", INPUT, seat, max(0, tick - 8) - tick, tick, count) + inputs))
    late = loop.time() - start - seconds
    print(f"net-load: done, {late * 1000:.0f} ms behind", flush=True)
    for writer, _, task in machines:
        writer.close()
        task.cancel()


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__.splitlines()[-1])
    asyncio.run(main(int(sys.argv[1]), int(sys.argv[2]) if len(sys.argv) > 2 else 100,
                     float(sys.argv[3]) if len(sys.argv) > 3 else 20))
