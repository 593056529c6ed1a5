#!/usr/bin/env bash
# Runs a test program of this build tree in a Wine prefix made for it alone,
# as Wine installs it, then removes the prefix, whatever the outcome.
# Usage: run_in_fresh_prefix.sh WINE_ENV PROGRAM [ARGUMENT...]
# (WINE_ENV: the build tree's wine-env.sh)
set -uo pipefail
source "$1"
shift
fresh=$(mktemp -d "${TMPDIR:-/tmp}/tovask-fresh.XXXXXX")
export WINEPREFIX="$fresh/prefix"
cleanup() {
    wineserver -k >/dev/null 2>&1
    rm -rf "$fresh"
}
trap cleanup EXIT
"$(dirname "$0")/../../cmake/init-wine-prefix.sh"
"$WINE" "$@"
