#!/usr/bin/env bash
# Builds the Debian package of zkhelp from a release tree in build-release and
# prints the package's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps dpkg-dev file

build="$root/build-release"
# Debian's hardening flags, all of them: stack protector, fortified calls,
# full RELRO with immediate binding; PIE is the compiler's default here.
# Fortification goes to level 3 (Debian's default from version 13 on): at
# level 2 only copies of a size known when compiling are checked, and the
# programs' copies all go through Qt's containers, whose sizes are known only
# at run time, so nothing would be checked at all.
# Passed on every run, so a tree configured before still gets them.
eval "$(cd "$root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
CPPFLAGS=${CPPFLAGS/-D_FORTIFY_SOURCE=2/-D_FORTIFY_SOURCE=3}
# The package puts the programs in /usr/bin; built for that prefix, they
# know themselves installed there and keep to the user's folders.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j2 >/dev/null
rm -f "$build"/zkhelp_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/zkhelp_*.deb
