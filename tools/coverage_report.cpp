#include "coverage_report.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace pelmora::tables {

namespace {

constexpr int kGb2312HanziCount = 6763;
constexpr int kCharactersPerLine = 40;
constexpr std::size_t kSignsPerLine = 20;

std::string hex_bytes(const std::string& bytes) {
    std::string text;
    char digits[3];
    for (const char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(byte));
        text += digits;
    }
    return text;
}

std::string percent(int part, int whole) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f%%", whole == 0 ? 0.0 : 100.0 * part / whole);
    return text;
}

std::string character_block(const std::vector<UChar32>& characters) {
    std::string block;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        block += utf8(characters[i]);
        block += (i + 1) % kCharactersPerLine == 0 ? "\n" : "";
    }
    return block.empty() || block.back() == '\n' ? block : block + "\n";
}

std::string entry_block(const std::vector<std::string>& entries) {
    std::string block;
    for (const auto& entry : entries) {
        block += "- " + entry + "\n";
    }
    return entries.empty() ? block : block + "\n";
}

std::set<std::string> mapped_keys(const std::vector<TableRecord>& records) {
    std::set<std::string> mapped;
    for (const auto& record : records) {
        mapped.insert(record.key.bytes);
    }
    return mapped;
}

void report_key_classes(std::ostringstream& out, const std::vector<DesktopKey>& keys,
                        const std::vector<TableRecord>& records) {
    std::map<KeyClass, std::pair<int, int>> counts; // mapped, in code page 936
    for (const auto& key : keys) {
        ++counts[key.key_class].second;
    }
    for (const auto& record : records) {
        ++counts[record.key.key_class].first;
    }
    out << "| keys | mapped | in code page 936 |\n| --- | ---: | ---: |\n";
    for (const auto& [key_class, count] : counts) {
        out << "| " << key_class_name(key_class) << " | " << count.first << " | " << count.second
            << " |\n";
    }
    out << "| all keys (records) | " << records.size() << " | " << keys.size() << " |\n\n";
}

void report_routes(std::ostringstream& out, const std::vector<TableRecord>& records) {
    std::map<std::string, int> routes;
    for (const auto& record : records) {
        if (record.key.key_class == KeyClass::Gb2312Hanzi) {
            ++routes[record.choice.route];
        }
    }
    out << "GB2312 hanzi by the way their Japanese form was found:\n\n";
    for (const auto& [route, count] : routes) {
        out << "- " << route << ": " << count << "\n";
    }
    out << "\n";
}

void report_hanzi(std::ostringstream& out, const std::vector<DesktopKey>& keys,
                  const std::vector<TableRecord>& records, const JapaneseChooser& chooser) {
    int mapped = 0;
    int extension = 0;
    int reachable = 0;
    std::vector<UChar32> unmapped;
    const auto mapped_bytes = mapped_keys(records);
    for (const auto& key : keys) {
        if (key.key_class != KeyClass::Gb2312Hanzi) {
            continue;
        }
        reachable += chooser.reachable_through_variants(key.character) ? 1 : 0;
        if (mapped_bytes.count(key.bytes) != 0) {
            ++mapped;
        } else {
            unmapped.push_back(key.character);
        }
    }
    for (const auto& record : records) {
        extension += record.key.key_class == KeyClass::Gb2312Hanzi &&
                             record.choice.route == "extension kanji"
                         ? 1
                         : 0;
    }
    out << "GB2312 hanzi mapped: **" << mapped << " of " << kGb2312HanziCount << "** ("
        << percent(mapped, kGb2312HanziCount) << "): " << mapped - extension
        << " to JIS X 0208 kanji, " << extension
        << " to extension kanji of code page 932 (no JIS X 0208 counterpart).\n\n"
        << "Upper bound through the variant data for JIS X 0208 (some chain of OpenCC or Unihan "
           "links, in any direction, reaches a shippable JIS X 0208 kanji): "
        << reachable << ".\n\n";
    report_routes(out, records);
    out << "GB2312 hanzi with no Japanese counterpart (" << unmapped.size() << "):\n\n```text\n"
        << character_block(unmapped) << "```\n\n";
}

