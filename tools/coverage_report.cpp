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

std::string HexBytes(const std::string& bytes) {
    std::string text;
    char digits[3];
    for (const char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(byte));
        text += digits;
    }
    return text;
}

std::string Percent(int part, int whole) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f%%", whole == 0 ? 0.0 : 100.0 * part / whole);
    return text;
}

std::string CharacterBlock(const std::vector<UChar32>& characters) {
    std::string block;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        block += Utf8(characters[i]);
        block += (i + 1) % kCharactersPerLine == 0 ? "\n" : "";
    }
    return block.empty() || block.back() == '\n' ? block : block + "\n";
}

std::string EntryBlock(const std::vector<std::string>& entries) {
    std::string block;
    for (const auto& entry : entries) {
        block += "- " + entry + "\n";
    }
    return entries.empty() ? block : block + "\n";
}

std::set<std::string> MappedKeys(const std::vector<TableRecord>& records) {
    std::set<std::string> mapped;
    for (const auto& record : records) {
        mapped.insert(record.key.bytes);
    }
    return mapped;
}

void ReportKeyClasses(std::ostringstream& out, const std::vector<DesktopKey>& keys,
                      const std::vector<TableRecord>& records) {
    std::map<KeyClass, std::pair<int, int>> counts; // mapped, in code page 936
    for (const auto& key : keys) {
        ++counts[key.keyClass].second;
    }
    for (const auto& record : records) {
        ++counts[record.key.keyClass].first;
    }
    out << "| keys | mapped | in code page 936 |\n| --- | ---: | ---: |\n";
    for (const auto& [keyClass, count] : counts) {
        out << "| " << KeyClassName(keyClass) << " | " << count.first << " | " << count.second
            << " |\n";
    }
    out << "| all keys (records) | " << records.size() << " | " << keys.size() << " |\n\n";
}

void ReportRoutes(std::ostringstream& out, const std::vector<TableRecord>& records) {
    std::map<std::string, int> routes;
    for (const auto& record : records) {
        if (record.key.keyClass == KeyClass::Gb2312Hanzi) {
            ++routes[record.choice.route];
        }
    }
    out << "GB2312 hanzi by the way their Japanese form was found:\n\n";
    for (const auto& [route, count] : routes) {
        out << "- " << route << ": " << count << "\n";
    }
    out << "\n";
}

void ReportHanzi(std::ostringstream& out, const std::vector<DesktopKey>& keys,
                 const std::vector<TableRecord>& records, const JapaneseChooser& chooser) {
    int mapped = 0;
    int extension = 0;
    int reachable = 0;
    std::vector<UChar32> unmapped;
    const auto mappedBytes = MappedKeys(records);
    for (const auto& key : keys) {
        if (key.keyClass != KeyClass::Gb2312Hanzi) {
            continue;
        }
        reachable += chooser.ReachableThroughVariants(key.character) ? 1 : 0;
        if (mappedBytes.count(key.bytes) != 0) {
            ++mapped;
        } else {
            unmapped.push_back(key.character);
        }
    }
    for (const auto& record : records) {
        extension +=
            record.key.keyClass == KeyClass::Gb2312Hanzi && record.choice.route == "extension kanji"
                ? 1
                : 0;
    }
    out << "GB2312 hanzi mapped: **" << mapped << " of " << kGb2312HanziCount << "** ("
        << Percent(mapped, kGb2312HanziCount) << "): " << mapped - extension
        << " to JIS X 0208 kanji, " << extension
        << " to extension kanji of code page 932 (no JIS X 0208 counterpart).\n\n"
        << "Upper bound through the variant data for JIS X 0208 (some chain of OpenCC or Unihan "
           "links, in any direction, reaches a shippable JIS X 0208 kanji): "
        << reachable << ".\n\n";
    ReportRoutes(out, records);
    out << "GB2312 hanzi with no Japanese counterpart (" << unmapped.size() << "):\n\n```text\n"
        << CharacterBlock(unmapped) << "```\n\n";
}

