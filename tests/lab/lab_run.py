#!/usr/bin/python3
"""Boots one lab guest under qemu (TCG) on a Debian kernel and runs the lab's guest program there
against the kernel's real serial drivers. Prints the table of checks the guest reported, the boot
and check times, and exits 1 when a check failed or the guest never finished.

    lab_run.py amd64|arm64 KERNEL_TREE BUILD_DIR WORK_DIR

KERNEL_TREE holds the unpacked kernel package, busybox-static and the C++ run-time
(scripts/lab-kernel.sh); BUILD_DIR the build of that architecture (vornikal-lab-guest,
vornikal-port, vornikal-send); WORK_DIR receives the initramfs and the guest's console log."""
import json
import lzma
import os
import re
import selectors
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

LAB = Path(__file__).resolve().parent
GUEST_DEADLINE_S = 240

# Modules the guest loads, in this order, each after the ones it depends on. g_serial finds its ACM
# function by name through a module request the guest cannot serve, so usb_f_acm is named.
USB_SERIAL = ["xhci-pci", "usbserial", "ftdi_sio"]
GADGET = ["dummy_hcd", "usb_f_acm", "g_serial", "cdc-acm"]

# Each line under test (tests/lab/lab_plan.h): the checks' driver name, the device, the far end across
# the cable, the driver vornikal-port must name, how it is unplugged ("qmp=ID": the runner removes
# QEMU's device ID; a file: the guest writes "disconnect" to it). The PC's UARTs are Plug and Play
# devices described by ACPI, and the 8250 driver's name for those is "serial". TCG, as on machines
# without /dev/kvm. The x86 guest's console is its first UART, the device an unmapped com1 means.
GUESTS = {
    "amd64": {
        "qemu": ["qemu-system-x86_64", "-M", "pc", "-accel", "tcg", "-serial", "chardev:console"],
        "kernel_console": "ttyS0",
        "modules": USB_SERIAL + GADGET,
        "lines": ["8250,/dev/ttyS1,/dev/ttyUSB0,serial,-",
                  "ftdi_sio,/dev/ttyUSB0,/dev/ttyS1,ftdi_sio,qmp=ftdi",
                  "cdc_acm,/dev/ttyACM0,/dev/ttyGS0,cdc_acm,/sys/class/udc/dummy_udc.0/soft_connect"],
        "guest_args": ["--send-over", "8250", "--console", "ttyS0"],
    },
    "arm64": {
        # The PL011 is under test, so the console is a virtio one.
        "qemu": ["qemu-system-aarch64", "-M", "virt", "-cpu", "cortex-a57", "-accel", "tcg",
                 "-device", "virtio-serial-device", "-device", "virtconsole,chardev=console"],
        "kernel_console": "hvc0",
        "modules": ["virtio_mmio", "virtio_console"] + USB_SERIAL,
        "lines": ["pl011,/dev/ttyAMA0,/dev/ttyUSB0,uart-pl011,-",
                  "ftdi_sio,/dev/ttyUSB0,/dev/ttyAMA0,ftdi_sio,qmp=ftdi"],
        "guest_args": ["--send-over", "pl011"],
    },
}


def kernel_files(tree):
    release = sorted(p.name for p in (tree / "lib/modules").iterdir())[-1]
    return tree / f"boot/vmlinuz-{release}", tree / "lib/modules" / release


def module_bytes(path):
    data = path.read_bytes()
    return lzma.decompress(data) if path.suffix == ".xz" else data


def module_order(folder, wanted):
    """(name, contents) of the wanted modules and what they depend on, dependencies first. Built-in
    ones are left out. An unpacked kernel package has no modules.dep: each module names its own
    dependencies in its modinfo."""
    files = {}
    for path in folder.glob("kernel/**/*.ko*"):
        files[path.name.split(".ko")[0].replace("-", "_")] = path
    builtin = {Path(line).name.split(".ko")[0].replace("-", "_")
               for line in (folder / "modules.builtin").read_text().split()}
    order = []

    def visit(name):
        name = name.replace("-", "_")
        if name in builtin or name in (n for n, _ in order):
            return
        if name not in files:
            sys.exit(f"lab: the kernel has no module {name}")
        data = module_bytes(files[name])
        found = re.search(rb"\0depends=([^\0]*)\0", data)
        for dependency in filter(None, (found.group(1).decode().split(",") if found else [])):
            visit(dependency)
        order.append((name, data))

    for name in wanted:
        visit(name)
    return order


