#!/usr/bin/env bash
# The README's way from the source to an installed Tarnwell, in its order, on a fresh build
# folder: `bash run.sh` (which builds, then starts the program: ended here once it runs), then
# `cmake --install build/linux --prefix PREFIX`, which must install every file, and the
# installed tarnwell-cli must run. Needs a display (run.sh starts the window program).
#   readme_install_test.sh SOURCE-FOLDER
set -u
source=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-readme-XXXXXX") || exit 1
runner=
cleanup() {
  [ -n "$runner" ] && kill "$runner" 2>/dev/null && wait "$runner" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "readme_install_test: $*" >&2
  exit 1
}

# A fresh clone's files: those git knows, as they stand in the working tree.
mkdir "$work/clone" "$work/home"
(cd "$source" && git ls-files -z | tar --null -T - -c) | tar -x -C "$work/clone" ||
  fail "could not copy the source"

# The program that run.sh ends in keeps its settings and FLTK's out of the user's home.
(cd "$work/clone" && HOME=$work/home XDG_CONFIG_HOME=$work/home/.config exec bash run.sh) \
  >"$work/run.log" 2>&1 &
runner=$!
program=$work/clone/build/linux/app/tarnwell
# Building from nothing takes minutes; run.sh's process becomes the program once it is built.
deadline=$((SECONDS + 1500))
until [ "$(readlink "/proc/$runner/exe" 2>/dev/null)" = "$program" ]; do
  if ! kill -0 "$runner" 2>/dev/null; then
    cat "$work/run.log"
    fail "bash run.sh ended before it started the program"
  fi
  [ $SECONDS -lt $deadline ] || fail "bash run.sh did not start the program in time"
  sleep 1
done
kill "$runner" && wait "$runner" 2>/dev/null
runner=

prefix=$work/prefix
(cd "$work/clone" && cmake --install build/linux --prefix "$prefix") >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  fail "cmake --install failed after bash run.sh"
}
missing=0
for file in bin/tarnwell bin/tarnwell-cli share/man/man1/tarnwell.1 share/man/man1/tarnwell-cli.1 \
  share/applications/tarnwell.desktop share/doc/tarnwell/README.md \
  share/icons/hicolor/{32x32,48x48,64x64,128x128}/apps/tarnwell.png; do
  [ -s "$prefix/$file" ] || { echo "not installed: $file" >&2; missing=1; }
done
[ $missing -eq 0 ] || fail "files missing from the install"
version=$("$prefix/bin/tarnwell-cli" --version) || fail "the installed tarnwell-cli does not run"
echo "bash run.sh, then cmake --install: $version and every file in place"
