#!/usr/bin/env bash
# Installs the viewer's part of the build into a scratch prefix and checks that a help file opened
# from a file manager would reach the viewer: a valid desktop entry that
# passes the file, a MIME type for *.zkhelp that shared-mime-info accepts and
# that the entry names, and the icon beside them; that the entry takes
# zkhelp: addresses (xdg-open finds it through mimeinfo.cache) and that the
# header for applications is installed.
# Usage: check_desktop_files.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" --component viewer >/dev/null
share=$prefix/share
entry=$share/applications/zkhelp_viewer.desktop
[ -x "$prefix/bin/zkhelp_viewer" ] || fail "zkhelp_viewer not installed"
[ -f "$share/icons/hicolor/scalable/apps/zkhelp_viewer.svg" ] || fail "icon not installed"
xmllint --noout "$share/icons/hicolor/scalable/apps/zkhelp_viewer.svg"

report=$(desktop-file-validate "$entry" 2>&1) || fail "$report"
[ -z "$report" ] || fail "$report"
grep -qx 'Exec=zkhelp_viewer %u' "$entry" || fail "Exec does not pass the opened file"
grep -qx 'MimeType=application/x-zkhelp;x-scheme-handler/zkhelp;' "$entry" ||
    fail "entry names another MIME type"
update-desktop-database "$share/applications"
grep -qx 'x-scheme-handler/zkhelp=zkhelp_viewer.desktop;' "$share/applications/mimeinfo.cache" ||
    fail "no handler for zkhelp: addresses"
[ -f "$prefix/include/zkhelp/helpclient.h" ] || fail "helpclient.h not installed"

xmllint --noout "$share/mime/packages/zkhelp.xml"
# Anything it prints is a complaint once it knows the folder is searched.
report=$(XDG_DATA_DIRS=$share update-mime-database "$share/mime" 2>&1) || fail "$report"
[ -z "$report" ] || fail "$report"
grep -qx 'application/x-zkhelp application/xml' "$share/mime/subclasses" ||
    fail "not a sub-class of XML"
grep -q ':application/x-zkhelp:\*\.zkhelp' "$share/mime/globs2" || fail "no *.zkhelp glob"
mimeinfo=$share/mime/application/x-zkhelp.xml
grep -q '<comment>' "$mimeinfo" || fail "no English comment"
grep -q '<comment xml:lang="de">' "$mimeinfo" || fail "no German comment"
echo "desktop files OK"
