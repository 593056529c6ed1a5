#!/usr/bin/env bash
# Runs a test program of this build tree at another screen dpi, then puts the
# prefix's setting back, whatever the outcome.
# Usage: run_at_dpi.sh WINE_PREFIX DPI PROGRAM [ARGUMENT...]
set -uo pipefail
export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
dpi=$2
shift 2
source "$(dirname "$0")/../../cmake/wine-dpi.sh"
trap restore_wine_dpi EXIT
set_wine_dpi "$dpi"
wine "$@"
