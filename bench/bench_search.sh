#!/usr/bin/env bash
# Times the full-text search on a freshly generated folder of help files:
#   - the first index of every file (a whole zkhelp_cli -search run with an
#     empty cache) against the reader alone parsing them all;
#   - a search over the unchanged, indexed set, as a whole process, against
#     grep -rli over the folder and against zkhelp_cli -lsf "" over it, for
#     a word of a few topics and for one most topics hold;
#   - the viewer's longest event-loop gap (10 ms timer) while it indexes.
# Usage: bench/bench_search.sh BUILD_DIR
# Environment: RUNS (default 5), FLAT_FILES (20000).
set -euo pipefail
export LC_ALL=C
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
runs=${RUNS:-5}
files=${FLAT_FILES:-20000}
cli=$build/cli/zkhelp_cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/zkhelp_bench_gen" flat "$work/flat" "$files" >/dev/null
mkdir "$work/run" "$work/gap"
echo "$work/flat" >"$work/run/Path"
export XDG_CACHE_HOME=$work/cache
word=lizenz
common=ordner

source "$(dirname "${BASH_SOURCE[0]}")/timing.sh"

first=$(best run "'$cli' -search $word" "rm -rf '$work/cache'")
parse=$(best run "'$build/bench/zkhelp_bench_parseall' '$work/flat'")
"$cli" -search "$word" >/dev/null 2>&1 || true
search=$(best run "'$cli' -search $word")
grep_time=$(best run "grep -rli $word '$work/flat'")
search_common=$(best run "'$cli' -search $common")
grep_common=$(best run "grep -rli $common '$work/flat'")
lsf=$(best run "'$cli' -lsf ''")
read -r gap indexed < <(QT_QPA_PLATFORM=offscreen "$build/bench/zkhelp_bench_indexgap" \
    "$work/flat" "$work/gap" 2>/dev/null)

echo "full-text search benchmark: $files files, best of $runs runs, $(nproc) cores"
row case zkhelp floor floor ratio goal verdict
timed "first index (-search, empty cache)" "$first" "parse every file" "$parse" 2
timed "search, unchanged index" "$search" "grep -rli $word" "$grep_time" 1
timed "search, unchanged index" "$search" "-lsf \"\"" "$lsf" 1.5
timed "search for a common word" "$search_common" "grep -rli $common" "$grep_common" 1
timed "search for a common word" "$search_common" "-lsf \"\"" "$lsf" 1.5
verdict=$( ((gap <= 50)) && echo met || echo MISSED)
row "viewer: longest event-loop gap" "$gap ms" "10 ms timer, while indexing" "" "" "<= 50 ms" "$verdict"
echo "(the viewer indexed $files files in $indexed ms from construction)"
