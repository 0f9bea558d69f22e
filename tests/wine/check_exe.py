#!/usr/bin/env python3
"""Checks what the built VORNIKAL.EXE holds: its resources as windres prints them back, and its
PE header and imports as objdump shows them. --arch says which build it is: x86 for the shipped
32-bit program, amd64 for the x86_64 build the Wine tests use where i386 programs do not run; the
header and the manifest must both name that one. Exits non-zero and says what is wrong otherwise."""

import argparse
import re
import subprocess
import sys

# The DLLs every Windows has; the program may import nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll"}

ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 128, 256)

# Calls of newer Windows the program looks up at run time: imported, they would keep it from
# starting on the systems before them.
LOOKED_UP = ("GetDpiForWindow", "GetSystemMetricsForDpi", "LoadIconWithScaleDown", "GetIconInfoExW")

# What objdump shows for each build: optional header magic and file format.
HEADERS = {"x86": ("010b", "PE32", "pei-i386"), "amd64": ("020b", "PE32+", "pei-x86-64")}

VERSION_STRINGS = {
    "CompanyName": "",
    "FileDescription": "VORNIKAL MFC Application",
    "FileVersion": "1, 0, 0, 1",
    "InternalName": "VORNIKAL",
    "LegalTrademarks": "",
    "OriginalFilename": "VORNIKAL.EXE",
    "ProductName": "VORNIKAL Application",
    "ProductVersion": "1, 0, 0, 1",
}


def wide(text):
    """windres's spelling of a text with non-ASCII characters: L"\\x95dc..."."""
    return 'L"' + "".join(c if ord(c) < 0x80 else "\\x%04x" % ord(c) for c in text) + '"'


def section(rc, start, end="\nEND"):
    begin = rc.find(start)
    if begin < 0:
        return ""
    return rc[begin:rc.find(end, begin) + len(end)]


def check_resources(rc, arch, problems):
    def need(condition, what):
        if not condition:
            problems.append(what)

    main = section(rc, "102 DIALOGEX 0, 0, 237, 119")
    need(main, "dialog 102: no extended template of 237 x 119")
    need('CAPTION "KESTRAVO v1.0 by OLVANE"' in main, "dialog 102: caption")
    need("FONT 9, " + wide("新細明體") in main, "dialog 102: font")
    need("EXSTYLE 0x40000" in main, "dialog 102: WS_EX_APPWINDOW")
    for control in ['DEFPUSHBUTTON "Send", 1, 7, 98, 84, 14', 'PUSHBUTTON "Clear Result", 1005, 109, 98, 121, 14',
                    'LTEXT "Bytes to Send", -1, 7, 27, 44, 8', "EDITTEXT 1010, 109, 7, 121, 86, 0x50a10844",
                    "COMBOBOX 1011, 7, 7, 86, 51, 0x50210002", "EDITTEXT 1006, 52, 24, 40, 14"]:
        need(control in main, "dialog 102: no " + control)
    need(len(re.findall(r"^\s+\w+ ", main, re.M)) == 14, "dialog 102: not 14 controls")

    about = section(rc, "100 DIALOG 0, 0, 235, 55")
    need(about, "dialog 100: no standard template of 235 x 55")
    need("CAPTION " + wide("關於 VORNIKAL") in about, "dialog 100: caption")
    need("ICON 128, " in about, "dialog 100: icon 128")
    need('"VORNIKAL Version 1.0", 65535, 130, 0x50020080' in about, "dialog 100: name line without SS_NOPREFIX")
    need("DEFPUSHBUTTON " + wide("確定") + ", 1, 178, 7, 50, 14" in about, "dialog 100: OK button")

    need("101, " + wide("關於 VORNIKAL(&A)...") in rc, "string 101")

    # The 16-colour images at 32 and 16 px, then one with alpha at each size (0 stands for 256).
    group = section(rc, "128 14 /* RT_GROUP_ICON */")
    images = re.findall(r'"\\(\d+)\\(\d+)\\(\d+)\\000", 1, (\d+),', group)
    sizes = [(int(width, 8) or 256, int(colours, 8), int(bits)) for width, height, colours, bits in images]
    need(sizes == [(32, 16, 4), (16, 16, 4)] + [(size, 0, 32) for size in ICON_SIZES],
         f"icon group 128: images {sizes}")

    version = section(rc, "1 VERSIONINFO", "\nEND\n\n")
    need("FILEVERSION 1, 0, 0, 1" in version and "PRODUCTVERSION 1, 0, 0, 1" in version, "version numbers")
    need('BLOCK "040404b0"' in version, "version strings: not 0x404 / 1200")
    for key, text in VERSION_STRINGS.items():
        need(f'VALUE "{key}", "{text}"' in version, f"version key {key}")
    need(re.search(r'VALUE "LegalCopyright", "[^"]+"', version), "version key LegalCopyright")
    need('VALUE "Translation", 0x404, 1200' in version, "translation 0x404, 1200")

    manifest = section(rc, "1 24 /* RT_MANIFEST */")
    need("UTF-8</activeCodePage>" in manifest, "manifest: active code page UTF-8")
    need("Microsoft.Windows.Common-Controls" in manifest and '""6.0.0.0""' in manifest, "manifest: common controls 6")
    # The program's identity and its common controls, both of the build's own architecture.
    named = re.findall(r'processorArchitecture=""(\w+|\*)""', manifest)
    need(named == [arch, arch], f"manifest: processorArchitecture {named}, not twice {arch}")
    need('SMI/2005/WindowsSettings"">true/pm</dpiAware>' in manifest, "manifest: dpiAware true/pm")
    need('SMI/2016/WindowsSettings"">PerMonitorV2, PerMonitor</dpiAwareness>' in manifest,
         "manifest: dpiAwareness PerMonitorV2, PerMonitor")


def check_header(dump, arch, problems):
    magic, kind, file_format = HEADERS[arch]
    if not re.search(rf"^Magic\s+{magic}\s+\({re.escape(kind)}\)", dump, re.M):
        problems.append("not " + kind)
    if not re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", dump, re.M):
        problems.append("not the GUI subsystem")
    if not re.search(rf"file format {file_format}\b", dump):
        problems.append("not " + file_format)
    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
    if not dlls:
        problems.append("no imports found")
    for extra in sorted(dlls - SYSTEM_DLLS):
        problems.append("imports a DLL Windows does not ship: " + extra)
    for name in LOOKED_UP:
        if re.search(rf"\s{name}$", dump, re.M):
            problems.append("imports " + name + ", which older Windows lacks")
    print("imports:", ", ".join(sorted(dlls)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--windres", required=True)
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--arch", required=True, choices=sorted(HEADERS))
    parser.add_argument("exe")
    args = parser.parse_args()

    rc = subprocess.run([args.windres, "-i", args.exe, "-O", "rc"], check=True, capture_output=True, text=True).stdout
    dump = subprocess.run([args.objdump, "-p", args.exe], check=True, capture_output=True, text=True).stdout
    problems = []
    check_resources(rc, args.arch, problems)
    check_header(dump, args.arch, problems)
    for problem in problems:
        print("FAIL:", problem)
    if not problems:
        print(f"PASS: {args.exe} is a {HEADERS[args.arch][1]} {args.arch} GUI program with its resources")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
