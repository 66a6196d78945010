#!/usr/bin/env bash
# Builds everything and runs the whole test suite. With --sanitize the build
# uses AddressSanitizer and UndefinedBehaviorSanitizer, in a folder of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
zkhelp_install_deps

build="$root/build"
options=(-DCMAKE_BUILD_TYPE=Debug)
if [ "${1:-}" = "--sanitize" ]; then
    build="$root/build-sanitize"
    options+=(-DZKHELP_SANITIZE=ON)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
if [ "${1:-}" = "--thread" ]; then
    # The search index and the set check work on several threads. Debian's
    # Qt is not built with ThreadSanitizer, so hand-overs through QFuture and
    # QThreadPool are reported too: read the reports, the run does not stop
    # at them.
    build="$root/build-tsan"
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZKHELP_SANITIZE=thread >/dev/null
    cmake --build "$build" -j2 --target tst_searchindex tst_parallelreading
    TSAN_OPTIONS=exitcode=0 ctest --test-dir "$build" --output-on-failure \
        -R '^(tst_searchindex|tst_parallelreading)$'
    exit
fi
cmake -S "$root" -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2
