#!/usr/bin/env bash
# Installs what is missing, builds, prepares the working directory build/run and starts
# stageworks there on the shipped demo scene. With a DISPLAY it runs there; without one it
# runs on a private X server for a few seconds and prints the path of a screenshot.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="$(nproc 2>/dev/null || echo 2)"

"$root/scripts/setup.sh"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target stageworks rundata headless_run

rundir="$root/build/run"
mkdir -p "$rundir"
# The user's saved scene is kept; everything else is refreshed from the build.
for entry in "$root"/build/rundata/*; do
  name="$(basename "$entry")"
  if [ "$name" = "escena.xml" ] && [ -e "$rundir/escena.xml" ]; then continue; fi
  cp -a "$entry" "$rundir/"
done

cd "$rundir"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/build/stageworks/app/stageworks" "$@"
fi
shot="$rundir/screenshot.png"
exec "$root/build/tools/xdriver/headless_run" --seconds "${HEADLESS_SECONDS:-5}" --shot "$shot" \
  --ready " MainLoop started..." -- "$root/build/stageworks/app/stageworks" "$@"
