#include "kanji_inverse.h"

#include "kanji_choice.h"
#include "shift_jis.h"

#include <algorithm>

namespace pelmora {

namespace {

std::uint8_t LeadOf(CharCode code) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(code) >> 8);
}

std::uint8_t TrailOf(CharCode code) {
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(code) & 0xFF);
}

// GB2312's second level of hanzi, the 3,008 less common ones, has the leads D8-F7.
bool IsSecondLevelHanzi(CharCode code) {
    return code < 0 && LeadOf(code) >= 0xD8 && LeadOf(code) <= 0xF7;
}

} // namespace

bool IsGb2312(CharCode code) {
    return code >= 0 || (LeadOf(code) >= 0xA1 && LeadOf(code) <= 0xF7 && TrailOf(code) >= 0xA1);
}

std::optional<char32_t> JapaneseCharacterOf(Record japaneseCode) {
    // The record's bytes as CodeBytes gives them, read as Shift-JIS: a pair whose first byte
    // begins no Shift-JIS pair reads as two characters, not one.
    if (!IsLeadByte(japaneseCode.first)) {
        return ShiftJisCharacter(japaneseCode.first);
    }
    if (!IsShiftJisLeadByte(japaneseCode.first)) {
        return std::nullopt;
    }
    return ShiftJisCharacter(
        static_cast<std::uint16_t>(japaneseCode.first << 8 | japaneseCode.second));
}

KanjiInverse::KanjiInverse()
    : m_chinese(std::make_unique<char16_t[]>(kBmpSize)),
      m_defaults(std::make_unique<char16_t[]>(kBmpSize)),
      m_ranks(std::make_unique<Rank[]>(kBmpSize)) {}

KanjiInverse::Rank KanjiInverse::RankOf(CharCode key, char32_t japanese, Source source,
                                        std::size_t place) {
    const bool itself = CodePage936Character(static_cast<std::uint16_t>(key)) == japanese;
    Rank rank = IsGb2312(key) ? 0 : 1;
    rank = rank << 2 | static_cast<Rank>(source);
    rank = rank << 8 | std::min<std::size_t>(place, 0xFF);
    rank = rank << 1 | (IsSecondLevelHanzi(key) ? 1 : 0);
    rank = rank << 1 | (itself ? 0 : 1);
    return rank << 16 | static_cast<std::uint16_t>(key);
}

void KanjiInverse::Offer(CharCode key, char32_t japanese, Source source, std::size_t place) {
    const std::optional<char32_t> chinese = CodePage936Character(static_cast<std::uint16_t>(key));
    if (japanese >= kBmpSize || !chinese) {
        return;
    }
    const Rank rank = RankOf(key, japanese, source, place) + 1;
    if (m_ranks[japanese] == 0 || rank < m_ranks[japanese]) {
        m_ranks[japanese] = rank;
        m_chinese[japanese] = static_cast<char16_t>(*chinese);
    }
}

// Every kanji of the entries of the optional file `path`, for the key it belongs to: the one key
// of a candidate entry, or the key at its place in a word or a name.
void KanjiInverse::OfferEntries(const std::filesystem::path& path,
                                std::span<const EntryLayout> layouts, Source source) {
    ForEachEntry(path, layouts, [&](const EntryLayout& layout, const TableEntry& entry) {
        for (std::size_t i = 0; i < entry.japaneseCodes.size(); ++i) {
            if (!RecordsAgree(entry.japaneseCodes[i], entry.previews[i])) {
                throw DamagedRecord(path, entry.JapaneseCodeRecord(i));
            }
            const CharCode key = RecordCode(entry.keys[layout.oneKey ? 0 : i]);
            if (const std::optional<char32_t> japanese =
                    JapaneseCharacterOf(entry.japaneseCodes[i])) {
                Offer(key, *japanese, source, layout.oneKey ? i : 0);
            }
        }
    });
}

KanjiInverse KanjiInverse::Load(TableSet& tables, const TablePaths& paths,
                                const std::filesystem::path& directory,
                                const StoredWordModel& words) {
    KanjiInverse inverse;
    const RecordNumber keys = KeyRecordCount(tables.KeyFileLength());
    for (RecordNumber record = 1; record <= keys; ++record) {
        const CharCode key = RecordCode(tables.ReadRecord(kKeyTableFile, record));
        const Record code = tables.ReadRecord(kJapaneseCodeTableFile, record);
        const Record preview = tables.ReadRecord(kPreviewTableFile, record);
        if (!RecordsAgree(code, preview)) {
            throw DamagedRecord(paths.pjfile, record, paths.jjfile);
        }
        const std::optional<char32_t> japanese = JapaneseCharacterOf(code);
        if (!japanese) {
            continue; // "□" in both records (code page 936 bytes): the key has no kanji
        }
        char16_t& known = inverse.m_defaults[static_cast<std::uint16_t>(key)];
        known = known != 0 ? known : static_cast<char16_t>(*japanese);
        inverse.Offer(key, *japanese, Source::Default);
    }
    inverse.OfferEntries(directory / kCandidateTableName, std::span(&kCandidateEntry, 1),
                         Source::Candidate);
    static constexpr EntryLayout kNames[] = {kSurnameEntry, kGivenNameEntry};
    inverse.OfferEntries(directory / kNameTableName, kNames, Source::NameOrWord);
    for (std::size_t entry = 0; entry < words.EntryCount(); ++entry) {
        for (std::size_t j = 0; j < words.SpellingCount(entry); ++j) {
            const WordSpelling spelling = words.Spelling(entry, j);
            if (const std::optional<char32_t> japanese =
                    JapaneseCharacterOf(spelling.japaneseCode)) {
                inverse.Offer(words.Key(entry, spelling.position), *japanese, Source::NameOrWord);
            }
        }
    }
    inverse.m_ranks.reset();
    return inverse;
}

} // namespace pelmora
