#!/usr/bin/env bash
# Times zkhelp_viewer's file list and document display against their floors
# on a freshly generated folder of help files.
# Usage: bench/bench_viewer.sh BUILD_DIR
# Environment: RUNS (default 20), FLAT_FILES (20000).
set -euo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/zkhelp_bench_gen" flat "$work/flat" "${FLAT_FILES:-20000}" >&2
mkdir "$work/run"
QT_QPA_PLATFORM=offscreen "$build/bench/zkhelp_bench_viewer" "$work/flat" "$work/run" \
    "${RUNS:-20}" 2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR >&2)
