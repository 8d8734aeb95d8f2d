#!/usr/bin/env bash
# The web page's test tools, from tests/web/package.json (puppeteer-core, installed there
# with `npm ci` from the lock file on first use, one installer at a time), run with node:
#
#   web-tools.sh install            installs the tools and nothing else
#   web-tools.sh SCRIPT.mjs ARGS... runs tests/web/SCRIPT.mjs with the arguments
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tools="$root/tests/web"

# shellcheck source=npm-tools.sh
. "$root/scripts/npm-tools.sh"
install_tools() { install_npm_tools "$tools"; }

case "${1:-}" in
  install)
    install_tools
    ;;
  *.mjs)
    [ -f "$tools/$1" ] || { echo "web-tools.sh: no such tool: $1" >&2; exit 2; }
    install_tools
    script="$1"
    shift
    # NOTE: the browser gets no display: it is always headless, whatever DISPLAY says
    exec env -u DISPLAY node "$tools/$script" "$@"
    ;;
  *)
    sed -n '2,7p' "$0" >&2
    exit 2
    ;;
esac
