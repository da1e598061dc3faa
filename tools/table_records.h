#pragma once

#include "japanese_choice.h"

#include <cstdint>
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

// The signed 16-bit CharCode the key search sorts by: byte value for ASCII, lead*256+trail as
// int16 for double-byte characters (all negative).
std::int16_t KeyCharCode(const std::string& bytes);

// The tab, every printable ASCII character and every round-tripping double-byte character of code
// page 936, ascending by CharCode.
std::vector<DesktopKey> DesktopKeys(const StrictCodePage& desktop);

// The 2-byte record form of a code: double-byte as is, single byte followed by 0x00.
std::string RecordBytes(const std::string& code);

} // namespace pelmora::tables