def elf_needs(program, tree):
    """Paths inside the tree of the loader and the libraries a dynamic program needs, all the way down."""
    found, pending = {}, [program]
    while pending:
        text = subprocess.run(["readelf", "-d", "-l", "-W", str(pending.pop())], capture_output=True,
                              text=True, check=True).stdout
        names = re.findall(r"\(NEEDED\).*\[(.+)\]", text)
        loader = re.findall(r"Requesting program interpreter: (.+)\]", text)
        for name in names + loader:
            if name in found:
                continue
            folders = [f for pattern in ("lib/*-linux-gnu*", "usr/lib/*-linux-gnu*") for f in tree.glob(pattern)]
            candidates = [tree / name.lstrip("/")] if name.startswith("/") else [f / name for f in folders]
            path = next((c for c in candidates if c.exists()), None)
            if path is None:
                sys.exit(f"lab: {name}, needed by {program.name}, is not in {tree}")
            found[name] = path
            pending.append(path.resolve())
    return {"/" + str(path.relative_to(tree)): path.resolve() for path in found.values()}


def cpio(entries):
    """An initramfs (newc cpio) of (name, mode, contents, device) entries."""
    out = bytearray()
    for number, (name, mode, data, device) in enumerate(entries + [("TRAILER!!!", 0, b"", (0, 0))], 1):
        fields = (number, mode, 0, 0, 1, 0, len(data), 0, 0, device[0], device[1], len(name) + 1, 0)
        out += ("070701" + "".join(f"{f:08x}" for f in fields)).encode() + name.encode() + b"\0"
        out += b"\0" * (-len(out) % 4) + data
        out += b"\0" * (-len(out) % 4)
    return bytes(out)


def initramfs(guest, tree, build):
    kernel, modules = kernel_files(tree)
    entries, folders = [], set()

    def add(name, mode, data=b"", device=(0, 0)):
        parts = Path(name).parts
        for depth in range(1, len(parts) - 1):
            folder = "/".join(parts[1:depth + 1])
            if folder not in folders:
                folders.add(folder)
                entries.append((folder, 0o40755, b"", (0, 0)))
        entries.append((name.lstrip("/"), mode, data, device))

    add("/dev/console", 0o20600, device=(5, 1))
    for folder in ("/proc", "/sys", "/tmp"):
        add(folder, 0o40755)
    add("/init", 0o100755, (LAB / "guest_init.sh").read_bytes())
    add("/bin/busybox", 0o100755, (tree / "bin/busybox").read_bytes())
    add("/lab/guest", 0o100755, (build / "tests/lab/vornikal-lab-guest").read_bytes())
    programs = [build / "tools/vornikal-port", build / "tools/vornikal-send"]
    libraries = {}
    for program in programs:
        add("/usr/bin/" + program.name, 0o100755, program.read_bytes())
        libraries.update(elf_needs(program, tree))
    for name, path in libraries.items():
        add(name, 0o100755, path.read_bytes())
    for number, (name, data) in enumerate(module_order(modules, guest["modules"])):
        add(f"/modules/{number:02d}-{name}.ko", 0o100644, data)
    add("/lab/console", 0o100644, guest["kernel_console"].encode())
    add("/lab/args", 0o100644, " ".join(sum((["--line", line] for line in guest["lines"]), [])
                                         + guest["guest_args"]).encode())
    return kernel, cpio(entries)


def qemu_command(guest, kernel, image, cable, monitor):
    return guest["qemu"] + [
        "-m", "256", "-nodefaults", "-no-reboot", "-display", "none",
        "-kernel", str(kernel), "-initrd", str(image),
        "-append", f"console={guest['kernel_console']} panic=-1 quiet",
        "-chardev", "stdio,id=console,signal=off",
        # The null-modem cable: the UART's end listens, the adapter's end connects to it.
        "-chardev", f"socket,id=uart,path={cable},server=on,wait=off", "-serial", "chardev:uart",
        "-chardev", f"socket,id=adapter,path={cable}",
        "-device", "qemu-xhci", "-device", "usb-serial,chardev=adapter,id=ftdi",
        "-qmp", f"unix:{monitor},server=on,wait=off"]


