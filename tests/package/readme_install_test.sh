#!/usr/bin/env bash
# The README's way from the source to an installed Tarnwell, in its order, on a fresh copy of
# the source: `bash run.sh` (ended here once it has started the program), then
# `cmake --install build/linux --prefix PREFIX`, which must install every file.
#   readme_install_test.sh SOURCE-FOLDER        (on a display: run.sh starts the program)
set -u
work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwell-readme-XXXXXX") || exit 1
runner=
trap '[ -n "$runner" ] && kill $runner 2>/dev/null; wait; rm -rf "$work"' EXIT
# A fresh clone's files: those git knows, as they stand.
(cd "$1" && git ls-files -z | tar --null -T - -c) | tar -x -C "$work" || exit 1
# The program's settings, and FLTK's, in a home of the test's own.
(cd "$work" && HOME=$work XDG_CONFIG_HOME=$work/.config exec bash run.sh) >"$work/run.log" 2>&1 &
runner=$!
# A build from nothing takes minutes; then run.sh's process becomes the program.
until [ "$(readlink /proc/$runner/exe)" = "$work/build/linux/app/tarnwell" ]; do
  kill -0 $runner 2>/dev/null || { cat "$work/run.log"; echo "run.sh ended before the program" >&2; exit 1; }
  sleep 1
done
(cd "$work" && cmake --install build/linux --prefix "$work/prefix") || { echo "the install failed" >&2; exit 1; }
status=0
for file in bin/tarnwell bin/tarnwell-cli share/man/man1/tarnwell.1 share/man/man1/tarnwell-cli.1 \
  share/applications/tarnwell.desktop share/doc/tarnwell/README.md \
  share/icons/hicolor/{32x32,48x48,64x64,128x128}/apps/tarnwell.png; do
  [ -s "$work/prefix/$file" ] || { echo "not installed: $file" >&2; status=1; }
done
"$work/prefix/bin/tarnwell-cli" --version || status=1
exit $status
