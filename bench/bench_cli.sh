#!/usr/bin/env bash
# Times zkhelp_cli against the cheapest tool that does the same job, on data
# generated afresh in a temporary folder, and prints one table:
#   - printing one large help file against a bare QXmlStreamReader loop (and
#     xmllint as a second reference), with peak memory;
#   - -lsf over one large folder against find;
#   - -html over a web of linked files against cat (read every input) plus cp
#     (write the same number of files of the same total size);
#   - -check over a larger web of linked files against the reader alone
#     reading every one of them;
#   - -po en and -po-import of its output (every message applied, no file
#     changed) over the same set against -check of it.
#   - -site over a web of files in two languages against the reader alone
#     plus cp (write the same files of the same total size), with the size
#     of each language's search index.
#
# Usage: bench/bench_cli.sh BUILD_DIR
# BUILD_DIR is a Release build holding cli/zkhelp_cli and the bench helpers.
# Each time is the best of RUNS runs, the compared commands taking turns
# after one warm-up round; each run is timed by hyperfine when installed, by
# bash otherwise.
# Environment: RUNS (default 5), LSF_RUNS (default 20, the listing is short),
# BIG_MIB (20), FLAT_FILES (20000), LINKED_FILES (2000), CHECK_FILES (20000),
# SITE_FILES (20000),
# NO_HYPERFINE=1.
set -euo pipefail
shopt -s inherit_errexit
export LC_ALL=C

build=$(cd "${1:?usage: $0 BUILD_DIR}" && pwd)
runs=${RUNS:-5}
lsf_runs=${LSF_RUNS:-20}
big_mib=${BIG_MIB:-20}
flat_files=${FLAT_FILES:-20000}
linked_files=${LINKED_FILES:-2000}
check_files=${CHECK_FILES:-20000}
site_files=${SITE_FILES:-20000}

cli=$build/cli/zkhelp_cli
gen=$build/bench/zkhelp_bench_gen
xmlfloor=$build/bench/zkhelp_bench_xmlfloor
parseall=$build/bench/zkhelp_bench_parseall
for program in "$cli" "$gen" "$xmlfloor" "$parseall"; do
    [ -x "$program" ] || { echo "missing $program: build $build first" >&2; exit 1; }
done
grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" 2>/dev/null ||
    echo "warning: $build is not a Release build; figures mean little" >&2

have_xmllint=0
command -v xmllint >/dev/null && have_xmllint=1
use_hyperfine=0
[ -z "${NO_HYPERFINE:-}" ] && command -v hyperfine >/dev/null && use_hyperfine=1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

note() { echo "$*" >&2; }

# one_run DIR PREPARE COMMAND: wall time in seconds of one run of COMMAND in
# DIR, PREPARE (untimed, may be empty) before it, output discarded. Exit
# statuses are not judged here; the checks below do that.
one_run() {
    local dir=$1 prepare=$2 command=$3
    if [ "$use_hyperfine" = 1 ]; then
        local csv=$work/hyperfine.csv
        local args=(--style none --runs 1 --ignore-failure --export-csv "$csv")
        [ -n "$prepare" ] && args+=(--prepare "$prepare")
        if ! (cd "$dir" && hyperfine "${args[@]}" "$command") >/dev/null 2>"$work/hyperfine.err"; then
            cat "$work/hyperfine.err" >&2
            exit 1
        fi
        # The command column may hold commas; min is second to last.
        awk -F, 'NR == 2 { print $(NF - 1) }' "$csv"
    else
        (
            cd "$dir"
            [ -n "$prepare" ] && eval "$prepare" >/dev/null 2>&1
            start=$EPOCHREALTIME
            eval "$command" >/dev/null 2>&1 || true
            end=$EPOCHREALTIME
            awk -v s="$start" -v e="$end" 'BEGIN { print e - s }'
        )
    fi
}

