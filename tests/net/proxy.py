#!/usr/bin/env python3
"""A TCP proxy on 127.0.0.1 that makes a network of the loopback: each way it holds every
chunk for a delay with ±20 ms jitter (order kept, as TCP keeps it) and about every 10 s
stalls 200 ms, as a lost segment's retransmission does (STALLS 0: never). Prints `proxy:
listening on 127.0.0.1:PORT`, and for each connection that ends the bytes it carried each way.

usage: proxy.py RELAY_PORT DELAY_MS [SEED [STALLS]]
"""
import asyncio
import random
import sys

JITTER_MS = 20
STALL_S = 0.2
STALL_CHANCE = 1 / 400  # at 40 chunks a second


async def pump(reader, writer, delay_ms, rng, counted, stall_chance):
    """Copies one way, adding the bytes to counted[0]: a writer task sends each chunk when it
    is due, never before the one before it."""
    queue = asyncio.Queue()
    loop = asyncio.get_running_loop()

    async def send():
        while (item := await queue.get()) is not None:
            await asyncio.sleep(max(0.0, item[0] - loop.time()))
            writer.write(item[1])
            await writer.drain()
        writer.close()

    sender = asyncio.create_task(send())
    jitter = min(JITTER_MS, delay_ms)  # no chunk is due before it came
    last_due = 0.0
    while data := await reader.read(65536):
        counted[0] += len(data)
        due = loop.time() + (delay_ms + rng.uniform(-jitter, jitter)) / 1000
        last_due = max(last_due, due + (STALL_S if rng.random() < stall_chance else 0))
        queue.put_nowait((last_due, data))
    queue.put_nowait(None)
    try:
        await sender
    except ConnectionError:
        pass


async def serve(relay_port, delay_ms, rng, stall_chance):
    async def accept(client_reader, client_writer):
        try:
            relay_reader, relay_writer = await asyncio.open_connection("127.0.0.1", relay_port)
        except OSError as error:
            print(f"proxy: cannot reach the relay: {error}", file=sys.stderr)
            client_writer.close()
            return
        up, down, start = [0], [0], asyncio.get_running_loop().time()
        await asyncio.gather(pump(client_reader, relay_writer, delay_ms, rng, up, stall_chance),
                             pump(relay_reader, client_writer, delay_ms, rng, down, stall_chance), return_exceptions=True)
        seconds = asyncio.get_running_loop().time() - start
        print(f"proxy: a connection of {seconds:.1f} s carried {up[0]} bytes up and {down[0]} down", flush=True)

    server = await asyncio.start_server(accept, "127.0.0.1", 0)
    print(f"proxy: listening on 127.0.0.1:{server.sockets[0].getsockname()[1]}", flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    if len(sys.argv) not in (3, 4, 5):
        sys.exit(__doc__.splitlines()[-1])
    try:
        seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
        stall_chance = STALL_CHANCE if len(sys.argv) < 5 or sys.argv[4] != "0" else 0
        asyncio.run(serve(int(sys.argv[1]), float(sys.argv[2]), random.Random(seed), stall_chance))
    except KeyboardInterrupt:
        pass
