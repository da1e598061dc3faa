#!/bin/sh
# Rebuilds Pelmora's lookup tables (pin.dat, pj.dat, jj.dat) and its word and candidate tables
# (words.dat, candidates.dat) from public data of the Debian packages opencc / libopencc1.1
# (OpenCC dictionaries), rime-essay (a Chinese word list with corpus frequencies),
# unicode-data (Unihan variants), mecab-ipadic (the IPADIC lexicon as
# CSV), mecab + mecab-ipadic-utf8 (MeCab and the compiled UTF-8 IPADIC; libmecab-dev builds the
# builder) and kanjidic, installing them when missing, and refreshes the coverage report in the
# output's README.md.
#
# Usage: tools/build_tables.sh [--builder PATH/table_builder] [--out DIR]
#   --builder     a built table_builder; without it the builder is built in build-tables/
#   --out         where the tables go (default: data/ of this repository)
set -eu

repo=$(cd "$(dirname "$0")/.." && pwd)
builder=""
out="$repo/data"
opencc_dir=/usr/share/opencc
unihan_dir=/usr/share/unicode
ipadic_dir=/usr/share/mecab/dic/ipadic
mecab_dic=/var/lib/mecab/dic/ipadic-utf8
kanjidic=/usr/share/edict/kanjidic
essay=/usr/share/rime-data/essay.txt

usage() {
    echo "usage: tools/build_tables.sh [--builder PATH/table_builder] [--out DIR]" >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --builder) [ $# -ge 2 ] || usage; builder=$2; shift 2 ;;
    --out) [ $# -ge 2 ] || usage; out=$2; shift 2 ;;
    *) usage ;;
    esac
done

sources_present() {
    command -v opencc_dict >/dev/null 2>&1 &&
        [ -f "$opencc_dir/STCharacters.ocd2" ] && [ -f "$opencc_dir/STPhrases.ocd2" ] &&
        [ -f "$opencc_dir/TSCharacters.ocd2" ] && [ -f "$opencc_dir/TSPhrases.ocd2" ] &&
        [ -f "$essay" ] &&
        { [ -f "$unihan_dir/Unihan_Variants.txt.bz2" ] || [ -f "$unihan_dir/Unihan_Variants.txt" ]; } &&
        [ -f "$ipadic_dir/Noun.csv" ] && [ -f "$mecab_dic/sys.dic" ] && [ -f "$kanjidic" ] &&
        [ -f /usr/include/mecab.h ]
}

install_sources() {
    packages="opencc libopencc1.1 rime-essay unicode-data mecab mecab-ipadic mecab-ipadic-utf8 libmecab-dev kanjidic"
    echo "Installing the table sources ($packages)" >&2
    # shellcheck disable=SC2086 # the package list is meant to split
    apt-get install -y --no-install-recommends $packages ||
        { apt-get update && apt-get install -y --no-install-recommends $packages; }
}

build_builder() {
    cmake -S "$repo/tools" -B "$repo/build-tables" -DCMAKE_BUILD_TYPE=Release >&2
    cmake --build "$repo/build-tables" -j2 >&2
    builder="$repo/build-tables/bin/table_builder"
}

dump_sources() {
    for dictionary in STCharacters STPhrases TSCharacters TSPhrases JPVariants \
        JPShinjitaiCharacters; do
        opencc_dict -i "$opencc_dir/$dictionary.ocd2" -o "$work/$dictionary.txt" -f ocd2 -t text
    done
    if [ -f "$unihan_dir/Unihan_Variants.txt.bz2" ]; then
        bzcat "$unihan_dir/Unihan_Variants.txt.bz2" >"$work/Unihan_Variants.txt"
    else
        cp "$unihan_dir/Unihan_Variants.txt" "$work/Unihan_Variants.txt"
    fi
}

sources_present || install_sources
[ -n "$builder" ] || build_builder
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dump_sources
mkdir -p "$out"
"$builder" --st "$work/STCharacters.txt" --st-phrases "$work/STPhrases.txt" \
    --ts "$work/TSCharacters.txt" --ts-phrases "$work/TSPhrases.txt" --essay "$essay" \
    --jp-variants "$work/JPVariants.txt" \
    --jp-shinjitai "$work/JPShinjitaiCharacters.txt" --unihan "$work/Unihan_Variants.txt" \
    --ipadic "$ipadic_dir" --mecab-dic "$mecab_dic" --kanjidic "$kanjidic" --out "$out"
