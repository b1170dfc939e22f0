#!/usr/bin/env bash
# Installs what the web page's browser tests drive Chromium with: the playwright-core release
# pinned in web/tests/package-lock.json, into web/tests/node_modules.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v npm >/dev/null; then
    # Debian's npm; a node from elsewhere that brings its own npm is left as it is.
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y npm
fi
npm ci --prefix web/tests --no-audit --no-fund
