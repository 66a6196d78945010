#!/usr/bin/env bash
# Times zkhconv batches against iconv re-encoding the same bytes in one process.
#
# Usage: bench/bench_converter.sh BUILD_DIR
# BUILD_DIR holds (or receives) a Release build. The data lives in a temporary folder under
# TMPDIR (default /tmp) that is removed at the end; the file system matters, because every
# output is synced to disk before it takes its name. Each figure is the best of REPEAT runs
# (default 3).
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
repeat=${REPEAT:-3}
distinct=10000
shared=500
source_dir=$(cd "$(dirname "$0")/.." && pwd)
zkhconv=$build/converter/zkhconv

command -v iconv >/dev/null || { echo "iconv is missing (package libc-bin)" >&2; exit 1; }
if [ ! -x "$zkhconv" ]; then
    cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$build" --target zkhconv -j2 >/dev/null
fi
grep -q 'CMAKE_BUILD_TYPE:STRING=Release' "$build/CMakeCache.txt" ||
    echo "warning: $build is not a Release build" >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

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

mkdir "$work/distinct" "$work/shared"
for ((i = 0; i < distinct; i++)); do
    printf -v name '%s/h%05d_kapitel.zkhelp' "$work/distinct" "$i"
    write_help "$name" "$i"
done
for ((i = 0; i < shared; i++)); do
    printf -v name '%s/kapitel_%03d.zkhelp' "$work/shared" "$i"
    write_help "$name" "$i"
done

# Peak memory needs GNU time; without it the column shows "-".
timer=()
[ -x /usr/bin/time ] && timer=(/usr/bin/time -f '%M' -o "$work/mem")

# Prints "seconds peak_kB" of the best run. The outputs of a run are removed before the next
# one, so that every run starts from the same folder. The floor is one iconv process over
# all the files, writing one output file.
measure() { # outputs-glob command...
    local outputs=$1 best="" peak="" start end secs
    shift
    for ((r = 0; r < repeat; r++)); do
        # shellcheck disable=SC2086 # the glob is meant to expand here
        [ -z "$outputs" ] || rm -f -- $outputs
        start=$(date +%s%N)
        echo - >"$work/mem"
        if ! "${timer[@]}" "$@" >/dev/null 2>"$work/err"; then
            cat "$work/err" >&2
            return 1
        fi
        end=$(date +%s%N)
        secs=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
        if [ -z "$best" ] || awk -v s="$secs" -v b="$best" 'BEGIN { exit !(s < b) }'; then
            best=$secs
            peak=$(cat "$work/mem")
        fi
    done
    echo "$best $peak"
}

report() { # label files zkhconv-result iconv-result
    [ -n "$3" ] && [ -n "$4" ] || exit 1
    read -r zs zm <<<"$3"
    read -r is im <<<"$4"
    awk -v l="$1" -v n="$2" -v zs="$zs" -v zm="$zm" -v is="$is" -v im="$im" \
        'BEGIN { printf "%-22s %6d %10.3f %10.3f %7.2f %10s %10s\n", l, n, zs, is, zs / is, zm, im }'
}

printf '%-22s %6s %10s %10s %7s %10s %10s\n' case files zkhconv_s iconv_s ratio \
    zkhconv_kB iconv_kB
report "-f2dos distinct" "$distinct" \
    "$(measure "$work/distinct/*.ZKH" "$zkhconv" -f2dos "$work/distinct/*.zkhelp")" \
    "$(measure "" iconv -f UTF-8 -t LATIN1 -o "$work/floor.out" "$work"/distinct/*.zkhelp)"
report "-f2dos shared prefix" "$shared" \
    "$(measure "$work/shared/*.ZKH" "$zkhconv" -f2dos "$work/shared/*.zkhelp")" \
    "$(measure "" iconv -f UTF-8 -t LATIN1 -o "$work/floor.out" "$work"/shared/*.zkhelp)"
report "-f2win distinct" "$distinct" \
    "$(measure "$work/distinct/*~1.zkhelp" "$zkhconv" -f2win "$work/distinct/*.ZKH")" \
    "$(measure "" iconv -f LATIN1 -t UTF-8 -o "$work/floor.out" "$work"/distinct/*.ZKH)"
