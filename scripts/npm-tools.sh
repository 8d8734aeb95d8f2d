#!/usr/bin/env bash
# The npm test tools of one folder (tests/gltf, tests/web): installed there with `npm ci`
# from the folder's lock file when missing or older than it, one installer at a time.
# Sourced by the tool scripts; run as `npm-tools.sh DIR...` it installs those folders.

# Installs the tools of the folder $1 (its package.json and package-lock.json)
install_npm_tools() {
  local tools="$1"
  exec 9>"$tools/.install.lock"
  flock 9
  if [ ! -f "$tools/node_modules/.package-lock.json" ] ||
     [ "$tools/package-lock.json" -nt "$tools/node_modules/.package-lock.json" ]; then
    (cd "$tools" && npm ci --no-audit --no-fund --loglevel=error >&2)
  fi
  flock -u 9
  exec 9>&-
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  for dir in "$@"; do install_npm_tools "$dir"; done
fi
