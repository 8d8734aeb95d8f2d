#!/usr/bin/env bash
# The published page beside stageworks --play: folder size, time to the first picture in
# headless Chromium, and the frame rate of both, for the demo and 250 mixed objects.
#
#   bench/web_page.sh [--build-dir DIR] [--seconds N] [--no-build]
#
# Builds a Release tree (default build-release/; --no-build uses it as it is), publishes the
# demo scene and a scene of 250 mixed objects (tools/demoscene/mixedscene) with
# stageworks-publish, and measures, each case in one run:
#   size         the published folder (du --apparent-size) and its number of files
#   first frame  headless Chromium (WebGL on SwiftShader, no GPU) from the start of the
#                navigation to the first picture drawn: scene, geometry, textures, the
#                compiled engine and the first frame (bench/web_page.mjs)
#   page fps     the page's own frame loop over --seconds (default 10) after a settling second
#   player fps   stageworks --play on the private X server (bench/frame_rate.sh --play)
# Prints one table.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
build="$root/build-release"
seconds=10
do_build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build="$(realpath -m "$2")"; shift ;;
    --seconds) seconds="$2"; shift ;;
    --no-build) do_build=0 ;;
    -h|--help) sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "web_page.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

if [ "$do_build" = 1 ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSW_MATFORGE=OFF >/dev/null
  cmake --build "$build" -j2 --target stageworks stageworks-publish rundata mixedscene swap_counter \
    bare_gamemode save_timer floor_frame >/dev/null
  if cmake --build "$build" --target help | grep web_engine >/dev/null; then
    cmake --build "$build" -j2 --target web_engine >/dev/null
  fi
fi
"$root/scripts/web-tools.sh" install
scratch="$(mktemp -d "${TMPDIR:-/tmp}/web-page.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# Publishes a case: name, object count (empty: the demo)
publish() {
  mkdir -p "$scratch/$1" && cp -r "$build/rundata/." "$scratch/$1/"
  if [ -n "$2" ]; then "$build/tools/demoscene/mixedscene" "$2" "$scratch/$1" >/dev/null; fi
  "$build/stageworks/publish/stageworks-publish" "$scratch/$1" "$scratch/$1-web" >/dev/null
}
publish demo ""
publish m250 250

player=$("$here/frame_rate.sh" --no-build --build-dir "$build" --play --seconds "$seconds" --cases "demo m250")
player_fps() { echo "$player" | awk -v c="$1" 'index($0, c) == 1 { print $(NF - 8) }'; }

printf '%-20s %9s %6s %14s %9s %12s %11s\n' "case" "size KiB" "files" "first frame ms" "page fps" "page ms/fr" "player fps"
for c in "demo:demo (start view):demo (player)" "m250:mixed 250 objects:mixed 250 objects"; do
  key="${c%%:*}"; rest="${c#*:}"; label="${rest%%:*}"; row_label="${rest#*:}"
  folder="$scratch/$key-web"
  size=$(du -s --apparent-size --block-size=1024 "$folder" | cut -f1)
  files=$(find "$folder" -type f | wc -l)
  read -r first fps ms < <(env -u DISPLAY node "$here/web_page.mjs" "$folder" "$seconds")
  printf '%-20s %9s %6s %14s %9s %12s %11s\n' "$label" "$size" "$files" "$first" "$fps" "$ms" "$(player_fps "$row_label")"
done
echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); $(chromium --version 2>/dev/null)"
