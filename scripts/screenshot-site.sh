#!/usr/bin/env bash
# Publishes the sample set with zkhelp_cli -site and photographs two of its
# pages in headless Chromium: docs/site.png (the English intro, its first
# section marked as translated from an older German text, so that the banner
# shows) and docs/site-search.png (the German search for "hilfe*"). Both are
# shown in the README.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps chromium fonts-dejavu-core

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build" -j2 --target zkhelp_cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/examples" "$work/set"
sed -i 's|<section name="Overview">|<section name="Overview" basis="de:0000000000000000">|' \
    "$work/set/intro.zkhelp"
"$root/build/cli/zkhelp_cli" -site "$work/site" "$work/set" --reference de >/dev/null
mkdir -p "$root/docs"
shoot() {
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size="$1" \
        --user-data-dir="$work/profile" --screenshot="$root/docs/$2" "$3" 2>/dev/null
    echo "$root/docs/$2"
}
shoot 800,760 site.png "file://$work/site/en/intro.html"
shoot 800,420 site-search.png "file://$work/site/de/search.html?q=hilfe*"
