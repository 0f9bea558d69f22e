#!/usr/bin/env bash
# Debian's own check of a package: any error or warning fails. Prints what lintian said, without its
# notice about running as root, which is not about the package.
# Debian 13's lintian runs appstreamcli validate, which fails on findings that ask for a domain the
# project does not have (a homepage, a developer id); the package tests hold the AppStream entry to
# those findings and no other. Debian 12's lintian has no such tag and refuses to suppress one it
# does not know.
# Usage: scripts/lintian-deb.sh DEB
set -uo pipefail

suppress=()
if lintian-explain-tags appstream-metadata-validation-failed >/dev/null 2>&1; then
    suppress=(--suppress-tags appstream-metadata-validation-failed)
fi
said=$(lintian --fail-on error,warning "${suppress[@]}" "$1" 2>&1)
status=$?
grep -v '^running with root privileges' <<<"$said" || { [ $status -eq 0 ] && echo "lintian: no error and no warning"; }
exit $status
