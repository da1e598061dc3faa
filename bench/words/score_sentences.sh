#!/usr/bin/env bash
# Scores the sentence list (sentences.tsv beside this script) for the conversions of runs.sh:
# per run, the rows right (every CJK character of the row has its expected form at the same
# position) and the CJK characters right; then the same counted only where the expected form is
# a kanji, so that the characters no Shift-JIS game can show (expected "□") do not decide the
# comparison. Characters are compared position by position; a row whose output has another
# length than its input is wrong, its characters counted by aligned position as far as they go,
# and listed. Then it lists the rows where --words gets fewer characters right than the
# per-character run, and the rows that every run gets wrong.
# Usage: bench/words/score_sentences.sh [BUILD_DIR]   (default: build; the program is BUILD_DIR/bin)
set -euo pipefail
export LC_ALL=C.UTF-8 # ${s:i:1} and ${#s} count characters, not bytes
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
convert="$build/bin/pelmora-convert"
list="$here/sentences.tsv"
. "$here/runs.sh"

[ -x "$convert" ] || { echo "no $convert: build Pelmora first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tail -n +2 "$list" | cut -f2 >"$work/inputs"
mapfile -t inputs <"$work/inputs"
mapfile -t expected < <(tail -n +2 "$list" | cut -f3)
rows=${#inputs[@]}

# Han ideographs (the unified blocks, their extensions and the compatibility block): the
# characters that are scored. Punctuation, Latin letters, digits, spaces and kana are not.
is_han() {
    local code
    printf -v code '%d' "'$1"
    ((code >= 0x3400 && code <= 0x4DBF)) || ((code >= 0x4E00 && code <= 0x9FFF)) ||
        ((code >= 0xF900 && code <= 0xFAFF)) || ((code >= 0x20000 && code <= 0x3FFFF))
}

# The list itself: one expected character per input character, every expected kanji one that
# code page 932 holds, and the characters that are not scored written as in the input.
han_total=0 kanji_total=0 expected_kanji=""
for ((r = 0; r < rows; r++)); do
    input=${inputs[r]} want=${expected[r]}
    if ((${#input} != ${#want})); then
        echo "sentences.tsv line $((r + 2)): the expected form has another length than the input" >&2
        exit 2
    fi
    for ((i = 0; i < ${#input}; i++)); do
        if is_han "${input:i:1}"; then
            han_total=$((han_total + 1))
            if [ "${want:i:1}" != "□" ]; then
                kanji_total=$((kanji_total + 1)) expected_kanji+=${want:i:1}
            fi
        elif [ "${input:i:1}" != "${want:i:1}" ]; then
            echo "sentences.tsv line $((r + 2)): expected '${want:i:1}' where the input has" \
                "'${input:i:1}', which is not scored and must stay as it is" >&2
            exit 2
        fi
    done
done

if ! printf '%s' "$expected_kanji" | iconv -f UTF-8 -t CP932 >/dev/null 2>&1; then
    for ((i = 0; i < ${#expected_kanji}; i++)); do
        printf '%s' "${expected_kanji:i:1}" | iconv -f UTF-8 -t CP932 >/dev/null 2>&1 ||
            echo "sentences.tsv: expected ${expected_kanji:i:1}, which code page 932 does not hold" >&2
    done
    exit 2
fi

declare -A han_right row_right outputs # by "RUN ROW"
scored_runs=() length_notes=()

# Scores one run's output file and prints its line of the table.
score_run() {
    local run=$1 file=$2
    local -a lines
    mapfile -t lines < <(tr -d '\r' <"$file")
    if ((${#lines[@]} != rows)); then
        printf '%-14s not scored: %d output lines for %d inputs\n' "$(run_label "$run")" \
            "${#lines[@]}" "$rows"
        return
    fi
    scored_runs+=("$run")
    local rows_right=0 kanji_rows_right=0 han_sum=0 kanji_sum=0 r i
    for ((r = 0; r < rows; r++)); do
        local input=${inputs[r]} want=${expected[r]} got=${lines[r]}
        local han=0 kanji=0 han_wrong=0 kanji_wrong=0
        outputs["$run $r"]=$got
        for ((i = 0; i < ${#input}; i++)); do
            is_han "${input:i:1}" || continue
            if [ "${want:i:1}" = "${got:i:1}" ]; then
                han=$((han + 1))
                [ "${want:i:1}" = "□" ] || kanji=$((kanji + 1))
            else
                han_wrong=1
                [ "${want:i:1}" = "□" ] || kanji_wrong=1
            fi
        done
        if ((${#got} != ${#input})); then
            han_wrong=1 kanji_wrong=1
            length_notes+=("$(run_label "$run"), line $((r + 2)): ${#got} characters for ${#input}: $got")
        fi
        han_right["$run $r"]=$han
        han_sum=$((han_sum + han)) kanji_sum=$((kanji_sum + kanji))
        row_right["$run $r"]=$((!han_wrong))
        ((han_wrong)) || rows_right=$((rows_right + 1))
        ((kanji_wrong)) || kanji_rows_right=$((kanji_rows_right + 1))
    done
    printf '%-14s %4d of %d   %5d of %d   %4d of %d   %5d of %d\n' "$(run_label "$run")" \
        "$rows_right" "$rows" "$han_sum" "$han_total" "$kanji_rows_right" "$rows" \
        "$kanji_sum" "$kanji_total"
}

echo "$rows sentences, $han_total CJK characters, $kanji_total of them expected as a kanji" \
    "($((han_total - kanji_total)) as □)"
echo
echo "               all CJK characters              only where a kanji is expected"
echo "run            rows right   characters right   rows right   characters right"
run_conversions "$convert" "$work/inputs" "$work"
for run in $runs; do
    if [ -f "$work/$run" ]; then
        score_run "$run" "$work/$run"
    else
        printf '%-14s %s\n' "$(run_label "$run")" "$(cat "$work/$run.skipped")"
    fi
done

echo
if ((${#length_notes[@]} == 0)); then
    echo "Every output row has as many characters as its input."
else
    echo "Rows whose output has another length than the input (counted wrong, characters by" \
        "aligned position):"
    printf '  %s\n' "${length_notes[@]}"
fi

# Prints one row with its expected form and every scored run's output.
show_row() {
    local r=$1 run
    echo "  sentences.tsv line $((r + 2)): ${inputs[r]}"
    printf '    %-14s %s\n' "expected" "${expected[r]}"
    for run in "${scored_runs[@]}"; do
        printf '    %-14s %s\n' "$(run_label "$run")" "${outputs["$run $r"]}"
    done
}

echo
worse=()
for ((r = 0; r < rows; r++)); do
    if ((han_right["words $r"] < han_right["per_character $r"])); then
        worse+=("$r")
    fi
done
echo "Rows where words gets fewer characters right than per character: ${#worse[@]}"
for r in "${worse[@]}"; do show_row "$r"; done

echo
wrong_everywhere=()
for ((r = 0; r < rows; r++)); do
    right_somewhere=0
    for run in "${scored_runs[@]}"; do
        if ((row_right["$run $r"])); then right_somewhere=1; fi
    done
    if ((!right_somewhere)); then wrong_everywhere+=("$r"); fi
done
echo "Rows that every run gets wrong: ${#wrong_everywhere[@]}"
for r in "${wrong_everywhere[@]}"; do show_row "$r"; done
