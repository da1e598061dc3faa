# Sourced by the scoring scripts beside it. Converts a file of inputs, one a line, with every
# conversion that is compared, each into its own file, one output line per input line:
#   per_character   pelmora-convert --preview
#   words           pelmora-convert --words --preview
#   names           pelmora-convert --names --preview (skipped when the program lacks --names)
#   opencc          opencc -c s2t.json | opencc -c t2jp.json (skipped when opencc is missing)

runs="per_character words names opencc"

# Prints the name a run is reported under.
run_label() {
    case $1 in
    per_character) echo "per character" ;;
    words) echo "words" ;;
    names) echo "names" ;;
    opencc) echo "OpenCC" ;;
    esac
}

# run_conversions CONVERT INPUTS DIR: writes DIR/RUN for each run; a skipped run gets
# DIR/RUN.skipped instead, which says why.
run_conversions() {
    local convert=$1 inputs=$2 dir=$3
    "$convert" --preview <"$inputs" >"$dir/per_character"
    "$convert" --words --preview <"$inputs" >"$dir/words"
    # The names run reads every line as a name, so it is scored on every row but meant for names.
    if "$convert" --names --preview </dev/null >/dev/null 2>&1; then
        "$convert" --names --preview <"$inputs" >"$dir/names"
    else
        echo "skipped: this pelmora-convert has no --names option" >"$dir/names.skipped"
    fi
    if command -v opencc >/dev/null 2>&1; then
        opencc -c s2t.json <"$inputs" | opencc -c t2jp.json >"$dir/opencc"
    else
        echo "skipped: opencc is not installed (Debian package opencc)" >"$dir/opencc.skipped"
    fi
}
