#pragma once

#include <unicode/umachine.h>

#include <istream>
#include <string>
#include <vector>

namespace pelmora::tables {

// One word of OpenCC's phrase dictionary: the Simplified Chinese word and its first
// traditional form, character by character.
struct Phrase {
    std::vector<UChar32> simplified;
    std::vector<UChar32> traditional;
};

// The characters of a UTF-8 word; empty when the bytes are not valid UTF-8.
std::vector<UChar32> Utf8Characters(const std::string& word);

// Reads STPhrases dumped as text ("头发<TAB>頭髮 ..."), keeping words of two or more
// characters whose first traditional form has as many characters as the word. Words appear in
// the order of the dump.
std::vector<Phrase> ReadOpenccPhrases(std::istream& text);

} // namespace pelmora::tables
