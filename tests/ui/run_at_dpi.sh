#!/usr/bin/env bash
# Runs a test program of this build tree at another screen dpi, then puts the
# prefix's setting back, whatever the outcome.
# Usage: run_at_dpi.sh WINE_ENV DPI PROGRAM [ARGUMENT...]
# (WINE_ENV: the build tree's wine-env.sh)
set -uo pipefail
source "$1"
dpi=$2
shift 2
source "$(dirname "$0")/../../cmake/wine-dpi.sh"
trap restore_wine_dpi EXIT
set_wine_dpi "$dpi"
"$WINE" "$@"
