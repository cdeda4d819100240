#!/usr/bin/env bash
# Builds every flavour of Tarnwell and runs every test:
#   Linux (g++ and FLTK), Linux again under AddressSanitizer and UndefinedBehaviorSanitizer,
#   and Windows (MinGW-w64), whose tests run under Wine; Linux for arm64 (the Raspberry Pi),
#   cross-built, whose tests run under qemu; the packages of the Linux, Windows and arm64
#   trees (.debs, a zip and a setup), which tests unpack or install and start; and the fuzz
#   targets (clang and libFuzzer), each for a fixed number of inputs (tests/fuzz/run-fuzzers
#   runs them longer).
# Installs what is missing first. GUI tests start private Xvfb displays of their own; the
# Windows tests share a Wine prefix made afresh for this run and stopped at its end.
set -u
cd "$(dirname "$0")"
top=$(pwd)

tests/tools/ensure-packages g++ cmake ninja-build pkg-config googletest libfltk1.3-dev \
  zlib1g-dev g++-mingw-w64-x86-64 mingw-w64-tools nsis wine wine64 fonts-wine xvfb xdotool socat \
  imagemagick x11-utils x11-xserver-utils openbox man-db desktop-file-utils lintian systemd clang-14 \
  libfuzzer-14-dev || exit 1

# The arm64 tree's compiler, emulator (and Python, which asks the kernel what qemu cannot
# pass on) and libraries, the libraries as Debian's arm64 packages beside the host's
# (multiarch). Those must be at the very versions installed for the host, which the archive
# may not have at the moment (a mirror mid-sync, or one that has moved on since they were
# installed): then the tree is not tested, this run says why, and that alone does not fail
# it. apt upgrading the host's libraries to match is allowed only where
# nothing else is running (CI, or TARNWELL_ALLOW_UPGRADES=1). TARNWELL_ARM64_EXTRA_PACKAGES
# names more packages to ask for: one that does not exist shows the not-tested path.
untested=()
arm64_only_new=--keep-installed
[ "${CI:-}" = true ] || [ "${TARNWELL_ALLOW_UPGRADES:-}" = 1 ] && arm64_only_new=
# shellcheck disable=SC2086 # the extra names are words
if ! { why=$(tests/tools/ensure-packages $arm64_only_new crossbuild-essential-arm64 qemu-user-static \
  python3 libfltk1.3-dev:arm64 libx11-dev:arm64 zlib1g-dev:arm64 ${TARNWELL_ARM64_EXTRA_PACKAGES:-} \
  2>&1 1>&3 | tail -1; exit "${PIPESTATUS[0]}"); } 3>&1; then
  echo "== linux-arm64 not tested: ${why#ensure-packages: }"
  untested+=(linux-arm64)
fi

jobs=$(nproc)
configure_and_build() {  # name, cmake arguments...
  local name=$1
  shift
  echo "== build $name"
  cmake -S . -B "build/$name" -G Ninja "$@" >"build/$name.configure.log" 2>&1 ||
    { cat "build/$name.configure.log"; return 1; }
  cmake --build "build/$name" -j "$jobs" || return 1
}

mkdir -p build
failed=()
built=()
configure_and_build linux -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
  built+=(linux) || failed+=("build linux")
configure_and_build linux-asan -DCMAKE_BUILD_TYPE=Debug -DTARNWELL_SANITIZE=ON &&
  built+=(linux-asan) || failed+=("build linux-asan")
configure_and_build windows -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" &&
  built+=(windows) || failed+=("build windows")
configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWELL_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 &&
  built+=(fuzz) || failed+=("build fuzz")
if [[ " ${untested[*]} " != *" linux-arm64 "* ]]; then
  configure_and_build linux-arm64 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/aarch64-linux-gnu.cmake" &&
    built+=(linux-arm64) || failed+=("build linux-arm64")
fi

# The packages, which the package tests unpack and start: the .debs of the Linux and arm64
# trees and the zip and the setup of the Windows tree, each in its tree's folder.
for name in linux windows linux-arm64; do
  [[ " ${built[*]} " == *" $name "* ]] || continue
  echo "== package $name"
  cmake --build "build/$name" --target package >"build/$name.package.log" 2>&1 &&
    grep -h 'package: .* generated' "build/$name.package.log" ||
    { cat "build/$name.package.log"; failed+=("package $name"); }
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Files the tests make go to a folder of this run, emptied first; each test program removes
# its own files, and the folder goes at the end.
rm -rf build/test-files && mkdir -p build/test-files
files=$top/build/test-files
# Some tests run parts as other accounts (nobody, a user id of their own), which must reach
# the files: where this tree lies in a folder closed to them, the files go to a folder of
# this run in /tmp instead.
if [ "$(id -u)" = 0 ] && ! setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$files"; then
  files=$(mktemp -d /tmp/tarnwell-test-files-XXXXXX) && chmod 755 "$files" || exit 1
fi
export TMPDIR=$files

# The Wine prefix belongs to this run: made fresh by the first Windows test, stopped here.
rm -rf build/windows/wine-prefix build/windows/wine-prefix.lock
# A tree that did not build is not tested: its old programs would prove nothing.
for name in "${built[@]}"; do
  echo "== test $name"
  (cd "build/$name" && ctest --output-on-failure -j "$jobs") || failed+=("test $name")
done
if [ -d build/windows/wine-prefix ]; then
  WINEPREFIX="$top/build/windows/wine-prefix" wineserver -k 2>/dev/null
  WINEPREFIX="$top/build/windows/wine-prefix" wineserver -w
fi
# What is still there (but Wine's server folder, wine-*) a test failed to remove: it stays
# for a look, and the run fails.
left=$(find "$files" -mindepth 1 -maxdepth 1 ! -name 'wine-*' -printf '%f ')
if [ -n "$left" ]; then
  echo "Left behind in $files: $left"
  failed+=("cleanup")
else
  rm -rf "$files" build/test-files
fi

not_tested=
[ ${#untested[@]} -gt 0 ] && not_tested="; not tested: ${untested[*]} (see above)"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: ${failed[*]}$not_tested"
  exit 1
fi
if [ -n "$not_tested" ]; then
  echo "All builds and tests that ran passed$not_tested."
else
  echo "All builds and tests passed."
fi
