#!/usr/bin/env bash
# Regenerates every picture of the README from the current build, on the private X server:
# stageworks driven with XTest in a scratch copy of the run data, matforge's windows on a
# scratch copy of the demo scene, both programs side by side (stageworks --window on a wide
# Xvfb screen), the demo scene's glTF export as three.js draws it in headless Chromium, and
# the demo published for the web, its page in headless Chromium beside stageworks --play.
# Writes the PNG files into docs/ (or OUTDIR).
#
#   scripts/pictures.sh [--build-dir DIR] [--no-build] [OUTDIR]
#
#   --build-dir DIR  the CMake build directory (default: build)
#   --no-build       use the programs already built there (the test suite does this)
#
# Exit status 0 when every picture was written and every checked step showed what it
# should.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

build="$root/build"
do_build=1
out="$root/docs"
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$(cd "$2" && pwd)"; shift ;;
    --no-build) do_build=0 ;;
    -h|--help) sed -n '2,13p' "${BASH_SOURCE[0]}"; exit 0 ;;
    -*) echo "pictures.sh: unknown option $1" >&2; exit 2 ;;
    *) out="$1" ;;
  esac
  shift
done

if [ "$do_build" = 1 ]; then
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc 2>/dev/null || echo 2)" \
    --target stageworks stageworks-export stageworks-publish rundata stageworks_pictures matforge_pictures \
    both_pictures web_pictures
fi

mkdir -p "$out"
out="$(cd "$out" && pwd)"
status=0

"$build/tools/pictures/stageworks_pictures" --program "$build/stageworks/app/stageworks" \
  --rundata "$build/rundata" --out "$out" || status=1

if [ -x "$build/tools/pictures/matforge_pictures" ]; then
  "$build/tools/pictures/matforge_pictures" --rundata "$build/rundata" --out "$out" || status=1
  "$build/tools/pictures/both_pictures" --program "$build/stageworks/app/stageworks" \
    --rundata "$build/rundata" --out "$out" || status=1
else
  echo "pictures.sh: matforge was not built (SW_MATFORGE=OFF); its pictures are left as they are" >&2
fi

# The demo scene exported to glTF and drawn by another program (three.js's GLTFLoader)
scratch="$(mktemp -d "${TMPDIR:-/tmp}/pictures-export.XXXXXX")"
if ! "$build/stageworks/export/stageworks-export" "$build/rundata" "$scratch/demo.glb" >/dev/null ||
   ! "$root/scripts/gltf-tools.sh" screenshot "$scratch/demo.glb" "$out/stageworks-export-threejs.png" >/dev/null; then
  echo "pictures.sh: the demo scene's glTF export could not be drawn" >&2
  status=1
fi
rm -rf "$scratch"

# The demo published for the web: the page beside the same view of stageworks --play
"$build/tools/pictures/web_pictures" --program "$build/stageworks/app/stageworks" \
  --publisher "$build/stageworks/publish/stageworks-publish" --rundata "$build/rundata" \
  --source "$root" --out "$out" >/dev/null || status=1

exit "$status"
