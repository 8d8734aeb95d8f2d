#!/usr/bin/env bash
# The glTF export's test tools, from tests/gltf/package.json (installed there with
# `npm ci` on first use, one installer at a time).
#
#   gltf-tools.sh validate FILE.glb|FILE.gltf   the Khronos glTF-Validator; exit 1 on errors
#   gltf-tools.sh screenshot FILE.glb OUT.png   three.js in headless Chromium draws the file
#                                               (tests/support/headless_chromium.mjs: no display
#                                               needed, the browser ends with the run)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tools="$root/tests/gltf"

install_tools() {
  exec 9>"$tools/.install.lock"
  flock 9
  if [ ! -f "$tools/node_modules/.package-lock.json" ] ||
     [ "$tools/package-lock.json" -nt "$tools/node_modules/.package-lock.json" ]; then
    (cd "$tools" && npm ci --no-audit --no-fund --loglevel=error >&2)
  fi
  flock -u 9
}

case "${1:-}" in
  validate)
    [ $# -eq 2 ] || { echo "usage: $0 validate FILE" >&2; exit 2; }
    install_tools
    exec node "$tools/validate.mjs" "$2"
    ;;
  screenshot)
    [ $# -eq 3 ] || { echo "usage: $0 screenshot FILE.glb OUT.png" >&2; exit 2; }
    install_tools
    exec node "$tools/screenshot.mjs" "$2" "$3"
    ;;
  *)
    sed -n '2,9p' "$0" >&2
    exit 2
    ;;
esac
