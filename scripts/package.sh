#!/usr/bin/env bash
# Builds the Debian package of zkhelp from a release tree in build-release and
# prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps dpkg-dev file

build="$root/build-release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
rm -f "$build"/zkhelp_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/zkhelp_*.deb
