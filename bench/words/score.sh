#!/usr/bin/env bash
# Scores the word list (word_list.tsv beside this script) for three conversions and prints,
# per category, how many inputs each turns into exactly the expected Japanese form. The
# categories say how their rows were made: "word" and "name" were written by hand from the
# meaning of each word and name; "ipadic" rows were picked from IPADIC, one of the table
# builder's own sources, so they show only that the builder agrees with its source and are not
# a measure of the tables:
#   per character   pelmora-convert --preview
#   words           pelmora-convert --words --preview
#   names           pelmora-convert --names --preview (skipped when the program lacks --names)
#   OpenCC          opencc -c s2t.json | opencc -c t2jp.json
# Usage: bench/words/score.sh [BUILD_DIR]   (default: build; the program is BUILD_DIR/bin)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
convert="$build/bin/pelmora-convert"
list="$here/word_list.tsv"
. "$here/runs.sh"

[ -x "$convert" ] || { echo "no $convert: build Pelmora first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One input per line; every run keeps one output line per input line.
tail -n +2 "$list" | cut -f1 >"$work/categories"
tail -n +2 "$list" | cut -f2 >"$work/inputs"
tail -n +2 "$list" | cut -f3 >"$work/expected"

# Prints "category right total" for each category, for one run's output file.
score() {
    paste "$work/categories" "$work/expected" "$1" | tr -d '\r' | awk -F'\t' '
        { total[$1]++; if ($2 == $3) right[$1]++ }
        END { for (c in total) printf "%s %d %d\n", c, right[c], total[c] }' | sort
}

report() {
    local name=$1 output=$2
    score "$output" | while read -r category right total; do
        printf '%-16s %-6s %4d of %4d\n' "$name" "$category" "$right" "$total"
    done
}

run_conversions "$convert" "$work/inputs" "$work"
for run in $runs; do
    if [ -f "$work/$run" ]; then
        report "$(run_label "$run")" "$work/$run"
    else
        printf '%-16s %s\n' "$(run_label "$run")" "$(cat "$work/$run.skipped")"
    fi
done
