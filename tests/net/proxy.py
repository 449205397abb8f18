#!/usr/bin/env python3
"""A TCP proxy on 127.0.0.1 that makes a network of the loopback: each way it holds every
chunk for a delay with jitter (order kept, as TCP keeps it) and now and then stalls 200 ms,
as a lost segment's retransmission does. Prints `proxy: listening on 127.0.0.1:PORT`, and
for each connection that ends the bytes it carried each way.

usage: proxy.py --to PORT [--listen PORT] [--delay MS] [--jitter MS] [--stall-every S] [--seed N]
"""
import argparse
import asyncio
import random
import sys

STALL_S = 0.2


async def pump(reader, writer, args, rng, counted):
    """Copies one way; a writer task sends each chunk when it is due, never before the last.
    Adds the bytes to counted[0]."""
    queue = asyncio.Queue()
    loop = asyncio.get_running_loop()

    async def send():
        while (item := await queue.get()) is not None:
            due, data = item
            await asyncio.sleep(max(0.0, due - loop.time()))
            writer.write(data)
            await writer.drain()
        writer.close()

    sender = asyncio.create_task(send())
    last_due = 0.0
    while data := await reader.read(65536):
        counted[0] += len(data)
        due = loop.time() + (args.delay + rng.uniform(-args.jitter, args.jitter)) / 1000.0
        if args.stall_every > 0 and rng.random() < 1.0 / (args.stall_every * 40):
            due += STALL_S
        last_due = max(due, last_due)
        queue.put_nowait((last_due, data))
    queue.put_nowait(None)
    try:
        await sender
    except ConnectionError:
        pass


async def serve(args):
    rng = random.Random(args.seed)

    async def accept(client_reader, client_writer):
        try:
            relay_reader, relay_writer = await asyncio.open_connection("127.0.0.1", args.to)
        except OSError as error:
            print(f"proxy: cannot reach the relay: {error}", file=sys.stderr)
            client_writer.close()
            return
        up, down = [0], [0]
        start = asyncio.get_running_loop().time()
        await asyncio.gather(pump(client_reader, relay_writer, args, rng, up),
                             pump(relay_reader, client_writer, args, rng, down), return_exceptions=True)
        seconds = asyncio.get_running_loop().time() - start
        print(f"proxy: a connection of {seconds:.1f} s carried {up[0]} bytes up and {down[0]} down", flush=True)

    server = await asyncio.start_server(accept, "127.0.0.1", args.listen)
    print(f"proxy: listening on 127.0.0.1:{server.sockets[0].getsockname()[1]}", flush=True)
    async with server:
        await server.serve_forever()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--to", type=int, required=True, help="the relay's port on 127.0.0.1")
    parser.add_argument("--listen", type=int, default=0)
    parser.add_argument("--delay", type=float, default=50, help="ms each way")
    parser.add_argument("--jitter", type=float, default=20, help="± ms")
    parser.add_argument("--stall-every", type=float, default=10, help="a 200 ms stall about every S seconds (0: none)")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    if args.jitter > args.delay:
        args.jitter = args.delay  # no chunk is due before it came
    try:
        asyncio.run(serve(args))
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