class Monitor:
    """QEMU's machine protocol, for pulling the USB adapter out."""

    def __init__(self, path):
        self.connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.connection.connect(str(path))
        self.replies = self.connection.makefile("r")
        self.replies.readline()
        self.ask("qmp_capabilities")

    def ask(self, command, **arguments):
        self.connection.sendall(json.dumps({"execute": command, "arguments": arguments}).encode())
        while True:
            reply = json.loads(self.replies.readline())
            if "return" in reply or "error" in reply:
                return reply


def run_guest(command, monitor_path, log):
    """The guest's reports: (checks, figures, why it ended: "ok" when it finished)."""
    start = time.monotonic()
    guest = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    watch = selectors.DefaultSelector()
    watch.register(guest.stdout, selectors.EVENT_READ)
    checks, figures, pending, ended, monitor = [], {}, b"", None, None
    try:
        while ended is None:
            left = start + GUEST_DEADLINE_S - time.monotonic()
            if left <= 0 or not watch.select(left):
                ended = f"no end after {GUEST_DEADLINE_S} s"
                break
            chunk = os.read(guest.stdout.fileno(), 65536)
            if not chunk:
                ended = "qemu ended before the guest finished"
                break
            log.write(chunk)
            pending += chunk
            *lines, pending = pending.split(b"\n")
            for line in (raw.decode(errors="replace") for raw in lines):
                found = re.search(r"lab-(\w+)\|(.*)", line)
                if not found:
                    continue
                kind, fields = found.group(1), found.group(2).strip().split("|", 3)
                if kind == "init":
                    figures["boot"], figures["uptime"] = time.monotonic() - start, float(fields[0])
                elif kind == "check" and len(fields) == 4:
                    checks.append(fields)
                elif kind == "unplug":
                    monitor = monitor or Monitor(monitor_path)
                    reply = monitor.ask("device_del", id=fields[0])
                    log.write(f"[lab: device_del {fields[0]}: {reply}]\n".encode())
                elif kind == "end":
                    figures["checks"] = time.monotonic() - start - figures.get("boot", 0)
                    ended = "ok" if int(fields[0]) == len(checks) else \
                        f"the guest counted {fields[0]} checks, {len(checks)} reported"
    finally:
        if guest.poll() is None:
            guest.kill()
        guest.wait()
    return checks, figures, ended


def main():
    arch, tree, build, work = sys.argv[1], Path(sys.argv[2]), Path(sys.argv[3]), Path(sys.argv[4])
    guest = GUESTS[arch]
    work.mkdir(parents=True, exist_ok=True)
    kernel, image = initramfs(guest, tree, build)
    (work / "initramfs.cpio").write_bytes(image)
    with tempfile.TemporaryDirectory(prefix="vornikal-lab-") as sockets, open(work / "console.log", "wb") as log:
        cable, monitor = Path(sockets) / "cable", Path(sockets) / "qmp"
        command = qemu_command(guest, kernel, work / "initramfs.cpio", cable, monitor)
        checks, figures, ended = run_guest(command, monitor, log)
    failed = [c for c in checks if c[2] != "ok"]
    print(f"lab {arch}: {len(checks)} checks, {len(failed)} failed")
    for driver, check, result, figure in checks:
        print(f"  {result:4}  {driver:9} {check:44} {figure}")
    print(f"lab {arch}: boot {figures.get('boot', 0):.1f} s (qemu start to the guest's /init, "
          f"{figures.get('uptime', 0):.1f} s of them on the kernel's clock), checks {figures.get('checks', 0):.1f} s; "
          f"console log: {work / 'console.log'}")
    if ended != "ok":
        print(f"lab {arch}: FAILED: {ended}; the console's last lines:")
        print("\n".join((work / "console.log").read_text(errors="replace").splitlines()[-30:]))
    return 0 if ended == "ok" and not failed else 1


if __name__ == "__main__":
    sys.exit(main())