std::string disagreement_reason(const TableRecord& record, UChar32 reference,
                                const JapaneseChooser& chooser) {
    if (!chooser.shippable(reference)) {
        return "OpenCC's form cannot be shipped";
    }
    if (record.choice.route.find("override") != std::string::npos) {
        return "hand-made override, reason above";
    }
    return "found through " + record.choice.route;
}

void report_opencc_agreement(std::ostringstream& out, const std::vector<TableRecord>& records,
                             const JapaneseChooser& chooser) {
    int compared = 0;
    int agreeing = 0;
    std::ostringstream disagreements;
    for (const auto& record : records) {
        if (record.key.key_class != KeyClass::Gb2312Hanzi) {
            continue;
        }
        const UChar32 reference = chooser.opencc_reference(record.key.character);
        if (!chooser.in_jis_x0208(reference)) {
            continue;
        }
        ++compared;
        if (record.choice.code.character == reference) {
            ++agreeing;
            continue;
        }
        disagreements << "- " << utf8(record.key.character) << ": tables "
                      << utf8(record.choice.code.character) << ", OpenCC " << utf8(reference)
                      << " (" << disagreement_reason(record, reference, chooser) << ")\n";
    }
    out << "GB2312 hanzi for which OpenCC s2t then t2jp (first candidates, out of context) gives a "
           "JIS X 0208 kanji: "
        << compared << "; the tables agree on " << agreeing << " (" << percent(agreeing, compared)
        << "). Disagreements:\n\n"
        << (disagreements.str().empty() ? "- none\n" : disagreements.str()) << "\n";
}

void report_unshippable_codes(std::ostringstream& out, const JapaneseChooser& chooser) {
    const StrictCodePage shift_jis(kShiftJisCodePage);
    const StrictCodePage desktop(kDesktopCodePage);
    int jis_codes = 0;
    std::vector<std::string> no_desktop_pair;
    std::vector<std::string> no_preview;
    for (int lead = 0x81; lead <= 0xEA; ++lead) {
        for (int trail = 0x40; trail <= 0xFC && is_jis_x0208_lead(lead); ++trail) {
            const std::string bytes = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto japanese = shift_jis.decode(bytes);
            if (!japanese) {
                continue;
            }
            ++jis_codes;
            const std::string entry = hex_bytes(bytes) + " " + utf8(*japanese);
            if (!desktop.decode(bytes)) {
                no_desktop_pair.push_back(entry);
            } else if (!chooser.shippable_sign(*japanese)) {
                no_preview.push_back(entry);
            }
        }
    }
    out << "JIS X 0208 codes in code page 932: " << jis_codes << ".\n\n"
        << "Codes that cannot be shipped because their two bytes are no round-tripping code page "
           "936 character: "
        << no_desktop_pair.size() << (no_desktop_pair.empty() ? "." : ":") << "\n\n"
        << entry_block(no_desktop_pair)
        << "Codes that cannot be shipped because the Japanese character is missing from code "
           "page 936, so it has no preview: "
        << no_preview.size() << (no_preview.empty() ? "." : ":") << "\n\n"
        << entry_block(no_preview);
}

bool is_gb2312_sign(const std::string& bytes) {
    const auto lead = static_cast<std::uint8_t>(bytes[0]);
    return bytes.size() == 2 && lead >= 0xA1 && lead <= 0xA9 &&
           static_cast<std::uint8_t>(bytes[1]) >= 0xA1;
}

std::string mapped_sign_group(const TableRecord& record) {
    const auto lead = static_cast<std::uint8_t>(record.choice.code.sjis[0]);
    if (record.choice.code.character != record.key.character) {
        return "a Japanese equivalent (hand-made links above)";
    }
    return is_nec_row13_lead(lead) ? "the same character, from NEC row 13"
                                   : "the same character, from JIS X 0208";
}

