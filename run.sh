#!/usr/bin/env bash
# Builds the Linux program and starts it: bash run.sh
set -u
cd "$(dirname "$0")"
tests/tools/ensure-packages g++ cmake ninja-build pkg-config googletest libfltk1.3-dev || exit 1
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build/linux -j "$(nproc)" || exit 1
if [ -x build/linux/app/tarnwell ]; then
  exec build/linux/app/tarnwell
fi
echo "Built the settings store, the serial link, the status windows, the transfer sessions and"
echo "the configuration dialog in build/linux."
echo "Tarnwell's main window comes in a later version; there is nothing to start yet."
