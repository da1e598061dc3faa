#!/usr/bin/env bash
# Writes the seed corpus of pelmora_conversion_fuzzer into corpus/. Each seed is five files,
# pin.dat, pj.dat, jj.dat, words.dat and candidates.dat (a 2-byte little-endian length, then
# the bytes; ffff = no such file, feff = a directory) followed by the input text, the layout
# SplitFuzzInput reads.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p corpus

# 东 发 A, sorted by key, with their Shift-JIS codes and previews (東 発 A).
pin='\xb6\xab\xb7\xa2\x41\x00'
pj='\x93\x8c\x94\xad\x41\x00'
jj='\x96\x7c\xb0\x6b\x41\x00'
six='\x06\x00'
# No word table and no candidate table.
none='\xff\xff\xff\xff'
# The word model: 东 and 发 (costs 500 and 400) and the word 发东 (850) spelling 发 as 髪; 发 with
# the candidates 発 and 髪.
words='\x1a\x00\x01\x00\x01\xf4\xb6\xab\x01\x00\x01\x90\xb7\xa2\x02\x01\x03\x52\xb7\xa2\xb6\xab\x00\x00\x94\xaf\xf3\x8a'
candidates='\x0c\x00\x00\x02\xb7\xa2\x94\xad\x94\xaf\xb0\x6b\xf3\x8a'

seed() { printf "$2" >"corpus/$1"; }

seed known_characters "$six$pin$six$pj$six$jj$none"'\xe5\x8f\x91\xe4\xb8\x9c A\xe4\xb8\xad\r\n'
seed punctuation "$six$pin$six$pj$six$jj$none"'!"\xef\xbc\x81\xe3\x80\x82,.:;\xe2\x80\x9c\xe2\x80\x9d\x00\t'
seed missing_japanese_code_table "$six$pin"'\xff\xff'"$six$jj$none"'\xe5\x8f\x91'
seed directory_as_preview_table "$six$pin$six$pj"'\xfe\xff'"$none"'\xe5\x8f\x91'
seed empty_tables '\x00\x00\x00\x00\x00\x00'"$none"'\xe5\x8f\x91 A'
seed odd_lengths '\x05\x00\xb6\xab\xb7\xa2\x41\x03\x00\x93\x8c\x94'"$six$jj$none"'\xe5\x8f\x91\xe4\xb8\x9cA'
seed unsorted_keys '\x06\x00\x41\x00\xb7\xa2\xb6\xab'"$six$pj$six$jj$none"'\xe5\x8f\x91\xe4\xb8\x9cA'
seed invalid_records "$six$pin"'\x06\x00\x80\x00\xff\xff\x81\x20\x06\x00\xa1\x7f\xfe\xfe\x00\x00'"$none"'\xe5\x8f\x91\xe4\xb8\x9cA'
seed invalid_text "$six$pin$six$pj$six$jj$none"'\xe5\x8f\xff\xed\xa0\x80\xf0\x9f\x98\x80\xc0\xaf'
seed words_and_candidates "$six$pin$six$pj$six$jj$words$candidates"'\xe5\x8f\x91\xe4\xb8\x9c\xe5\x8f\x91 \xe4\xb8\x9c\xe5\x8f\x91'
seed malformed_words "$six$pin$six$pj$six$jj"'\x04\x00\x01\x02\xb7\xa2\x04\x00\x00\x00\xb7\xa2''\xe5\x8f\x91\xe4\xb8\x9c'
