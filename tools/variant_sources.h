#pragma once

#include <unicode/umachine.h>

#include <istream>
#include <map>
#include <string>
#include <vector>

namespace pelmora::tables {

// Character-to-characters links, in the order the source lists them. An ordered map keeps
// every walk over the links, and so the built tables, deterministic.
using VariantMap = std::map<UChar32, std::vector<UChar32>>;

// Reads an OpenCC dictionary dumped as text ("key<TAB>value value ..."), keeping the entries
// whose key and values are single characters.
VariantMap ReadOpenccCharacters(std::istream& text);

// Turns "shinjitai<TAB>old forms" (JPShinjitaiCharacters) into old form -> shinjitai links.
VariantMap ReverseLinks(const VariantMap& links);

// Reads the named fields of Unihan_Variants.txt ("U+53D1<TAB>kTraditionalVariant<TAB>U+767C
// U+9AEE"); values may carry source tags ("U+5F8C<kMatthews"), which are dropped after values
// tagged as differing only in form (":T", ":Z") have been moved first.
std::map<std::string, VariantMap> ReadUnihanVariants(std::istream& text,
                                                     const std::vector<std::string>& fields);

} // namespace pelmora::tables
