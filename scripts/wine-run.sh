#!/usr/bin/env bash
# Runs a program of the Windows cross build under Wine: `wine-run.sh PROGRAM.exe [ARGS...]`.
# The Wine prefix is the build tree's own (<build>/wineprefix, made on first use), never the user's.
# The build tree decides the loader and the prefix kind (scripts/wine-env.sh).
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
vornikal_wine_env "$(dirname "$1")"
vornikal_wine_prefix
# Wine's background services inherit the streams of the Wine call that starts them, and a caller
# reading this program's output to its end would wait for them too: start them apart first.
"$WINELOADER" wineboot </dev/null >/dev/null 2>&1 || true
exec "$WINELOADER" "$@"
