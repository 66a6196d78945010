#!/usr/bin/env bash
# Makes docs/editor.png: the editor window with a copy of examples/ opened as
# a project and one section shown, drawn offscreen. The copy lives in a
# temporary folder, so the sample set stays untouched and no "Path" or project
# file lands in the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps

# The screenshot tools are built only on request, in a tree of their own.
build="$root/build-screenshot"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZKHELP_DEV_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target zkhelp_editor_screenshot >/dev/null
tool="$build/scripts/screenshot/zkhelp_editor_screenshot"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Settings, caches and recovery data of its own: a picture never shows a
# reference language or recovered edits from someone's last session.
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
cp -r "$root/examples" "$work/Beispiele"
echo '<zkproject name="Beispiele"/>' > "$work/Beispiele/Beispiele.zkproject"

QT_QPA_PLATFORM=offscreen "$tool" \
    "$work/Beispiele/Beispiele.zkproject" "intro.zkhelp/en/Overview" "$root/docs/editor.png" \
    2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR -e 'Registriere Unterordner' >&2)
echo "wrote $root/docs/editor.png"
