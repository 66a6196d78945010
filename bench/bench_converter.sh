#!/usr/bin/env bash
# Times zkhconv batches against iconv re-encoding the same bytes in one process, on a disk
# file system and on tmpfs side by side, and then runs batches that run out of space half-way
# to show that every output left behind is complete.
#
# Usage: bench/bench_converter.sh BUILD_DIR
# BUILD_DIR holds (or receives) a Release build.
# Environment: REPEAT (default 5): each time is the best of REPEAT runs, zkhconv and iconv
# taking turns after one warm-up round; DISK_DIR (default /tmp) and RAM_DIR (default
# /dev/shm): where the data of the two file systems lives, each in a temporary folder that
# is removed at the end. The half-way failures mount small tmpfs instances and need root;
# without it they are skipped.
set -euo pipefail
shopt -s inherit_errexit
export LC_ALL=C

build=${1:?usage: $0 BUILD_DIR}
build=$(mkdir -p "$build" && cd "$build" && pwd)
repeat=${REPEAT:-5}
disk_dir=${DISK_DIR:-/tmp}
ram_dir=${RAM_DIR:-/dev/shm}
distinct=10000
shared=990 # near the 998 names one six-character prefix has
failing=400
goal=3
source_dir=$(cd "$(dirname "$0")/.." && pwd)
zkhconv=$build/converter/zkhconv

command -v iconv >/dev/null || { echo "iconv is missing (package libc-bin)" >&2; exit 1; }
if [ ! -x "$zkhconv" ]; then
    cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" --target zkhconv -j2 >/dev/null
fi
grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" ||
    echo "warning: $build is not a Release build" >&2

mounts=()
works=()
cleanup() {
    local m
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || true; done
    rm -rf "${works[@]}"
}
trap cleanup EXIT
note() { echo "$*" >&2; }
fail() {
    echo "check failed: $*" >&2
    exit 1
}

# A help file of about 3 KB whose text is mostly German prose with umlauts.
# Every character has a Latin-1 form, so that iconv, the floor, accepts the whole text.
paragraph='Die Größe des Fensters lässt sich über das Menü "Ansicht" ändern. Für ältere Geräte gilt: Schriftgröße verringern, Übersicht behalten, Änderungen prüfen - dann schließen.'
write_help() { # path number
    {
        printf '<?xml version="1.0" encoding="UTF-8"?>\n'
        printf '<zkhelp version="1.%d" author="Jürgen Müller">\n' "$2"
        printf '    <lang name="de">\n        <description>Thema %d: Überblick</description>\n' "$2"
        for section in Einführung Bedienung Einstellungen Fehlerbehebung; do
            printf '        <section name="%s">%s %s %s</section>\n' \
                "$section" "$paragraph" "$paragraph" "$paragraph"
        done
        printf '    </lang>\n    <link page="start"/>\n</zkhelp>\n'
    } >"$1"
}

# The help files are generated once and copied to each file system.
seed=$(mktemp -d -p "$disk_dir")
works+=("$seed")
note "generating data in $seed ..."
mkdir "$seed/distinct" "$seed/shared"
for ((i = 0; i < distinct; i++)); do
    printf -v name '%s/h%05d_kapitel.zkhelp' "$seed/distinct" "$i"
    write_help "$name" "$i"
done
for ((i = 0; i < shared; i++)); do
    printf -v name '%s/kapitel_%03d.zkhelp' "$seed/shared" "$i"
    write_help "$name" "$i"
done

timer=()
[ -x /usr/bin/time ] && timer=(/usr/bin/time -f '%M' -o "$seed/mem")

# one_run DIR OUTPUT_GLOB COMMAND...: "seconds peak_kB" of one run in DIR. The outputs of
# earlier runs (OUTPUT_GLOB, may be empty) are first moved aside, not deleted: ext4 creates
# files slowly for a while after many deletions, which would tax whichever side runs next.
# The sync keeps the write-back of one run out of the next. A failing command stops the
# benchmark with its error output.
one_run() {
    local dir=$1 outputs=$2 start end aside err
    shift 2
    err=$dir/$(basename "$1").err
    if [ -n "$outputs" ]; then
        aside=$(mktemp -d -p "$dir/old")
        find "$dir" -maxdepth 1 -type f -name "$outputs" -exec mv -t "$aside" {} +
    fi
    sync
    echo - >"$seed/mem"
    start=$EPOCHREALTIME
    if ! (cd "$dir" && "${timer[@]}" "$@" >/dev/null 2>"$err"); then
        head -c 2000 "$err" >&2
        fail "$* failed"
    fi
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" -v m="$(tail -n 1 "$seed/mem")" 'BEGIN { print e - s, m }'
}

