#!/usr/bin/env bash
# Exports the sample topic "intro" with zkhelp_cli and photographs the first
# page in headless Chromium: docs/export.png, shown in the README.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps chromium fonts-dejavu-core

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build" -j2 --target zkhelp_cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "$root/examples" > "$work/Path"
(cd "$work" && "$root/build/cli/zkhelp_cli" -html intro >/dev/null)
mkdir -p "$root/docs"
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=900,1000 \
    --screenshot="$root/docs/export.png" "file://$work/html_export_intro/intro.html" 2>/dev/null
echo "$root/docs/export.png"
