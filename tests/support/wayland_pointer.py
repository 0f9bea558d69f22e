#!/usr/bin/python3
"""Plugs a virtual pointer (wlr-virtual-pointer protocol) into the Wayland compositor's seat and
keeps it there until the compositor goes away or this process ends. A headless seat has no pointer,
and a client gets no pointer events without one; the compositor's own cursor commands then click."""
import os
import socket
import struct
import sys

DISPLAY, REGISTRY, CALLBACK, MANAGER, POINTER = 1, 2, 3, 4, 5
INTERFACE = "zwlr_virtual_pointer_manager_v1"


def request(target, opcode, payload=b""):
    return struct.pack("=II", target, (8 + len(payload)) << 16 | opcode) + payload


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)


def events(connection):
    """(object, opcode, payload) of every event, until the compositor closes the connection."""
    pending = b""
    while chunk := connection.recv(4096):
        pending += chunk
        while len(pending) >= 8 and len(pending) >= (size := struct.unpack_from("=II", pending)[1] >> 16):
            target, word = struct.unpack_from("=II", pending)
            if target == DISPLAY and word & 0xFFFF == 0:
                sys.exit("the compositor reported a protocol error")
            yield target, word & 0xFFFF, pending[8:size]
            pending = pending[size:]


def main():
    path = os.path.join(os.environ.get("XDG_RUNTIME_DIR", ""), os.environ["WAYLAND_DISPLAY"])
    connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    connection.connect(path)
    # wl_display.get_registry, then wl_display.sync to learn when every global has been announced.
    connection.sendall(request(DISPLAY, 1, struct.pack("=I", REGISTRY)) + request(DISPLAY, 0, struct.pack("=I", CALLBACK)))
    manager = None
    stream = events(connection)
    for target, opcode, payload in stream:
        if target == REGISTRY and opcode == 0:
            name, length = struct.unpack_from("=II", payload)
            if payload[8:8 + length - 1].decode() == INTERFACE:
                manager = name
        elif target == CALLBACK:
            break
    if manager is None:
        sys.exit(f"the compositor offers no {INTERFACE}")
    # wl_registry.bind, then create_virtual_pointer on the default seat.
    connection.sendall(request(REGISTRY, 0, struct.pack("=I", manager) + string(INTERFACE) + struct.pack("=II", 1, MANAGER))
                       + request(MANAGER, 0, struct.pack("=II", 0, POINTER)))
    for _ in stream:
        pass


if __name__ == "__main__":
    main()