std::string DisagreementReason(const TableRecord& record, UChar32 reference,
                               const JapaneseChooser& chooser) {
    if (!chooser.Shippable(reference)) {
        return "OpenCC's form cannot be shipped";
    }
    if (record.choice.route.find("override") != std::string::npos) {
        return "hand-made override, reason above";
    }
    return "found through " + record.choice.route;
}

void ReportOpenccAgreement(std::ostringstream& out, const std::vector<TableRecord>& records,
                           const JapaneseChooser& chooser) {
    int compared = 0;
    int agreeing = 0;
    std::ostringstream disagreements;
    for (const auto& record : records) {
        if (record.key.keyClass != KeyClass::Gb2312Hanzi) {
            continue;
        }
        const UChar32 reference = chooser.OpenccReference(record.key.character);
        if (!chooser.InJisX0208(reference)) {
            continue;
        }
        ++compared;
        if (record.choice.code.character == reference) {
            ++agreeing;
            continue;
        }
        disagreements << "- " << Utf8(record.key.character) << ": tables "
                      << Utf8(record.choice.code.character) << ", OpenCC " << Utf8(reference)
                      << " (" << DisagreementReason(record, reference, chooser) << ")\n";
    }
    out << "GB2312 hanzi for which OpenCC s2t then t2jp (first candidates, out of context) gives a "
           "JIS X 0208 kanji: "
        << compared << "; the tables agree on " << agreeing << " (" << Percent(agreeing, compared)
        << "). Disagreements:\n\n"
        << (disagreements.str().empty() ? "- none\n" : disagreements.str()) << "\n";
}

void ReportUnshippableCodes(std::ostringstream& out, const JapaneseChooser& chooser) {
    const StrictCodePage shiftJis(kShiftJisCodePage);
    const StrictCodePage desktop(kDesktopCodePage);
    int jisCodes = 0;
    std::vector<std::string> noDesktopPair;
    std::vector<std::string> noPreview;
    for (int lead = 0x81; lead <= 0xEA; ++lead) {
        for (int trail = 0x40; trail <= 0xFC && IsJisX0208Lead(lead); ++trail) {
            const std::string bytes = {static_cast<char>(lead), static_cast<char>(trail)};
            const auto japanese = shiftJis.Decode(bytes);
            if (!japanese) {
                continue;
            }
            ++jisCodes;
            const std::string entry = HexBytes(bytes) + " " + Utf8(*japanese);
            if (!desktop.Decode(bytes)) {
                noDesktopPair.push_back(entry);
            } else if (!chooser.ShippableSign(*japanese)) {
                noPreview.push_back(entry);
            }
        }
    }
    out << "JIS X 0208 codes in code page 932: " << jisCodes << ".\n\n"
        << "Codes that cannot be shipped because their two bytes are no round-tripping code page "
           "936 character: "
        << noDesktopPair.size() << (noDesktopPair.empty() ? "." : ":") << "\n\n"
        << EntryBlock(noDesktopPair)
        << "Codes that cannot be shipped because the Japanese character is missing from code "
           "page 936, so it has no preview: "
        << noPreview.size() << (noPreview.empty() ? "." : ":") << "\n\n"
        << EntryBlock(noPreview);
}

bool IsGb2312Sign(const std::string& bytes) {
    const auto lead = static_cast<std::uint8_t>(bytes[0]);
    return bytes.size() == 2 && lead >= 0xA1 && lead <= 0xA9 &&
           static_cast<std::uint8_t>(bytes[1]) >= 0xA1;
}

std::string MappedSignGroup(const TableRecord& record) {
    const auto lead = static_cast<std::uint8_t>(record.choice.code.sjis[0]);
    if (record.choice.code.character != record.key.character) {
        return "a Japanese equivalent (hand-made links above)";
    }
    return IsNecRow13Lead(lead) ? "the same character, from NEC row 13"
                                : "the same character, from JIS X 0208";
}

std::string BlockName(UChar32 c) {
    const auto block = u_getIntPropertyValue(c, UCHAR_BLOCK);
    const char* name = u_getPropertyValueName(UCHAR_BLOCK, block, U_LONG_PROPERTY_NAME);
    std::string text = name == nullptr ? "unknown block" : name;
    std::replace(text.begin(), text.end(), '_', ' ');
    return text;
}