# best_times N DIR PREPARE COMMAND [DIR PREPARE COMMAND ...]: the best of N
# runs of each command, one line each. The commands take turns, in reverse
# order every other round, after one warm-up round: drift in the machine's
# state (write-back, the file system's inode bookkeeping, other load) then
# hits every side alike instead of whichever runs last.
best_times() {
    local n=$1
    shift
    local -a dirs=() prepares=() commands=() best=()
    while (($#)); do
        dirs+=("$1") prepares+=("$2") commands+=("$3")
        shift 3
    done
    local count=${#commands[@]} round k i t
    for ((round = 0; round <= n; round++)); do
        for ((k = 0; k < count; k++)); do
            i=$((round % 2 ? count - 1 - k : k))
            t=$(one_run "${dirs[i]}" "${prepares[i]}" "${commands[i]}")
            ((round == 0)) && continue
            best[i]=$(awk -v t="$t" -v b="${best[i]:-}" 'BEGIN { print (b == "" || t < b) ? t : b }')
        done
    done
    printf '%s\n' "${best[@]}"
}

# peak_kib DIR PROGRAM ARGS...: peak resident set size of one run, in KiB.
peak_kib() {
    local dir=$1
    shift
    if [ -x /usr/bin/time ]; then
        (cd "$dir" && /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1) || true
        tail -n 1 "$work/rss"
    elif command -v python3 >/dev/null; then
        (cd "$dir" && python3 -c '
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@")
    else
        echo "n/a"
    fi
}

fail() {
    echo "check failed: $*" >&2
    exit 1
}

# A run folder per case, each with a Path file naming its data folder, so
# that zkhelp_cli's own Path file never lands among the data.
run_folder() {
    mkdir -p "$work/$1"
    echo "$2" >"$work/$1/Path"
    echo "$work/$1"
}

note "generating data in $work ..."
big=$work/big/gross.zkhelp
mkdir -p "$work/big"
big_info=$("$gen" big "$big" "$big_mib")
"$gen" flat "$work/flat" "$flat_files" >"$work/flat.info"
"$gen" linked "$work/linked" "$linked_files" >"$work/linked.info"
"$gen" linked "$work/checked" "$check_files" >/dev/null
"$gen" linked2 "$work/sited" "$site_files" >/dev/null
big_bytes=$(stat -c %s "$big")
big_languages=$(sed -n 's/.* \([0-9]*\) languages.*/\1/p' <<<"$big_info")
big_sections=$(sed -n 's/.* \([0-9]*\) sections.*/\1/p' <<<"$big_info")
flat_matches=$(sed -n 's/.* \([0-9]*\) match x.*/\1/p' "$work/flat.info")
linked_start=$(sed -n 's/.*start \([^ ]*\).*/\1/p' "$work/linked.info")

run_big=$(run_folder run_big "$work/big")
run_lsf=$(run_folder run_lsf "$work/flat")
run_html=$(run_folder run_html "$work/linked")
run_check=$(run_folder run_check "$work/linked")
mkdir -p "$work/run_floor"
sync

# Checks first: a timing means something only if the run did the whole job.
note "checking the runs ..."
(cd "$run_big" && "$cli" gross >"$work/big.out" 2>"$work/big.err") || true
[ -s "$work/big.err" ] && fail "zkhelp_cli gross warned: $(head -c 300 "$work/big.err")"
head -n 1 "$work/big.out" | grep -q '^3\.1' || fail "zkhelp_cli gross printed no header"
"$xmlfloor" "$big" >/dev/null || fail "zkhelp_bench_xmlfloor could not read $big"
if [ "$have_xmllint" = 1 ]; then
    xmllint --stream --noout "$big" || fail "xmllint rejected $big"
fi

lsf_count=$(cd "$run_lsf" && "$cli" -lsf x 2>/dev/null | wc -l)
find_count=$(find "$work/flat" -maxdepth 1 -iname '*x*.zkhelp' | wc -l)
[ "$lsf_count" = "$flat_matches" ] || fail "-lsf x listed $lsf_count, expected $flat_matches"
[ "$find_count" = "$flat_matches" ] || fail "find listed $find_count, expected $flat_matches"

export_dir=html_export_$linked_start
(cd "$run_html" && "$cli" -html "$linked_start" >"$work/html.out" 2>"$work/html.err") || true
[ -s "$work/html.err" ] && fail "zkhelp_cli -html warned: $(head -c 300 "$work/html.err")"
pages=$(find "$run_html/$export_dir" -name '*.html' | wc -l)
[ "$pages" = "$linked_files" ] || fail "-html wrote $pages pages, expected $linked_files"
mv "$run_html/$export_dir" "$work/html_reference"
html_bytes=$(du -sb "$work/html_reference" | cut -f 1)
html_outputs=$(find "$work/html_reference" -type f | wc -l)

(cd "$run_check" && "$cli" -check "$work/checked" >"$work/check.out" 2>"$work/check.err") || true
[ -s "$work/check.err" ] && fail "zkhelp_cli -check warned: $(head -c 300 "$work/check.err")"
tail -n 1 "$work/check.out" | grep -q "^$check_files Dateien, " ||
    fail "-check did not report $check_files files: $(tail -n 1 "$work/check.out")"
grep -q broken-link "$work/check.out" && fail "-check found broken links in a closed web"
"$parseall" "$work/checked" | grep -q "^$check_files files" || fail "zkhelp_bench_parseall missed files"
check_findings=$(($(wc -l <"$work/check.out") - 1))

(cd "$run_check" && "$cli" -po en "$work/checked" >"$work/en.po" 2>"$work/po.err") ||
    fail "zkhelp_cli -po en failed: $(head -c 300 "$work/po.err")"
po_messages=$(grep -c '^msgctxt ' "$work/en.po")
(cd "$run_check" && "$cli" -po-import "$work/en.po" "$work/checked" >"$work/poimport.out") ||
    fail "zkhelp_cli -po-import failed: $(cat "$work/poimport.out")"
grep -q '^0 Dateien geaendert, ' "$work/poimport.out" ||
    fail "-po-import of an unchanged export changed files: $(cat "$work/poimport.out")"
mkdir -p "$work/run_site"
(cd "$work/run_site" && "$cli" -site site "$work/sited" >"$work/site.out" 2>"$work/site.err") ||
    fail "zkhelp_cli -site failed: $(head -c 300 "$work/site.err")"
site_pages=$(find "$work/run_site/site" -name '*.html' ! -name index.html ! -name search.html | wc -l)
[ "$site_pages" = $((2 * site_files)) ] || fail "-site wrote $site_pages topic pages, expected $((2 * site_files))"
mv "$work/run_site/site" "$work/site_reference"
site_bytes=$(du -sb "$work/site_reference" | cut -f 1)
site_outputs=$(find "$work/site_reference" -type f | wc -l)
index_de=$(stat -c %s "$work/site_reference/de/search-index.js")
index_en=$(stat -c %s "$work/site_reference/en/search-index.js")
sited_bytes=$(du -sb "$work/sited" | cut -f 1)

note "timing print ..."
print_cases=("$run_big" "" "'$cli' gross" "$run_big" "" "'$xmlfloor' '$big'")
[ "$have_xmllint" = 1 ] && print_cases+=("$run_big" "" "xmllint --stream --noout '$big'")
mapfile -t times <<<"$(best_times "$runs" "${print_cases[@]}")"
t_print=${times[0]} t_floor=${times[1]} t_xmllint=${times[2]:-}
note "measuring memory ..."
m_print=$(peak_kib "$run_big" "$cli" gross)
m_floor=$(peak_kib "$run_big" "$xmlfloor" "$big")
m_xmllint=
[ "$have_xmllint" = 1 ] && m_xmllint=$(peak_kib "$run_big" xmllint --stream --noout "$big")

note "timing -lsf ..."
mapfile -t times <<<"$(best_times "$lsf_runs" "$run_lsf" "" "'$cli' -lsf x" \
    "$run_lsf" "" "find '$work/flat' -maxdepth 1 -iname '*x*.zkhelp'")"
t_lsf=${times[0]} t_find=${times[1]}

note "timing -html ..."
# Each run writes into a fresh folder; the one before is moved aside, not
# deleted: ext4 makes creating files slow for a while after many deletions
# (it skips recently freed inodes), which would tax whichever side runs
# second. The sync keeps the write-back of one run out of the next.
mkdir -p "$work/old"
set_aside() { echo "[ ! -e '$1' ] || mv '$1' \"\$(mktemp -d -p '$work/old')\"/; sync"; }
mapfile -t times <<<"$(best_times "$runs" \
    "$run_html" "$(set_aside "$export_dir")" "'$cli' -html '$linked_start'" \
    "$work/run_floor" "$(set_aside out)" \
    "cat '$work/linked'/*.zkhelp >/dev/null && cp -r '$work/html_reference' out")"
t_html=${times[0]} t_copy=${times[1]}

note "timing -check ..."
mapfile -t times <<<"$(best_times "$runs" "$run_check" "" "'$cli' -check '$work/checked'" \
    "$run_check" "" "'$parseall' '$work/checked'")"
t_check=${times[0]} t_parseall=${times[1]}

note "timing -po and -po-import ..."
mapfile -t times <<<"$(best_times "$runs" "$run_check" "" "'$cli' -check '$work/checked'" \
    "$run_check" "" "'$cli' -po en '$work/checked'" \
    "$run_check" "" "'$cli' -po-import '$work/en.po' '$work/checked'")"
t_pocheck=${times[0]} t_po=${times[1]} t_poimport=${times[2]}
note "timing -site ..."
mapfile -t times <<<"$(best_times "$runs" \
    "$work/run_site" "$(set_aside site)" "'$cli' -site site '$work/sited'" \
    "$work/run_floor" "$(set_aside out)" \
    "'$parseall' '$work/sited' && cp -r '$work/site_reference' out")"
t_site=${times[0]} t_site_floor=${times[1]}

# Table -------------------------------------------------------------------
if [ "$use_hyperfine" = 1 ]; then
    timer="hyperfine $(hyperfine --version | cut -d ' ' -f 2)"
else
    timer="bash timing"
fi
mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }
# row CASE ZKHELP FLOOR FLOOR_VALUE RATIO GOAL VERDICT
row() { printf '%-44s %11s  %-34s %11s %8s %8s  %s\n' "$@"; }
# timed_row CASE T_ZKHELP FLOOR T_FLOOR GOAL_RATIO (empty goal: reference only)
timed_row() {
    local ratio verdict goal
    ratio=$(awk -v a="$2" -v b="$4" 'BEGIN { printf "%.2fx", a / b }')
    if [ -n "$5" ]; then
        goal="<= ${5}x"
        verdict=$(awk -v a="$2" -v b="$4" -v g="$5" 'BEGIN { print (a / b <= g) ? "met" : "MISSED" }')
    else
        goal="-"
        verdict="(reference)"
    fi
    row "$1" "$(printf '%.3f s' "$2")" "$3" "$(printf '%.3f s' "$4")" "$ratio" "$goal" "$verdict"
}
# memory_row CASE KIB [GOAL_MULTIPLE]
memory_row() {
    local bytes multiple goal=- verdict=
    if [ "$2" = n/a ]; then
        row "$1" n/a "file size $(mib "$big_bytes") MiB" "" "" "" ""
        return
    fi
    bytes=$(($2 * 1024))
    multiple=$(awk -v a="$bytes" -v b="$big_bytes" 'BEGIN { printf "%.2fx", a / b }')
    if [ -n "${3:-}" ]; then
        goal="< ${3}x"
        verdict=$(awk -v a="$bytes" -v b="$big_bytes" -v g="$3" 'BEGIN { print (a / b < g) ? "met" : "MISSED" }')
    fi
    row "$1" "$(mib "$bytes") MiB" "file size" "$(mib "$big_bytes") MiB" "$multiple" "$goal" "$verdict"
}

echo
echo "zkhelp_cli benchmark: best of $runs runs (-lsf: $lsf_runs), sides taking turns after a warm-up, $timer, $(nproc) cores"
echo "data: $(mib "$big_bytes") MiB file ($big_languages languages, $big_sections sections);" \
    "$flat_files files in one folder ($flat_matches match x);" \
    "$linked_files linked files -> $html_outputs outputs, $(mib "$html_bytes") MiB;" \
    "$check_files linked files to check -> $check_findings findings;" \
    "$site_files files ($(mib "$sited_bytes") MiB) in 2 languages -> site of $site_outputs files, $(mib "$site_bytes") MiB"
echo
row "case" "zkhelp_cli" "floor" "floor time" "ratio" "goal" ""
row "----" "----------" "-----" "----------" "-----" "----" ""
timed_row "print $(mib "$big_bytes") MiB file (gross)" "$t_print" \
    "QXmlStreamReader token loop" "$t_floor" 1.3
[ -n "$t_xmllint" ] && timed_row "" "$t_print" "xmllint --stream --noout" "$t_xmllint" ""
memory_row "peak memory, print $(mib "$big_bytes") MiB file" "$m_print" 5
memory_row "  (floor: QXmlStreamReader token loop)" "$m_floor"
[ -n "$m_xmllint" ] && memory_row "  (xmllint --stream --noout)" "$m_xmllint"
timed_row "-lsf x ($flat_files files, $flat_matches match)" "$t_lsf" \
    "find -maxdepth 1 -iname '*x*.zkhelp'" "$t_find" 2
timed_row "-html $linked_start ($linked_files linked files)" "$t_html" \
    "cat inputs + cp -r $html_outputs outputs" "$t_copy" 3
timed_row "-check ($check_files linked files)" "$t_check" \
    "reader alone over every file" "$t_parseall" 1.5
timed_row "-po en ($check_files files, $po_messages messages)" "$t_po" \
    "-check of the same set" "$t_pocheck" 2
timed_row "-po-import of that file (nothing changed)" "$t_poimport" \
    "-check of the same set" "$t_pocheck" 2
timed_row "-site ($site_files files, 2 languages)" "$t_site" \
    "reader alone + cp -r $site_outputs outputs" "$t_site_floor" 3
echo "search index per language: de $(mib "$index_de") MiB, en $(mib "$index_en") MiB"
