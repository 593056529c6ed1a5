#!/usr/bin/env bash
# Builds and runs the benchmarks inside a Wine session; they print figures.
set -euo pipefail
build=$(realpath "$1")
windows="$build/windows"
cmake --build --preset windows --target benchmarks
run="$windows/wine-run"
tovask=$(winepath -w "$windows/app/Tovask.exe")
minimal=$(winepath -w "$windows/bench/minimal_window.exe")
fair_floor=$(winepath -w "$windows/bench/minimal_window_controls.exe")
ends_at_once=$(winepath -w "$windows/bench/minimal_exit.exe")
"$run" "$windows/bench/startup_bench.exe" "$tovask" "$minimal" "$fair_floor"
"$run" "$windows/bench/unattended_run_bench.exe" "$tovask" "$ends_at_once"
"$run" "$windows/bench/repair_run_bench.exe"
/usr/bin/python3 bench/executable_figures.py "$windows/app/Tovask.exe"
