#!/usr/bin/env bash
# Writes the seed corpus of pelmora_conversion_fuzzer into corpus/. Each seed is three tables
# (a 2-byte little-endian length, then the bytes; ffff = no such file, feff = a directory)
# followed by the input text, the layout SplitFuzzInput reads.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p corpus

# 东 发 A, sorted by key, with their Shift-JIS codes and previews (東 発 A).
pin='\xb6\xab\xb7\xa2\x41\x00'
pj='\x93\x8c\x94\xad\x41\x00'
jj='\x96\x7c\xb0\x6b\x41\x00'
six='\x06\x00'

seed() { printf "$2" >"corpus/$1"; }

seed known_characters "$six$pin$six$pj$six$jj"'\xe5\x8f\x91\xe4\xb8\x9c A\xe4\xb8\xad\r\n'
seed punctuation "$six$pin$six$pj$six$jj"'!"\xef\xbc\x81\xe3\x80\x82,.:;\xe2\x80\x9c\xe2\x80\x9d\x00\t'
seed missing_japanese_code_table "$six$pin"'\xff\xff'"$six$jj"'\xe5\x8f\x91'
seed directory_as_preview_table "$six$pin$six$pj"'\xfe\xff\xe5\x8f\x91'
seed empty_tables '\x00\x00\x00\x00\x00\x00\xe5\x8f\x91 A'
seed odd_lengths '\x05\x00\xb6\xab\xb7\xa2\x41\x03\x00\x93\x8c\x94'"$six$jj"'\xe5\x8f\x91\xe4\xb8\x9cA'
seed unsorted_keys '\x06\x00\x41\x00\xb7\xa2\xb6\xab'"$six$pj$six$jj"'\xe5\x8f\x91\xe4\xb8\x9cA'
seed invalid_records "$six$pin"'\x06\x00\x80\x00\xff\xff\x81\x20\x06\x00\xa1\x7f\xfe\xfe\x00\x00\xe5\x8f\x91\xe4\xb8\x9cA'
seed invalid_text "$six$pin$six$pj$six$jj"'\xe5\x8f\xff\xed\xa0\x80\xf0\x9f\x98\x80\xc0\xaf'
