#!/bin/sh
# Prints the CMake preset whose build the Windows tests, `make run` and the
# benchmarks use: `windows`, the program as it ships, where this machine runs
# 32-bit programs under Wine; otherwise `windows64`, the same code built for
# 64-bit Windows (on a kernel without 32-bit emulation, for one, the 32-bit
# loader fails with "Exec format error"). Asked after Wine is installed.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo windows
else
    echo windows64
fi
