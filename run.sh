#!/usr/bin/env bash
# Builds Tarnwell and starts it on this display:
#   bash run.sh            the Linux programs (then `cmake --install build/linux` installs them)
#   bash run.sh windows    the Windows program, under Wine (in your own Wine prefix)
# Installs what is missing first.
set -u
cd "$(dirname "$0")"
flavour=${1:-linux}

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: there is no display to show Tarnwell's window on (DISPLAY is not set)." >&2
  echo "Start it from a desktop session, or over ssh -X." >&2
  exit 1
fi

case $flavour in
linux)
  tests/tools/ensure-packages g++ cmake ninja-build pkg-config googletest libfltk1.3-dev \
    zlib1g-dev || exit 1
  cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
  # Everything `cmake --install build/linux` installs, not the program alone.
  cmake --build build/linux --target installable -j "$(nproc)" || exit 1
  exec build/linux/app/tarnwell
  ;;
windows)
  tests/tools/ensure-packages g++ cmake ninja-build googletest g++-mingw-w64-x86-64 \
    mingw-w64-tools wine wine64 fonts-wine || exit 1
  cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" >/dev/null || exit 1
  cmake --build build/windows --target tarnwell -j "$(nproc)" || exit 1
  # Your prefix, made now if it is new, with the fonts the dialogs are laid out for.
  prefix=${WINEPREFIX:-$HOME/.wine}
  if [ ! -d "$prefix/drive_c/windows/Fonts" ]; then
    DISPLAY= WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w
  fi
  tests/tools/wine-fonts "$prefix"
  exec wine build/windows/app/tarnwell.exe
  ;;
*)
  echo "usage: bash run.sh [windows]" >&2
  exit 2
  ;;
esac
