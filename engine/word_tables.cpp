#include "word_tables.h"

#include "char_tables.h"
#include "runtime_error.h"
#include "table_file_access.h"

#include <algorithm>
#include <memory>
#include <tuple>

namespace pelmora {

namespace {

// The records of an optional file read whole; nothing when the file does not exist.
class OptionalRecords {
public:
    explicit OptionalRecords(const std::filesystem::path& path) : m_path(path) {
        try {
            m_file = OpenTableFile(path, TableReading::InMemory);
        } catch (const RuntimeError& error) {
            if (error.Kind() != ErrorNumber::FileNotFound) {
                throw;
            }
            return;
        }
        const std::optional<std::int64_t> length = m_file->LoadedLength();
        if (!length) {
            Malformed(); // far larger than any word or candidate table
        }
        m_count = static_cast<RecordNumber>(*length / 2);
    }

    RecordNumber Count() const { return m_count; }
    Record Read(RecordNumber number) const { return m_file->Read(number); }
    [[noreturn]] void Malformed() const {
        throw RuntimeError(ErrorNumber::InvalidFileFormat, m_path);
    }
    // The entry length a header record gives, checked against its bounds and the file's end.
    int EntryLength(RecordNumber header, std::uint8_t tag, std::size_t least, std::size_t most,
                    int recordsPerUnit, int extraRecords) const {
        const Record record = Read(header);
        const int length = record.second;
        const std::int64_t end =
            std::int64_t{header} + extraRecords + std::int64_t{recordsPerUnit} * length;
        if (record.first != tag || length < static_cast<int>(least) ||
            length > static_cast<int>(most) || end > m_count) {
            Malformed();
        }
        return length;
    }
    // The choice of a Japanese-code record and a preview record; a pair that breaks the tables'
    // promise is a damaged file.
    KanjiChoice Choice(RecordNumber japaneseCode, RecordNumber preview) const {
        const Record code = Read(japaneseCode);
        const Record shown = Read(preview);
        if (!RecordsAgree(code, shown)) {
            throw DamagedRecord(m_path, japaneseCode);
        }
        return ChoiceFromRecords(code, shown);
    }
    // Key, Japanese-code and preview records of an entry of `length` characters after `header`.
    Word Entry(RecordNumber header, int length) const {
        Word word;
        for (int i = 1; i <= length; ++i) {
            word.keys.push_back(RecordCode(Read(header + i)));
            word.kanji.push_back(Choice(header + length + i, header + 2 * length + i));
        }
        return word;
    }

private:
    std::filesystem::path m_path;
    std::unique_ptr<TableFile> m_file;
    RecordNumber m_count = 0;
};

std::uint64_t KeyAndCode(CharCode key, char32_t japaneseCode) {
    return std::uint64_t{static_cast<std::uint16_t>(key)} << 32 | japaneseCode;
}

} // namespace

WordTable WordTable::Load(const std::filesystem::path& path) {
    namespace format = table_formats;
    const OptionalRecords records(path);
    std::vector<Word> words;
    for (RecordNumber header = 1; header <= records.Count();) {
        const int length =
            records.EntryLength(header, format::kWordHeaderTag, format::kShortestWord,
                                format::kLongestWord, format::EntryRecords(1), 0);
        words.push_back(records.Entry(header, length));
        header += 1 + static_cast<int>(format::EntryRecords(length));
    }
    return FromWords(std::move(words));
}

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

std::vector<const Word*> WordTable::WordsAt(std::span<const std::optional<CharCode>> codes) const {
    std::vector<const Word*> words;
    if (const std::vector<std::uint32_t>* indices = StartingWith(codes)) {
        for (const std::uint32_t index : *indices) {
            if (BeginsWith(codes, m_words[index])) {
                words.push_back(&m_words[index]);
            }
        }
    }
    return words;
}

std::vector<std::pair<std::uint64_t, std::uint32_t>> WordTable::FirstWordsGiving() const {
    std::vector<std::tuple<std::uint64_t, std::size_t, std::uint32_t>> giving;
    for (std::uint32_t index = 0; index < m_words.size(); ++index) {
        const Word& word = m_words[index];
        for (std::size_t i = 0; i < word.keys.size(); ++i) {
            giving.emplace_back(KeyAndCode(word.keys[i], word.kanji[i].japaneseCode),
                                word.keys.size(), index);
        }
    }
    // Per (key, code), the shortest word that gives it, the first in the file among equals.
    std::sort(giving.begin(), giving.end());
    std::vector<std::pair<std::uint64_t, std::uint32_t>> first;
    for (const auto& [keyAndCode, length, index] : giving) {
        if (first.empty() || first.back().first != keyAndCode) {
            first.emplace_back(keyAndCode, index);
        }
    }
    return first;
}

const Word* WordTable::WordGiving(CharCode key, char32_t japaneseCode) const {
    if (!m_firstGiving) {
        m_firstGiving = FirstWordsGiving();
    }
    const std::uint64_t wanted = KeyAndCode(key, japaneseCode);
    const auto found = std::lower_bound(m_firstGiving->begin(), m_firstGiving->end(), wanted,
                                        [](const std::pair<std::uint64_t, std::uint32_t>& entry,
                                           std::uint64_t value) { return entry.first < value; });
    return found == m_firstGiving->end() || found->first != wanted ? nullptr
                                                                   : &m_words[found->second];
}

CandidateTable CandidateTable::Load(const std::filesystem::path& path) {
    const OptionalRecords records(path);
    CandidateTable table;
    for (RecordNumber header = 1; header <= records.Count();) {
        const int count = records.EntryLength(header, table_formats::kCandidateHeaderTag, 1,
                                              table_formats::kMostCandidates, 2, 1);
        const CharCode key = RecordCode(records.Read(header + 1));
        std::vector<KanjiChoice> choices;
        for (int i = 1; i <= count; ++i) {
            choices.push_back(records.Choice(header + 1 + i, header + 1 + count + i));
        }
        table.m_byKey.try_emplace(key, std::move(choices));
        header += 2 + 2 * count;
    }
    return table;
}

NameTable NameTable::Load(const std::filesystem::path& path) {
    namespace format = table_formats;
    const OptionalRecords records(path);
    NameTable table;
    std::vector<Word> surnames;
    for (RecordNumber header = 1; header <= records.Count();) {
        const bool surname = records.Read(header).first == format::kSurnameTag;
        const int length =
            records.EntryLength(header, surname ? format::kSurnameTag : format::kGivenNameTag, 1,
                                surname ? format::kLongestSurname : 1, format::EntryRecords(1), 0);
        Word entry = records.Entry(header, length);
        if (surname) {
            surnames.push_back(std::move(entry));
        } else {
            table.m_givenNames.insert_or_assign(entry.keys.front(), entry.kanji.front());
        }
        header += 1 + static_cast<int>(format::EntryRecords(length));
    }
    table.m_surnames = WordTable::FromWords(std::move(surnames));
    return table;
}

const std::vector<KanjiChoice>& CandidateTable::CandidatesOf(CharCode key) const {
    static const std::vector<KanjiChoice> none;
    const auto found = m_byKey.find(key);
    return found == m_byKey.end() ? none : found->second;
}

} // namespace pelmora
