#!/usr/bin/env bash
# Builds the viewer and saves docs/viewer.png: its window, drawn by the
# offscreen platform, showing the sample topic intro from examples/ in the
# language given (default en).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
# The offscreen platform draws text only with a font installed.
zkhelp_install_deps fonts-dejavu-core

# The screenshot tools are built only on request, in a tree of their own.
build="$root/build-screenshot"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZKHELP_DEV_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target zkhelp_viewer_screenshot

# A working folder of its own whose Path file names the sample folder.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settings, caches and recovery data of its own: a picture never shows a
# zoom or window size remembered from someone's last session.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
mkdir -p "$root/docs"
echo "$root/examples" > "$work/Path"
cd "$work"
QT_QPA_PLATFORM=offscreen "$build/viewer/zkhelp_viewer_screenshot" \
    "$root/docs/viewer.png" intro "${1:-en}" \
    2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR >&2)
echo "wrote $root/docs/viewer.png"
