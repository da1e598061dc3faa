#!/bin/sh
# Runs the command-line examples of README.md against the built programs and compares what they
# print with what the README shows, so the examples cannot go stale. An example is a line
# "$ COMMAND" in a ```sh block; the lines after it, up to the next "$ " or the block's end, are
# its output. "build/bin/" in a command stands for the build's program folder.
# Usage: readme_examples_test.sh README.md BUILD_BIN_DIR
set -u
readme=$1
bin=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Splits the examples into work/N.command and work/N.expected.
awk -v work="$work" '
    /^```sh$/ { inside = 1; next }
    /^```$/ { inside = 0; current = 0; next }
    inside && /^\$ / { current = ++count; print substr($0, 3) > (work "/" current ".command");
                       printf "" > (work "/" current ".expected"); next }
    inside && current { print >> (work "/" current ".expected") }
' "$readme"

examples=0
failed=0
for command in "$work"/*.command; do
    [ -e "$command" ] || break
    examples=$((examples + 1))
    expected=${command%.command}.expected
    actual=${command%.command}.actual
    line=$(sed "s|build/bin/|$bin/|g" "$command")
    sh -c "$line" > "$actual" 2>&1
    if ! cmp -s "$expected" "$actual"; then
        failed=$((failed + 1))
        echo "README example differs: \$ $(cat "$command")"
        diff "$expected" "$actual" | sed 's/^/    /'
    fi
done
echo "$examples README examples run, $failed differ"
[ "$examples" -gt 0 ] && [ "$failed" -eq 0 ]