# best DIR OUTPUT_GLOB ZKHCONV_ARGS -- ICONV_ARGS: "zkhconv_s zkhconv_kB iconv_s" as the
# best of $repeat rounds after a warm-up round, the two sides taking turns.
best() {
    local dir=$1 outputs=$2 round z i zb="" zm="" ib=""
    shift 2
    local -a zargs=() iargs=()
    while [ "$1" != -- ]; do zargs+=("$1") && shift; done
    shift
    iargs=("$@")
    for ((round = 0; round <= repeat; round++)); do
        z=$(one_run "$dir" "$outputs" "$zkhconv" "${zargs[@]}")
        i=$(one_run "$dir" "" iconv "${iargs[@]}")
        ((round == 0)) && continue
        read -r zs zk <<<"$z"
        if [ -z "$zb" ] || awk -v a="$zs" -v b="$zb" 'BEGIN { exit !(a < b) }'; then
            zb=$zs zm=$zk
        fi
        i=${i% *}
        if [ -z "$ib" ] || awk -v a="$i" -v b="$ib" 'BEGIN { exit !(a < b) }'; then ib=$i; fi
    done
    echo "$zb $zm $ib"
}

row() { printf '%-7s %-24s %6s %10s %10s %7s %6s %7s %11s\n' "$@"; }
timed_row() { # fs case files "zkhconv_s kB iconv_s" [goal]
    local zs zm is ratio verdict=reference goal=-
    read -r zs zm is <<<"$4"
    ratio=$(awk -v a="$zs" -v b="$is" 'BEGIN { printf "%.2f", a / b }')
    if [ -n "${5:-}" ]; then
        goal="<=${5}x"
        verdict=$(awk -v r="$ratio" -v g="$5" 'BEGIN { print (r <= g) ? "met" : "MISSED" }')
    fi
    row "$1" "$2" "$3" "$(printf '%.3f' "$zs")" "$(printf '%.3f' "$is")" "$ratio" "$goal" \
        "$verdict" "$zm"
}

# Checks that the last zkhconv run in DIR did the whole job: COUNT outputs logged, whose
# bytes, taken in the order of their inputs, are those of iconv's output from the same run.
check_outputs() { # dir count
    local dir=$1 count=$2 logged
    logged=$(grep -c '^\[OK\] ' "$dir/zkhconv.err" || true)
    [ "$logged" = "$count" ] || fail "$dir: $logged outputs logged, expected $count"
    sed -n 's/^\[OK\] "\(.*\)" -> "\(.*\)"$/\1 \2/p' "$dir/zkhconv.err" | sort | cut -d ' ' -f 2 |
        (cd "$dir" && xargs cat) | cmp -s - "$dir/../floor.out" ||
        fail "$dir: the outputs differ from iconv's"
}