std::string UnmappedSignGroup(UChar32 sign, const StrictCodePage& shiftJis) {
    if (const auto reason = JapaneseChooser::SignLeftOutReason(sign)) {
        return *reason;
    }
    const auto sjis = shiftJis.Encode(sign);
    if (sjis && sjis->size() == 2 && IsExtensionLead(static_cast<std::uint8_t>((*sjis)[0]))) {
        return "only in code page 932's IBM extension rows (" + HexBytes(*sjis).substr(0, 2) +
               "xx), which the tables leave to the candidates";
    }
    return "no Shift-JIS character of this meaning (" + BlockName(sign) + ")";
}

void ReportSignGroups(std::ostringstream& out,
                      const std::map<std::string, std::vector<std::string>>& groups,
                      const std::string& heading) {
    for (const auto& [group, signs] : groups) {
        out << heading << group << " (" << signs.size() << "):\n\n```text\n";
        for (std::size_t i = 0; i < signs.size(); ++i) {
            const bool lineEnd = (i + 1) % kSignsPerLine == 0 || i + 1 == signs.size();
            out << signs[i] << (lineEnd ? "\n" : " ");
        }
        out << "```\n\n";
    }
}

void ReportGb2312Signs(std::ostringstream& out, const std::vector<DesktopKey>& keys,
                       const std::vector<TableRecord>& records) {
    const StrictCodePage shiftJis(kShiftJisCodePage);
    std::map<std::string, const TableRecord*> byKey;
    for (const auto& record : records) {
        byKey[record.key.bytes] = &record;
    }
    std::map<std::string, std::vector<std::string>> mapped;
    std::map<std::string, std::vector<std::string>> unmapped;
    for (const auto& key : keys) {
        // Code page 936 gives the empty cells of these rows private-use characters.
        const bool emptyCell = u_charType(key.character) == U_PRIVATE_USE_CHAR;
        if (!IsGb2312Sign(key.bytes) || emptyCell) {
            continue;
        }
        const auto found = byKey.find(key.bytes);
        if (found == byKey.end()) {
            unmapped[UnmappedSignGroup(key.character, shiftJis)].push_back(Utf8(key.character));
            continue;
        }
        const auto& choice = found->second->choice;
        std::string shown = Utf8(key.character);
        if (choice.code.character != key.character) {
            shown += "→" + Utf8(choice.code.character);
        }
        mapped[MappedSignGroup(*found->second)].push_back(shown);
    }
    out << "GB2312 signs (rows A1-A9, their empty cells left aside), mapped to:\n\n";
    ReportSignGroups(out, mapped, "- ");
    out << "GB2312 signs (rows A1-A9) left unmapped, and why:\n\n";
    ReportSignGroups(out, unmapped, "- ");
}

void ReportUnihanChoices(std::ostringstream& out, const std::vector<TableRecord>& records) {
    std::vector<std::string> entries;
    for (const auto& record : records) {
        const auto& route = record.choice.route;
        if (record.key.keyClass == KeyClass::Gb2312Hanzi && route.rfind("Unihan", 0) == 0) {
            entries.push_back(Utf8(record.key.character) + " → " +
                              Utf8(record.choice.code.character) + " (" + route + ")");
        }
    }
    out << "GB2312 hanzi mapped through Unihan variants (" << entries.size() << "):\n\n"
        << EntryBlock(entries);
}

} // namespace

std::string CoverageReport(const std::vector<DesktopKey>& keys,
                           const std::vector<TableRecord>& records,
                           const JapaneseChooser& chooser) {
    std::ostringstream out;
    ReportKeyClasses(out, keys, records);
    ReportHanzi(out, keys, records, chooser);
    out << "Hand-made links (tools/japanese_choice.cpp):\n\n"
        << EntryBlock(JapaneseChooser::HandMadeLinks());
    ReportUnihanChoices(out, records);
    ReportOpenccAgreement(out, records, chooser);
    ReportGb2312Signs(out, keys, records);
    ReportUnshippableCodes(out, chooser);
    return out.str();
}

} // namespace pelmora::tables
