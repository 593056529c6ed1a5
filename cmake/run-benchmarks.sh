#!/usr/bin/env bash
# Builds and runs the benchmarks inside a Wine session; they print figures.
# The timed programs are those of the build tree that Wine runs here; the
# figures of the executable are those of the program that ships.
# Usage: run-benchmarks.sh WINE_BUILD_TREE SHIPPED_PROGRAM.exe
set -euo pipefail
windows=$(realpath "$1")
cmake --build "$windows" --target benchmarks -j 2
run="$windows/wine-run"
tovask=$("$WINE" winepath -w "$windows/app/Tovask.exe")
minimal=$("$WINE" winepath -w "$windows/bench/minimal_window.exe")
fair_floor=$("$WINE" winepath -w "$windows/bench/minimal_window_controls.exe")
same_controls=$("$WINE" winepath -w "$windows/bench/minimal_window_program_controls.exe")
ends_at_once=$("$WINE" winepath -w "$windows/bench/minimal_exit.exe")
"$run" "$windows/bench/startup_bench.exe" "$tovask" "$minimal" "$fair_floor" "$same_controls"
"$run" "$windows/bench/unattended_run_bench.exe" "$tovask" "$ends_at_once"
"$run" "$windows/bench/repair_run_bench.exe"
"$run" "$windows/bench/browser_check_bench.exe"
"$run" "$windows/bench/network_check_bench.exe"
"$run" "$windows/bench/shortcut_check_bench.exe"
"$run" "$windows/bench/other_ways_in_bench.exe"
"$run" "$windows/bench/profiles_bench.exe"
"$run" "$windows/bench/startup_sources_bench.exe"
/usr/bin/python3 bench/executable_figures.py "$2"