bench_fs() { # label work-folder
    local label=$1 work=$2 dos shared_dir win
    cp -r "$seed/distinct" "$seed/shared" "$work/"
    mkdir "$work/win" "$work/distinct/old" "$work/shared/old" "$work/win/old"
    dos=$work/distinct shared_dir=$work/shared win=$work/win
    note "timing on $label ($work) ..."

    local t_distinct t_shared t_win t_replace
    t_distinct=$(best "$dos" '*.ZKH' -f2dos '*.zkhelp' -- \
        -f UTF-8 -t LATIN1 -o ../floor.out "$dos"/*.zkhelp)
    check_outputs "$dos" "$distinct"
    t_shared=$(best "$shared_dir" '*.ZKH' -f2dos '*.zkhelp' -- \
        -f UTF-8 -t LATIN1 -o ../floor.out "$shared_dir"/*.zkhelp)
    check_outputs "$shared_dir" "$shared"
    [ -e "$shared_dir/KAPI~990.ZKH" ] || fail "no KAPI~990.ZKH among the shared-prefix outputs"

    # The DOS files of the last run are the inputs of the way back.
    find "$dos" -maxdepth 1 -name '*.ZKH' -exec mv -t "$win" {} +
    t_win=$(best "$win" '*.zkhelp' -f2win '*.ZKH' -- \
        -f LATIN1 -t UTF-8 -o ../floor.out "$win"/*.ZKH)
    check_outputs "$win" "$distinct"
    # The same again over the outputs of the run before: every target is replaced.
    t_replace=$(best "$win" '' -f2win '*.ZKH' -- -f LATIN1 -t UTF-8 -o ../floor.out "$win"/*.ZKH)
    check_outputs "$win" "$distinct"

    timed_row "$label" "-f2dos distinct" "$distinct" "$t_distinct" "$goal"
    timed_row "$label" "-f2dos shared prefix" "$shared" "$t_shared" "$goal"
    timed_row "$label" "-f2win new targets" "$distinct" "$t_win" "$goal"
    timed_row "$label" "-f2win replacing all" "$distinct" "$t_replace"
    rm -rf "$work"
}

# A tmpfs with room for the inputs, the old targets and about half the outputs, so that the
# batch runs out of space half-way. Sets result to "written failed partial status"; partial
# counts
# outputs that differ from iconv's, old targets that lost their bytes without being
# replaced, and files nobody asked for (temporary files left behind).
failing_batch() { # mode input-ext
    local mode=$1 ext=$2 dir olds=0 i status=0 written failed partial from=UTF-8 to=LATIN1
    dir=$(mktemp -d -p "$seed")
    [ "$ext" = ZKH ] && olds=$((failing / 4)) from=LATIN1 to=UTF-8
    # Every small file takes one 4 KiB page of a tmpfs.
    mount -t tmpfs -o size=$(((failing + olds + failing / 2) * 4))k tmpfs "$dir" || return 1
    mounts+=("$dir")
    for ((i = 0; i < failing; i++)); do
        printf -v name 'h%05d_kapitel' "$i"
        if [ "$ext" = zkhelp ]; then
            cp "$seed/distinct/$name.zkhelp" "$dir/"
        else
            iconv -f UTF-8 -t LATIN1 -o "$dir/$name.ZKH" "$seed/distinct/$name.zkhelp"
            if ((i < olds)); then
                echo old >"$dir/$name.zkhelp"
                echo "$name.zkhelp"
            fi
        fi
    done >"$dir.old"
    (cd "$dir" && "$zkhconv" "$mode" "*.$ext" >/dev/null 2>"$dir.err") || status=$?
    written=$(grep -c '^\[OK\] ' "$dir.err" || true)
    failed=$(grep -c '^Fehler beim Schreiben: ' "$dir.err" || true)
    sed -n 's/^\[OK\] "\(.*\)" -> "\(.*\)"$/\1 \2/p' "$dir.err" >"$dir.ok"
    {
        while read -r in out; do
            iconv -f "$from" -t "$to" "$dir/$in" | cmp -s - "$dir/$out" || echo "$out"
        done <"$dir.ok"
        cut -d ' ' -f 2 "$dir.ok" | sort | comm -23 <(sort "$dir.old") - | while read -r out; do
            [ "$(cat "$dir/$out" 2>/dev/null)" = old ] || echo "$out"
        done
        find "$dir" -type f -printf '%f\n' | grep -v "\.$ext\$" | sort |
            comm -23 - <(cut -d ' ' -f 2 "$dir.ok" | sort -u - "$dir.old")
    } >"$dir.bad"
    partial=$(wc -l <"$dir.bad")
    umount "$dir"
    result="$written $failed $partial $status"
}

failure_row() { # case "written failed partial status"
    local w f p s verdict=kept
    read -r w f p s <<<"$2"
    [ "$p" = 0 ] && [ "$s" = 2 ] && [ $((w + f)) = "$failing" ] && [ "$w" -gt 0 ] &&
        [ "$f" -gt 0 ] || verdict=BROKEN
    printf '%-34s %6s %8s %7s %8s %7s  %s\n' "$1" "$failing" "$w" "$f" "$p" "$s" "$verdict"
}

disk_fs=$(df --output=fstype "$disk_dir" | tail -n 1)
ram_fs=$(df --output=fstype "$ram_dir" | tail -n 1)
[ "$disk_fs" = ext4 ] || note "warning: $disk_dir is $disk_fs, not ext4"
[ "$ram_fs" = tmpfs ] || note "warning: $ram_dir is $ram_fs, not tmpfs"
disk_work=$(mktemp -d -p "$disk_dir")
ram_work=$(mktemp -d -p "$ram_dir")
works+=("$disk_work" "$ram_work")
table_disk=$(bench_fs "$disk_fs" "$disk_work")
table_ram=$(bench_fs "$ram_fs" "$ram_work")

echo "zkhconv batches against one iconv process over the same bytes: best of $repeat runs," \
    "sides taking turns after a warm-up, $(nproc) cores"
echo "data: $distinct files and $shared files sharing the prefix KAPITE, about 3 KB each;" \
    "$disk_fs in $disk_dir, $ram_fs in $ram_dir"
echo
row fs case files zkhconv_s iconv_s ratio goal verdict zkhconv_kB
row -- ---- ----- --------- ------- ----- ---- ------- ----------
echo "$table_disk"
echo "$table_ram"

echo
if [ "$(id -u)" = 0 ]; then
    failing_batch -f2dos zkhelp || fail "could not mount a tmpfs"
    dos_result=$result
    failing_batch -f2win ZKH || fail "could not mount a tmpfs"
    win_result=$result
    echo "batches that run out of space half-way (tmpfs with room for about half the outputs):"
    printf '%-34s %6s %8s %7s %8s %7s  %s\n' case files written failed partial status result
    failure_row "-f2dos" "$dos_result"
    failure_row "-f2win, a quarter of targets old" "$win_result"
else
    echo "half-way failing batches skipped: mounting a small tmpfs needs root"
fi