std::string block_name(UChar32 c) {
    const auto block = u_getIntPropertyValue(c, UCHAR_BLOCK);
    const char* name = u_getPropertyValueName(UCHAR_BLOCK, block, U_LONG_PROPERTY_NAME);
    std::string text = name == nullptr ? "unknown block" : name;
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

std::string unmapped_sign_group(UChar32 sign, const StrictCodePage& shift_jis) {
    if (const auto reason = JapaneseChooser::sign_left_out_reason(sign)) {
        return *reason;
    }
    const auto sjis = shift_jis.encode(sign);
    if (sjis && sjis->size() == 2 && is_extension_lead(static_cast<std::uint8_t>((*sjis)[0]))) {
        return "only in code page 932's IBM extension rows (" + hex_bytes(*sjis).substr(0, 2) +
               "xx), which the tables leave to the candidates";
    }
    return "no Shift-JIS character of this meaning (" + block_name(sign) + ")";
}

void report_sign_groups(std::ostringstream& out,
                        const std::map<std::string, std::vector<std::string>>& groups,
                        const std::string& heading) {
    for (const auto& [group, signs] : groups) {
        out << heading << group << " (" << signs.size() << "):\n\n```text\n";
        for (std::size_t i = 0; i < signs.size(); ++i) {
            const bool line_end = (i + 1) % kSignsPerLine == 0 || i + 1 == signs.size();
            out << signs[i] << (line_end ? "\n" : " ");
        }
        out << "```\n\n";
    }
}

void report_gb2312_signs(std::ostringstream& out, const std::vector<DesktopKey>& keys,
                         const std::vector<TableRecord>& records) {
    const StrictCodePage shift_jis(kShiftJisCodePage);
    std::map<std::string, const TableRecord*> by_key;
    for (const auto& record : records) {
        by_key[record.key.bytes] = &record;
    }
    std::map<std::string, std::vector<std::string>> mapped;
    std::map<std::string, std::vector<std::string>> unmapped;
    for (const auto& key : keys) {
        // Code page 936 gives the empty cells of these rows private-use characters.
        const bool empty_cell = u_charType(key.character) == U_PRIVATE_USE_CHAR;
        if (!is_gb2312_sign(key.bytes) || empty_cell) {
            continue;
        }
        const auto found = by_key.find(key.bytes);
        if (found == by_key.end()) {
            unmapped[unmapped_sign_group(key.character, shift_jis)].push_back(utf8(key.character));
            continue;
        }
        const auto& choice = found->second->choice;
        std::string shown = utf8(key.character);
        if (choice.code.character != key.character) {
            shown += "→" + utf8(choice.code.character);
        }
        mapped[mapped_sign_group(*found->second)].push_back(shown);
    }
    out << "GB2312 signs (rows A1-A9, their empty cells left aside), mapped to:\n\n";
    report_sign_groups(out, mapped, "- ");
    out << "GB2312 signs (rows A1-A9) left unmapped, and why:\n\n";
    report_sign_groups(out, unmapped, "- ");
}

void report_unihan_choices(std::ostringstream& out, const std::vector<TableRecord>& records) {
    std::vector<std::string> entries;
    for (const auto& record : records) {
        const auto& route = record.choice.route;
        if (record.key.key_class == KeyClass::Gb2312Hanzi && route.rfind("Unihan", 0) == 0) {
            entries.push_back(utf8(record.key.character) + " → " +
                              utf8(record.choice.code.character) + " (" + route + ")");
        }
    }
    out << "GB2312 hanzi mapped through Unihan variants (" << entries.size() << "):\n\n"
        << entry_block(entries);
}

} // namespace

std::string coverage_report(const std::vector<DesktopKey>& keys,
                            const std::vector<TableRecord>& records,
                            const JapaneseChooser& chooser) {
    std::ostringstream out;
    report_key_classes(out, keys, records);
    report_hanzi(out, keys, records, chooser);
    out << "Hand-made links (tools/japanese_choice.cpp):\n\n"
        << entry_block(JapaneseChooser::hand_made_links());
    report_unihan_choices(out, records);
    report_opencc_agreement(out, records, chooser);
    report_gb2312_signs(out, keys, records);
    report_unshippable_codes(out, chooser);
    return out.str();
}

} // namespace pelmora::tables
