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

# shellcheck source=npm-tools.sh
. "$root/scripts/npm-tools.sh"
install_tools() { install_npm_tools "$tools"; }

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
