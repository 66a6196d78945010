#!/usr/bin/env bash
# Times the commands that read a whole large help set against their floors,
# on sets generated afresh, one table:
#   - -lsf "" over SCALE_FILES files in one folder against find;
#   - -check over SCALE_FILES linked topics in 30 languages (about 2 GB at
#     100,000) against the reader alone parsing every file on one thread;
#   - the first full-text index (-search on an empty cache) over INDEX_FILES
#     such topics against the same reader, and the size of that index against
#     the bytes of the files it indexes;
#   - over the SCALE_FILES topics in 30 languages: the first index (one run),
#     a warm search for a word no topic holds and for a common one against
#     grep -rli, the most memory each command holds, the viewer's longest
#     event-loop gap while it lists and indexes them, and its answer to
#     either word typed into its search field.
# The check and the index read on every core, so on an idle machine they may
# beat the one-thread floor; other load on the machine shows in the ratios.
# Usage: bench/bench_scale.sh BUILD_DIR (GNU time, /usr/bin/time, for memory)
# Environment: RUNS (default 3), SCALE_FILES (100000), INDEX_FILES (30000),
# SCALE_DIR (a folder for the sets, default a temporary one; they are
# removed afterwards).
set -euo pipefail
export LC_ALL=C
build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
runs=${RUNS:-3}
files=${SCALE_FILES:-100000}
indexed=${INDEX_FILES:-30000}
cli=$build/cli/zkhelp_cli
gen=$build/bench/zkhelp_bench_gen
parseall=$build/bench/zkhelp_bench_parseall
work=$(mktemp -d ${SCALE_DIR:+-p "$SCALE_DIR"})
trap 'rm -rf "$work"' EXIT

echo "generating $files + $indexed topics in 30 languages and $files flat files in $work ..." >&2
"$gen" flat "$work/flat" "$files" >/dev/null
"$gen" linked30 "$work/checked" "$files" >/dev/null
"$gen" linked30 "$work/indexed" "$indexed" >/dev/null
for set in flat checked indexed; do
    mkdir "$work/run_$set"
    echo "$work/$set" >"$work/run_$set/Path"
done
export XDG_CACHE_HOME=$work/cache

source "$(dirname "${BASH_SOURCE[0]}")/timing.sh"

# A timing means something only if the run did the whole job.
listed=$(cd "$work/run_flat" && "$cli" -lsf '' | wc -l)
[ "$listed" -gt $((files * 9 / 10)) ] || { echo "-lsf listed only $listed files" >&2; exit 1; }
(cd "$work/run_checked" && "$cli" -check "$work/checked" | tail -n 1 | grep -q "^$files Dateien") ||
    { echo "-check did not report $files files" >&2; exit 1; }

lsf=$(best run_flat "'$cli' -lsf ''")
find_time=$(best run_flat "find '$work/flat' -name '*.zkhelp'")
check=$(best run_checked "'$cli' -check '$work/checked'")
parse_checked=$(best run_checked "'$parseall' '$work/checked'")
first=$(best run_indexed "'$cli' -search lizenz" "rm -rf '$work/cache'")
parse_indexed=$(best run_indexed "'$parseall' '$work/indexed'")
index_bytes=$(cat "$work/cache/zkhelp/search.sqlite"* | wc -c)
text_bytes=$(du -sb "$work/indexed" | cut -f1)

# The large set's first index is timed once: it takes minutes.
rm -rf "$work/cache"
read -r first_large mem_first < <(once run_checked "'$cli' -search lizenz")
absent=$(best run_checked "'$cli' -search lizenz")
grep_absent=$(best run_checked "grep -rli lizenz '$work/checked'")
common=$(best run_checked "'$cli' -search ordner")
grep_common=$(best run_checked "grep -rli ordner '$work/checked'")
read -r _ mem_search < <(once run_checked "'$cli' -search ordner")
read -r _ mem_check < <(once run_checked "'$cli' -check '$work/checked'")
mkdir "$work/gap"
read -r gap viewer_indexed typed_common typed_absent < <(QT_QPA_PLATFORM=offscreen \
    "$build/bench/zkhelp_bench_indexgap" "$work/checked" "$work/gap" ordner lizenz 2>/dev/null)

mib() { du -sb "$1" | awk '{ printf "%.0f MiB", $1 / 1048576 }'; }
echo
echo "large sets: best of $runs runs, $(nproc) cores; $files topics in 30 languages $(mib "$work/checked")," \
    "$indexed of them $(mib "$work/indexed")"
row "case" "zkhelp" "floor" "floor" "ratio" "goal" ""
timed "-lsf '' ($files files)" "$lsf" "find -name '*.zkhelp'" "$find_time" 2
timed "-check ($files x 30 languages)" "$check" "reader alone, one thread" "$parse_checked" 0.75
timed "first index ($indexed x 30 languages)" "$first" "reader alone, one thread" "$parse_indexed" 2
row "index size ($indexed x 30 languages)" "$((index_bytes / 1048576)) MiB" "the files it indexes" \
    "$((text_bytes / 1048576)) MiB" "$(awk -v a="$index_bytes" -v b="$text_bytes" 'BEGIN { printf "%.2fx", a / b }')" \
    "<= 1x" "$( ((index_bytes <= text_bytes)) && echo met || echo MISSED)"
timed "first index ($files x 30 languages, one run)" "$first_large" "reader alone, one thread" "$parse_checked" 2
# The searches' goals are times of their own; grep stands beside them.
searched() {
    row "$1" "$(printf '%.3f s' "$2")" "$3" "$(printf '%.3f s' "$4")" \
        "$(awk -v a="$2" -v b="$4" 'BEGIN { printf "%.2fx", a / b }')" "<= $5 s" \
        "$(awk -v a="$2" -v g="$5" 'BEGIN { print (a <= g) ? "met" : "MISSED" }')"
}
searched "search, a word no topic holds" "$absent" "grep -rli lizenz" "$grep_absent" 0.05
searched "search, a common word" "$common" "grep -rli ordner" "$grep_common" 0.1
for case in "-check:$mem_check" "first index:$mem_first" "search, a common word:$mem_search"; do
    mem=${case##*:}
    row "most memory held: ${case%%:*}" "$mem MiB" "" "" "" "<= 300 MiB" \
        "$( [ "$mem" != "?" ] && ((mem <= 300)) && echo met || echo MISSED)"
done
row "viewer: longest event-loop gap" "$gap ms" "10 ms timer, listing and indexing" "" "" "<= 50 ms" \
    "$( ((gap <= 50)) && echo met || echo MISSED)"
for case in "a common word:$typed_common" "a word no topic holds:$typed_absent"; do
    ms=${case##*:}
    row "viewer: typing ${case%%:*} to its hits" "$ms ms" "after the 200 ms typing pause" "" "" \
        "<= 50 ms" "$( ((ms <= 50)) && echo met || echo MISSED)"
done
echo "(the viewer listed and indexed the $files topics in $viewer_indexed ms)"
