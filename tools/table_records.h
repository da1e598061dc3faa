#pragma once

#include "japanese_choice.h"
#include "table_files.h"

#include <string>
#include <vector>

namespace pelmora::tables {

// Kinds of keys, as counted in the coverage report.
enum class KeyClass {
    Tab,
    Ascii,
    Gb2312Hanzi,
    OtherIdeograph,
    Kana,
    FullWidthLatinAndDigits,
    Greek,
    Cyrillic,
    BoxDrawing,
    SymbolOrPunctuation,
};

const char* KeyClassName(KeyClass keyClass);

// A character of code page 936 that Pelmora may look up.
struct DesktopKey {
    std::string bytes; // 1 byte (ASCII) or lead byte + trail byte
    UChar32 character = 0;
    KeyClass keyClass = KeyClass::SymbolOrPunctuation;
};

// One record of the three tables.
struct TableRecord {
    DesktopKey key;
    Choice choice;
};

// True for a key that is an ideograph: a GB2312 hanzi or another code page 936 ideograph.
bool IsIdeographKey(const DesktopKey& key);

// An entry of the optional table files: the keys (code page 936 bytes) and their kanji.
TableEntry StoredEntry(const std::vector<std::string>& keys,
                       const std::vector<JapaneseCode>& japanese);

// The tab, every printable ASCII character and every round-tripping double-byte character of code
// page 936, ascending by CharCode as the key search wants them.
std::vector<DesktopKey> DesktopKeys(const StrictCodePage& desktop);

} // namespace pelmora::tables
