#include "word_tables.h"

#include <algorithm>
#include <iterator>
#include <tuple>

namespace pelmora {

namespace {

// The choice of kanji `i` of an entry read from `path`; a pair that breaks the tables' promise
// is a damaged file.
KanjiChoice StoredChoice(const std::filesystem::path& path, const TableEntry& entry,
                         std::size_t i) {
    if (!RecordsAgree(entry.japaneseCodes[i], entry.previews[i])) {
        throw DamagedRecord(path, entry.JapaneseCodeRecord(i));
    }
    return ChoiceFromRecords(entry.japaneseCodes[i], entry.previews[i]);
}

// An entry with a key per kanji (words.dat, names.dat) as a word.
Word StoredWord(const std::filesystem::path& path, const TableEntry& entry) {
    Word word;
    for (std::size_t i = 0; i < entry.keys.size(); ++i) {
        word.keys.push_back(RecordCode(entry.keys[i]));
        word.kanji.push_back(StoredChoice(path, entry, i));
    }
    return word;
}

} // namespace

WordTable WordTable::FromWords(std::vector<Word> words) {
    WordTable table;
    table.m_words = std::move(words);
    table.IndexWords();
    return table;
}

void WordTable::IndexWords() {
    m_slotOfFirstKey.assign(0x10000, 0);
    m_held.assign(0x10000, false);
    for (const Word& word : m_words) {
        for (const CharCode key : word.keys) {
            m_held[static_cast<std::uint16_t>(key)] = true;
        }
    }
    for (std::uint32_t index = 0; index < m_words.size(); ++index) {
        const Word& word = m_words[index];
        std::uint32_t& slot = m_slotOfFirstKey[static_cast<std::uint16_t>(word.keys.front())];
        if (slot == 0) {
            m_byFirstKey.emplace_back();
            slot = static_cast<std::uint32_t>(m_byFirstKey.size());
        }
        m_byFirstKey[slot - 1].push_back(index);
    }
    for (std::vector<std::uint32_t>& indices : m_byFirstKey) {
        std::stable_sort(indices.begin(), indices.end(), [&](std::uint32_t a, std::uint32_t b) {
            return m_words[a].keys.size() > m_words[b].keys.size();
        });
    }
}

namespace {

bool BeginsWith(std::span<const std::optional<CharCode>> codes, const Word& word) {
    return word.keys.size() <= codes.size() &&
           std::equal(word.keys.begin(), word.keys.end(), codes.begin(),
                      [](CharCode key, const std::optional<CharCode>& code) {
                          return code && *code == key;
                      });
}

} // namespace

const std::vector<std::uint32_t>*
WordTable::StartingWith(std::span<const std::optional<CharCode>> codes) const {
    if (codes.empty() || !codes.front()) {
        return nullptr;
    }
    if (m_slotOfFirstKey.empty()) {
        return nullptr;
    }
    const std::uint32_t slot = m_slotOfFirstKey[static_cast<std::uint16_t>(*codes.front())];
    return slot == 0 ? nullptr : &m_byFirstKey[slot - 1];
}

const Word* WordTable::LongestWordAt(std::span<const std::optional<CharCode>> codes) const {
    if (const std::vector<std::uint32_t>* indices = StartingWith(codes)) {
        for (const std::uint32_t index : *indices) {
            if (BeginsWith(codes, m_words[index])) {
                return &m_words[index];
            }
        }
    }
    return nullptr;
}

CandidateTable CandidateTable::Load(const std::filesystem::path& path) {
    CandidateTable table;
    ForEachEntry(path, std::span(&kCandidateEntry, 1),
                 [&](const EntryLayout&, const TableEntry& entry) {
                     std::vector<KanjiChoice> choices;
                     for (std::size_t i = 0; i < entry.japaneseCodes.size(); ++i) {
                         choices.push_back(StoredChoice(path, entry, i));
                     }
                     table.m_byKey.try_emplace(RecordCode(entry.keys.front()), std::move(choices));
                 });
    return table;
}

NameTable NameTable::Load(const std::filesystem::path& path) {
    static constexpr EntryLayout kNameEntries[] = {kSurnameEntry, kGivenNameEntry};
    NameTable table;
    std::vector<Word> surnames;
    ForEachEntry(path, kNameEntries, [&](const EntryLayout& layout, const TableEntry& entry) {
        Word name = StoredWord(path, entry);
        if (layout.tag == kSurnameTag) {
            surnames.push_back(std::move(name));
        } else {
            table.AddGivenNameForm(name.keys.front(), name.kanji.front());
        }
    });
    table.m_surnames = WordTable::FromWords(std::move(surnames));
    return table;
}

void NameTable::AddGivenNameForm(CharCode code, const KanjiChoice& form) {
    if (m_givenNameOf.empty()) {
        m_givenNameOf.assign(0x10000, 0);
    }
    std::uint32_t& slot = m_givenNameOf[static_cast<std::uint16_t>(code)];
    if (slot != 0) {
        m_givenNames[slot - 1] = form;
        return;
    }
    m_givenNames.push_back(form);
    slot = static_cast<std::uint32_t>(m_givenNames.size());
}

const std::vector<KanjiChoice>& CandidateTable::CandidatesOf(CharCode key) const {
    static const std::vector<KanjiChoice> none;
    const auto found = m_byKey.find(key);
    return found == m_byKey.end() ? none : found->second;
}

CandidateTable CandidateTable::OnlyJisX0208() const {
    CandidateTable kept;
    for (const auto& [key, candidates] : m_byKey) {
        std::vector<KanjiChoice> inJisX0208;
        std::copy_if(
            candidates.begin(), candidates.end(), std::back_inserter(inJisX0208),
            [](const KanjiChoice& kanji) { return IsJisX0208Character(kanji.japaneseCode); });
        if (!inJisX0208.empty()) {
            kept.m_byKey.emplace(key, std::move(inJisX0208));
        }
    }
    return kept;
}

} // namespace pelmora
