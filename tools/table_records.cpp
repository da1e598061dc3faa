#include "table_records.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace pelmora::tables {

namespace {

bool IsGb2312Hanzi(const std::string& bytes) {
    if (bytes.size() != 2) {
        return false;
    }
    const auto lead = static_cast<std::uint8_t>(bytes[0]);
    const auto trail = static_cast<std::uint8_t>(bytes[1]);
    return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

bool InRange(UChar32 c, UChar32 first, UChar32 last) {
    return c >= first && c <= last;
}

KeyClass Classify(const std::string& bytes, UChar32 c) {
    if (bytes.size() == 1) {
        return KeyClass::Ascii;
    }
    // Code page 936 maps the five empty GB2312 cells D7FA-D7FE to private use; they are
    // neither hanzi nor ideographs.
    const bool ideograph = c >= 0x3400 && u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC);
    if (ideograph) {
        return IsGb2312Hanzi(bytes) ? KeyClass::Gb2312Hanzi : KeyClass::OtherIdeograph;
    }
    if (InRange(c, 0x3041, 0x3096) || InRange(c, 0x30A1, 0x30FA)) {
        return KeyClass::Kana;
    }
    if (InRange(c, 0xFF10, 0xFF19) || InRange(c, 0xFF21, 0xFF3A) || InRange(c, 0xFF41, 0xFF5A)) {
        return KeyClass::FullWidthLatinAndDigits;
    }
    if (InRange(c, 0x0391, 0x03C9)) {
        return KeyClass::Greek;
    }
    if (InRange(c, 0x0400, 0x045F)) {
        return KeyClass::Cyrillic;
    }
    if (InRange(c, 0x2500, 0x257F)) {
        return KeyClass::BoxDrawing;
    }
    return KeyClass::SymbolOrPunctuation;
}

} // namespace

const char* KeyClassName(KeyClass keyClass) {
    switch (keyClass) {
    case KeyClass::Tab:
        return "tab";
    case KeyClass::Ascii:
        return "printable ASCII";
    case KeyClass::Gb2312Hanzi:
        return "GB2312 hanzi";
    case KeyClass::OtherIdeograph:
        return "other code page 936 ideographs";
    case KeyClass::Kana:
        return "kana";
    case KeyClass::FullWidthLatinAndDigits:
        return "full-width Latin letters and digits";
    case KeyClass::Greek:
        return "Greek letters";
    case KeyClass::Cyrillic:
        return "Cyrillic letters";
    case KeyClass::BoxDrawing:
        return "box drawing";
    case KeyClass::SymbolOrPunctuation:
        return "symbols and punctuation";
    }
    return "?";
}

bool IsIdeographKey(const DesktopKey& key) {
    return key.keyClass == KeyClass::Gb2312Hanzi || key.keyClass == KeyClass::OtherIdeograph;
}

TableEntry StoredEntry(const std::vector<std::string>& keys,
                       const std::vector<JapaneseCode>& japanese) {
    TableEntry entry;
    for (const std::string& key : keys) {
        entry.keys.push_back(CodeRecord(key));
    }
    for (const JapaneseCode& code : japanese) {
        entry.japaneseCodes.push_back(CodeRecord(code.sjis));
        entry.previews.push_back(CodeRecord(code.preview));
    }
    return entry;
}

std::vector<DesktopKey> DesktopKeys(const StrictCodePage& desktop) {
    std::vector<DesktopKey> keys = {{"\t", U'\t', KeyClass::Tab}};
    for (int byte = 0x21; byte <= 0x7E; ++byte) {
        const std::string bytes(1, static_cast<char>(byte));
        keys.push_back({bytes, byte, KeyClass::Ascii});
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string bytes = {static_cast<char>(lead), static_cast<char>(trail)};
            if (const auto c = desktop.Decode(bytes)) {
                keys.push_back({bytes, *c, Classify(bytes, *c)});
            }
        }
    }
    std::sort(keys.begin(), keys.end(), [](const DesktopKey& a, const DesktopKey& b) {
        return RecordCode(CodeRecord(a.bytes)) < RecordCode(CodeRecord(b.bytes));
    });
    return keys;
}

} // namespace pelmora::tables
