#!/usr/bin/env python3
"""The far end of COM1 for the programs that run under Wine.

Usage: pty_peer.py --build-root BUILD [--screenshots DIR] [--timeout S] -- COMMAND...

Opens a pseudo-terminal pair, points BUILD/wine-com1 (the file the prefix maps COM1 to) at its
slave, and runs COMMAND. The Windows program talks to the peer through its standard streams: a
line "@peer REQUEST" on its output gets one answer line on its input; every other line is passed
through. Requests:

    arm HEX               answer the next bytes that arrive with these bytes (one write)
    send HEX              write these bytes now
    seen COUNT            wait (2 s at most) until COUNT bytes have arrived; answer them all, in
                          hex, and forget them
    line                  the line settings as the pseudo-terminal has them:
                          "rate=N stop=1|2 crtscts=0|1" (a pseudo-terminal has no data bits or
                          parity of its own: Linux keeps it at 8 bits without parity)
    sentinel              put the line back to 4800 baud, 2 stop bits and RTS/CTS flow control,
                          settings the tool never makes
    shot NAME X Y W H     save that part of the screen as DIR/NAME.png

The peer ends the command when --timeout passes and exits with the command's status.
"""

import argparse
import fcntl
import os
import select
import struct
import subprocess
import sys
import termios
import time

TCGETS2 = 0x802C542A  # _IOR('T', 0x2A, struct termios2)
TERMIOS2 = struct.Struct("4I B 19s 2I")
SEEN_DEADLINE = 2.0


class Line:
    def __init__(self):
        self.master, self.slave = os.openpty()
        os.set_blocking(self.master, False)
        self.path = os.ttyname(self.slave)
        self.seen = bytearray()
        self.answer = None
        self.sentinel()

    def sentinel(self):
        # A pseudo-terminal always reads back 8 data bits without parity (Linux forces them), so the
        # sentinel and the report keep to what it does hold: the rate, the stop bits and RTS/CTS.
        attrs = termios.tcgetattr(self.slave)
        # A raw line, as a serial device set up for binary data: no XON/XOFF, echo or line editing,
        # which the tool leaves as it finds them.
        attrs[0] = attrs[1] = attrs[3] = 0
        attrs[2] &= ~(termios.CBAUD | termios.CSTOPB | termios.CRTSCTS)
        attrs[2] |= termios.B4800 | termios.CSTOPB | termios.CRTSCTS
        attrs[4] = attrs[5] = termios.B4800
        termios.tcsetattr(self.slave, termios.TCSANOW, attrs)

    def settings(self):
        raw = fcntl.ioctl(self.slave, TCGETS2, bytes(TERMIOS2.size))
        _, _, cflag, _, _, _, _, ospeed = TERMIOS2.unpack(raw)
        stop = 2 if cflag & termios.CSTOPB else 1
        crtscts = 1 if cflag & termios.CRTSCTS else 0
        return f"rate={ospeed} stop={stop} crtscts={crtscts}"

    def pump(self):
        """Takes in what the Windows side wrote; answers it when armed."""
        while True:
            try:
                chunk = os.read(self.master, 4096)
            except BlockingIOError:
                return
            if not chunk:
                return
            self.seen += chunk
            if self.answer is not None:
                os.write(self.master, self.answer)
                self.answer = None

    def take_seen(self, count):
        deadline = time.monotonic() + SEEN_DEADLINE
        self.pump()
        while len(self.seen) < count and time.monotonic() < deadline:
            select.select([self.master], [], [], max(0.0, deadline - time.monotonic()))
            self.pump()
        taken, self.seen = bytes(self.seen), bytearray()
        return taken.hex()


def point_link(link, target):
    staging = link + ".new"
    if os.path.lexists(staging):
        os.unlink(staging)
    os.symlink(target, staging)
    os.replace(staging, link)


def shot(display, folder, name, x, y, w, h):
    os.makedirs(folder, exist_ok=True)
    out = os.path.join(folder, name + ".png")
    env = dict(os.environ, DISPLAY=display)
    result = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", out],
                            env=env, stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
    return "ok" if result.returncode == 0 else "failed " + result.stderr.decode(errors="replace").strip()


def handle(request, line, args):
    words = request.split()
    verb = words[0] if words else ""
    if verb == "arm":
        line.answer = bytes.fromhex(words[1]) if len(words) > 1 else b""
        return "ok"
    if verb == "send":
        os.write(line.master, bytes.fromhex(words[1]))
        return "ok"
    if verb == "seen":
        return line.take_seen(int(words[1]))
    if verb == "line":
        return line.settings()
    if verb == "sentinel":
        line.pump()
        line.seen.clear()
        line.answer = None
        line.sentinel()
        return "ok"
    if verb == "shot" and args.screenshots:
        with open(os.path.join(args.build_root, "wine-display")) as f:
            display = f.read().strip()
        return shot(display, args.screenshots, words[1], *words[2:6])
    return "error unknown request: " + request


def serve(child, line, args):
    deadline = time.monotonic() + args.timeout
    pending = b""
    out = child.stdout.fileno()
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            print("pty_peer: the program ran past its deadline; ending it", file=sys.stderr)
            child.kill()
            return 1
        ready, _, _ = select.select([out, line.master], [], [], min(left, 0.5))
        if line.master in ready:
            line.pump()
        if out not in ready:
            # Wine's own background processes may hold the output open: the program's end is enough.
            if child.poll() is not None:
                break
            continue
        chunk = os.read(out, 65536)
        if not chunk:
            break
        pending += chunk
        *complete, pending = pending.split(b"\n")
        for raw in complete:
            text = raw.decode(errors="replace").rstrip("\r")
            if text.startswith("@peer "):
                child.stdin.write((handle(text[6:], line, args) + "\n").encode())
                child.stdin.flush()
            else:
                print(text, flush=True)
    if pending:
        print(pending.decode(errors="replace"), flush=True)
    try:
        return child.wait(timeout=max(1.0, deadline - time.monotonic()))
    except subprocess.TimeoutExpired:
        child.kill()
        return 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-root", required=True)
    parser.add_argument("--screenshots")
    parser.add_argument("--timeout", type=float, default=240.0)
    parser.add_argument("command", nargs="+")
    args = parser.parse_args()

    line = Line()
    point_link(os.path.join(args.build_root, "wine-com1"), line.path)
    child = subprocess.Popen(args.command, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    try:
        return serve(child, line, args)
    finally:
        if child.poll() is None:
            child.kill()
            child.wait()


if __name__ == "__main__":
    sys.exit(main())
