# The timing and the table rows shared by the benchmark scripts; sourced,
# with $runs (how many timed runs) and $work (the scratch folder) set.

# best FOLDER COMMAND [PREPARE]: the best wall time of $runs runs in seconds,
# run in $work/FOLDER after one warm-up run; PREPARE runs untimed before each.
best() {
    local result="" start end t i
    for ((i = 0; i <= runs; i++)); do
        [ -n "${3:-}" ] && eval "$3"
        start=$EPOCHREALTIME
        (cd "$work/$1" && eval "$2") >/dev/null 2>&1 || true
        end=$EPOCHREALTIME
        ((i == 0)) && continue
        t=$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')
        result=$(awk -v t="$t" -v b="$result" 'BEGIN { print (b == "" || t < b) ? t : b }')
    done
    echo "$result"
}

# once FOLDER COMMAND: the wall time in seconds of one run of COMMAND in
# $work/FOLDER and the most memory it held in MiB ("?" without GNU time).
once() {
    local start end mib="?"
    start=$EPOCHREALTIME
    if [ -x /usr/bin/time ]; then
        (cd "$work/$1" && /usr/bin/time -f '%M' -o "$work/peak" bash -c "$2" >/dev/null 2>&1) || true
        # GNU time writes the exit status first when it is not 0.
        mib=$(tail -n 1 "$work/peak" | awk '{ printf "%.0f", $1 / 1024 }')
    else
        (cd "$work/$1" && eval "$2") >/dev/null 2>&1 || true
    fi
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" -v m="$mib" 'BEGIN { print e - s, m }'
}

row() { printf '%-44s %9s  %-30s %9s %7s %8s  %s\n' "$@"; }
# timed CASE T FLOOR T_FLOOR GOAL: one row, GOAL a ratio the case must stay within
timed() {
    local ratio verdict
    ratio=$(awk -v a="$2" -v b="$4" 'BEGIN { printf "%.2fx", a / b }')
    verdict=$(awk -v a="$2" -v b="$4" -v g="$5" 'BEGIN { print (a / b <= g) ? "met" : "MISSED" }')
    row "$1" "$(printf '%.3f s' "$2")" "$3" "$(printf '%.3f s' "$4")" "$ratio" "<= $5x" "$verdict"
}
