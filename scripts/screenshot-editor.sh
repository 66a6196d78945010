#!/usr/bin/env bash
# Makes docs/editor.png: the editor window with a copy of examples/ opened as
# a project and one section shown, drawn offscreen. The copy lives in a
# temporary folder, so the sample set stays untouched and no "Path" or project
# file lands in the repository.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps

build="$root/build/screenshot"
cmake -S "$root/scripts/screenshot" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target zkhelp_editor_screenshot >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"; rm -f "$build/Path"' EXIT
cp -r "$root/examples" "$work/Beispiele"
echo '<zkproject name="Beispiele"/>' > "$work/Beispiele/Beispiele.zkproject"

QT_QPA_PLATFORM=offscreen "$build/zkhelp_editor_screenshot" \
    "$work/Beispiele/Beispiele.zkproject" "intro.zkhelp/de/Überblick" "$root/docs/editor.png" \
    2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR -e 'Registriere Unterordner' >&2)
echo "wrote $root/docs/editor.png"
