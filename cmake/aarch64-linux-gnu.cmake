# Cross-compiling Tarnwell for 64-bit ARM Linux (Debian's arm64, 64-bit Raspberry Pi OS)
# with Debian's cross compiler (crossbuild-essential-arm64). The target's libraries are
# Debian's own arm64 packages installed beside the host's (multiarch: libfltk1.3-dev:arm64
# and the rest), so they sit in /usr/lib/aarch64-linux-gnu under the same /usr/include.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${CMAKE_LIBRARY_ARCHITECTURE}-gcc)
set(CMAKE_CXX_COMPILER ${CMAKE_LIBRARY_ARCHITECTURE}-g++)

# ctest and the build's own tools (the icon's PNGs) run the ARM programs under qemu, with
# the target's multiarch C library (libc6:arm64, which FLTK's package brings) and its own
# loader, /lib/ld-linux-aarch64.so.1. Not -L /usr/aarch64-linux-gnu: that is the cross
# compiler's copy, another build of the C library, and its loader with the multiarch
# libc.so.6 spins for ever at a program's first thread.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static -L /)
