#!/usr/bin/env bash
# Times zkhelp_viewer's file list and document display against their floors
# on a freshly generated folder of help files, and Show of a running viewer
# over a private session bus against the viewer's own show.
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

# show.sh runs inside the private bus: the viewer, then the client beside it.
mkdir "$work/bus"
echo "$work/flat" >"$work/bus/Path"
cat >"$work/show.sh" <<SCRIPT
cd "$work/bus"
export QT_QPA_PLATFORM=offscreen XDG_CACHE_HOME="$work/cache"
"$build/viewer/zkhelp_viewer" & viewer=\$!
"$build/bench/zkhelp_bench_show" "$work/flat" "${RUNS:-20}"
start=\$(date +%s%N)
"$build/viewer/zkhelp_viewer" "zkhelp:\$(cd "$work/flat" && ls *.zkhelp | head -1 | sed 's/.zkhelp$//')"
printf '%-44s %9.1f ms  (goal: exit 0 within 1000 ms)\\n' "zkhelp_viewer ADDRESS handing over, exit \$?" \
    "\$(( (\$(date +%s%N) - start) / 100000 ))e-1"
kill \$viewer
SCRIPT
echo
dbus-run-session -- bash "$work/show.sh" 2> >(grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR \
    -e "does not support" -e "fd limit" >&2)
