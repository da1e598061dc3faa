#!/usr/bin/env bash
# Checks that pelmora-convert.exe under Wine writes exactly the bytes the Linux build writes:
# every character code page 936 holds and a mixed prose text, with the shipped tables and with
# tables of damaged records, in all three output forms, per character, with --words and with
# --names --jis-x0208.
# Usage: scripts/compare-windows-output.sh   (after scripts/test.sh --windows, or on its own)
set -euo pipefail
cd "$(dirname "$0")/.."

. scripts/wine-env.sh
if [ ! -x build-windows/bin/pelmora-convert.exe ]; then
    scripts/install-deps.sh windows
    windows_locales
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target pelmora-convert pelmora_tables
fi
# The Linux side needs neither the window nor the table tools.
cmake -S . -B build-compare -DPELMORA_BUILD_WINDOW=OFF -DPELMORA_BUILD_TESTS=OFF \
    -DPELMORA_TABLE_TOOLS=OFF -DPELMORA_BUILD_BENCH=ON >/dev/null
cmake --build build-compare -j2 --target pelmora-convert pelmora-make-mixed-text pelmora_tables \
    >/dev/null

work=$(mktemp -d)
wine_start build-windows
trap 'wine_stop; rm -rf "$work"' EXIT

build-compare/bench/pelmora-make-mixed-text --every-character >"$work/every.txt"
build-compare/bench/pelmora-make-mixed-text 200000 >"$work/mixed.txt"
# Damaged records: a lone FF, pairs that are no character, a trail byte below 40, NUL.
mkdir "$work/damaged"
cp data/pin.dat data/words.dat "$work/damaged/"
for table in pj jj; do
    head -c 40 "data/$table.dat" >"$work/damaged/$table.dat"
    printf '\xff\xff\x81\x20\xa1\x7f\x00\x00\xff\x41\xfe\xff' >>"$work/damaged/$table.dat"
    tail -c +53 "data/$table.dat" >>"$work/damaged/$table.dat"
done

cases=0
differences=0
for input in every mixed; do
    for tables in shipped damaged; do
        table_arguments=()
        [ "$tables" = damaged ] && table_arguments=(--tables "$work/damaged")
        for words in "" --words "--names --jis-x0208"; do
            for form in "" --preview --sjis; do
                arguments=("${table_arguments[@]}" $words $form)
                linux_status=0
                build-compare/bin/pelmora-convert "${arguments[@]}" <"$work/$input.txt" \
                    >"$work/linux.out" 2>/dev/null || linux_status=$?
                wine_status=0
                wine build-windows/bin/pelmora-convert.exe "${arguments[@]}" \
                    <"$work/$input.txt" >"$work/wine.out" 2>/dev/null || wine_status=$?
                cases=$((cases + 1))
                what="$input text, $tables tables, ${words:-per character} ${form:-code text}"
                if ! cmp -s "$work/linux.out" "$work/wine.out" ||
                    [ "$linux_status" -ne "$wine_status" ]; then
                    differences=$((differences + 1))
                    echo "DIFFERENT: $what (exit $linux_status / $wine_status)"
                else
                    printf 'same: %-60s %9d bytes, exit %d\n' "$what" \
                        "$(stat -c %s "$work/linux.out")" "$linux_status"
                fi
            done
        done
    done
done
echo "$cases cases, $differences different; inputs: $(wc -m <"$work/every.txt") and" \
    "$(wc -m <"$work/mixed.txt") characters"
[ "$differences" -eq 0 ]
