#!/usr/bin/env bash
# The Windows zip holds VORNIKAL.EXE, a 32-bit GUI program, and vornikal-send.exe, a 32-bit console
# program, both without their debug information, and README.txt with Windows line ends and the
# licence, and nothing else.
# Usage: zip_contents_test.sh CMAKE ZIP
set -euo pipefail

cmake=$1
zip=$(realpath "$2")
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$zip" ] || fail "$zip was not built"
entries=$("$cmake" -E tar tf "$zip" | sort)
[ "$entries" = $'README.txt\nVORNIKAL.EXE\nvornikal-send.exe' ] || fail "the zip holds:"$'\n'"$entries"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && "$cmake" -E tar xf "$zip")

# A stripped 32-bit Windows program of subsystem $2 (GUI or console), in file(1)'s words, which
# differ from release to release ("Intel 80386" or "Intel i386", and the order of the parts);
# prints them.
pe32_of_subsystem() {
    local kind
    kind=$(file -b "$work/$1")
    [[ $kind == "PE32 executable "* && $kind == *"($2)"* && $kind =~ Intel\ (80386|i386) && $kind == *"MS Windows"* &&
        $kind == *"(stripped to external PDB)"* ]] || fail "$1 is a $kind"
    echo "$kind"
}
kind=$(pe32_of_subsystem VORNIKAL.EXE GUI)
console=$(pe32_of_subsystem vornikal-send.exe console)

readme=$work/README.txt
[ -s "$readme" ] || fail "README.txt is empty"
! grep -qv $'\r$' "$readme" || fail "README.txt has lines without a carriage return"
! grep -q '@[A-Z_]*@' "$readme" || fail "README.txt has an unfilled placeholder"
# Whoever passes the zip on must pass on the licence with it.
grep -q 'Copyright (c) 2026 VORNIKAL developers' "$readme" || fail "README.txt does not carry the licence"
grep -q 'vornikal-send' "$readme" || fail "README.txt does not say what vornikal-send.exe is"
echo "PASS: $(basename "$zip") holds VORNIKAL.EXE ($kind), vornikal-send.exe ($console) and README.txt"
