#include "table_files.h"

#include "runtime_error.h"
#include "table_file_access.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace pelmora {

namespace {

// An optional file read whole; nothing when it does not exist.
std::optional<std::string> ReadOptionalFile(const std::filesystem::path& path) {
    std::optional<ReadOnlyFile> file;
    try {
        file.emplace(path);
    } catch (const RuntimeError& error) {
        if (error.Kind() != ErrorNumber::FileNotFound) {
            throw;
        }
        return std::nullopt;
    }
    const std::int64_t length = file->RegularFileLength();
    if (length > kLargestTableReadWhole) {
        throw RuntimeError(ErrorNumber::InvalidFileFormat, path);
    }
    std::string bytes(static_cast<std::size_t>(length), '\0');
    bytes.resize(file->ReadAt(0, bytes.data(), bytes.size()));
    return bytes;
}

// The records of an optional file, by number, as the entry walk reads them.
class StoredRecords {
public:
    StoredRecords(const std::filesystem::path& path, std::string bytes)
        : m_path(path), m_bytes(std::move(bytes)) {}

    RecordNumber Count() const { return static_cast<RecordNumber>(m_bytes.size() / kRecordBytes); }

    Record Read(RecordNumber number) const {
        const std::size_t at = static_cast<std::size_t>(number - 1) * kRecordBytes;
        return {static_cast<std::uint8_t>(m_bytes[at]), static_cast<std::uint8_t>(m_bytes[at + 1])};
    }

    void Read(RecordNumber first, std::size_t count, std::vector<Record>& records) const {
        for (std::size_t i = 0; i < count; ++i) {
            records.push_back(Read(first + static_cast<RecordNumber>(i)));
        }
    }

    [[noreturn]] void Malformed() const {
        throw RuntimeError(ErrorNumber::InvalidFileFormat, m_path);
    }

private:
    const std::filesystem::path& m_path;
    std::string m_bytes;
};

const EntryLayout* LayoutTagged(std::span<const EntryLayout> layouts, std::uint8_t tag) {
    const auto found = std::find_if(layouts.begin(), layouts.end(),
                                    [tag](const EntryLayout& layout) { return layout.tag == tag; });
    return found == layouts.end() ? nullptr : &*found;
}

std::size_t KeyCount(const EntryLayout& layout, std::size_t kanji) {
    return layout.oneKey ? 1 : kanji;
}

// True when the keys of `later` come after those of `earlier` as the word model sorts them:
// by CharCode, character by character, a word before the longer words it begins.
bool KeysAfter(const StoredWordModel& model, std::size_t earlier, std::size_t later) {
    const std::size_t common = std::min(model.Length(earlier), model.Length(later));
    for (std::size_t i = 0; i < common; ++i) {
        const CharCode a = model.Key(earlier, i);
        const CharCode b = model.Key(later, i);
        if (a != b) {
            return a < b;
        }
    }
    return model.Length(earlier) < model.Length(later);
}

// True when an entry's own counts, cost and spelling positions are what the layout allows.
bool WordModelEntryFits(const WordModelEntry& entry) {
    const std::size_t characters = entry.keys.size();
    if (characters == 0 || characters > kLongestWord || entry.spellings.size() > characters ||
        entry.cost > kMostWordCost) {
        return false;
    }
    for (std::size_t i = 0; i < entry.spellings.size(); ++i) {
        const std::size_t position = entry.spellings[i].position;
        if (position >= characters || (i > 0 && position <= entry.spellings[i - 1].position)) {
            return false;
        }
    }
    return true;
}

} // namespace

CharCode RecordCode(Record record) {
    if (IsLeadByte(record.first)) {
        return static_cast<CharCode>(record.first << 8 | record.second);
    }
    return static_cast<CharCode>(record.first);
}

char32_t RecordCharacter(Record record) {
    return CodePage936Character(static_cast<std::uint16_t>(RecordCode(record)))
        .value_or(kPlaceholder);
}

std::string CodeBytes(Record record) {
    std::string bytes(1, static_cast<char>(record.first));
    if (IsLeadByte(record.first)) {
        bytes += static_cast<char>(record.second);
    }
    return bytes;
}

Record CodeRecord(std::string_view codeBytes) {
    if (codeBytes.empty() || codeBytes.size() > kRecordBytes) {
        throw std::invalid_argument("a code is one or two bytes");
    }
    return {static_cast<std::uint8_t>(codeBytes[0]),
            static_cast<std::uint8_t>(codeBytes.size() == 2 ? codeBytes[1] : 0)};
}

void AppendRecord(Record record, std::string& bytes) {
    bytes += static_cast<char>(record.first);
    bytes += static_cast<char>(record.second);
}

void ForEachEntry(const std::filesystem::path& path, std::span<const EntryLayout> layouts,
                  const std::function<void(const EntryLayout&, const TableEntry&)>& take) {
    std::optional<std::string> bytes = ReadOptionalFile(path);
    if (!bytes) {
        return;
    }
    const StoredRecords records(path, std::move(*bytes));
    for (RecordNumber header = 1; header <= records.Count();) {
        const Record headerRecord = records.Read(header);
        const EntryLayout* layout = LayoutTagged(layouts, headerRecord.first);
        const std::size_t kanji = headerRecord.second;
        if (layout == nullptr || kanji < layout->fewest || kanji > layout->most) {
            records.Malformed();
        }
        const std::size_t keys = KeyCount(*layout, kanji);
        const RecordNumber last = header + static_cast<RecordNumber>(keys + 2 * kanji);
        if (last > records.Count()) {
            records.Malformed();
        }
        TableEntry entry;
        entry.header = header;
        records.Read(header + 1, keys, entry.keys);
        records.Read(entry.JapaneseCodeRecord(0), kanji, entry.japaneseCodes);
        records.Read(entry.JapaneseCodeRecord(kanji), kanji, entry.previews);
        take(*layout, entry);
        header = last + 1;
    }
}

void AppendEntry(const EntryLayout& layout, const TableEntry& entry, std::string& bytes) {
    const std::size_t kanji = entry.japaneseCodes.size();
    if (kanji < layout.fewest || kanji > layout.most || entry.previews.size() != kanji ||
        entry.keys.size() != KeyCount(layout, kanji)) {
        throw std::invalid_argument("an entry its layout does not allow");
    }
    AppendRecord({layout.tag, static_cast<std::uint8_t>(kanji)}, bytes);
    for (const std::vector<Record>* records :
         {&entry.keys, &entry.japaneseCodes, &entry.previews}) {
        for (const Record record : *records) {
            AppendRecord(record, bytes);
        }
    }
}

StoredWordModel StoredWordModel::Read(const std::filesystem::path& path) {
    StoredWordModel model;
    model.m_path = path;
    std::optional<std::string> bytes = ReadOptionalFile(path);
    if (!bytes) {
        return model;
    }
    model.m_bytes = std::move(*bytes);
    const auto malformed = [&path] { throw RuntimeError(ErrorNumber::InvalidFileFormat, path); };
    const auto byte = [&model](std::size_t at) {
        return static_cast<std::uint8_t>(model.m_bytes[at]);
    };
    // An odd last byte is no record.
    const std::size_t end = model.m_bytes.size() - model.m_bytes.size() % kRecordBytes;
    for (std::size_t at = 0; at < end;) {
        if (end - at < 2 * kRecordBytes) {
            malformed();
        }
        const std::size_t length = byte(at);
        const std::size_t spellings = byte(at + 1);
        const std::size_t size = kRecordBytes * (2 + length + 3 * spellings);
        const auto cost = static_cast<std::uint16_t>(byte(at + 2) << 8 | byte(at + 3));
        if (length == 0 || length > kLongestWord || spellings > length || cost > kMostWordCost ||
            size > end - at) {
            malformed();
        }
        model.m_starts.push_back(static_cast<std::uint32_t>(at));
        const std::size_t entry = model.m_starts.size() - 1;
        if (entry > 0 && !KeysAfter(model, entry - 1, entry)) {
            malformed();
        }
        for (std::size_t j = 0; j < spellings; ++j) {
            const std::size_t tag = model.SpellingsStart(entry) + 3 * kRecordBytes * j;
            const std::size_t position = byte(tag + 1);
            const bool ascending = j == 0 || position > model.Spelling(entry, j - 1).position;
            if (byte(tag) != 0 || position >= length || !ascending) {
                malformed();
            }
        }
        at += size;
    }
    return model;
}

WordSpelling StoredWordModel::Spelling(std::size_t entry, std::size_t j) const {
    const std::size_t at = SpellingsStart(entry) + 3 * kRecordBytes * j;
    const auto byte = [this](std::size_t i) { return static_cast<std::uint8_t>(m_bytes[i]); };
    return {byte(at + 1), {byte(at + 2), byte(at + 3)}, {byte(at + 4), byte(at + 5)}};
}

RecordNumber StoredWordModel::SpellingRecord(std::size_t entry, std::size_t j) const {
    const std::size_t at = SpellingsStart(entry) + 3 * kRecordBytes * j + kRecordBytes;
    return static_cast<RecordNumber>(at / kRecordBytes + 1);
}

void ForEachWordModelEntry(const std::filesystem::path& path,
                           const std::function<void(const WordModelEntry&)>& take) {
    const StoredWordModel model = StoredWordModel::Read(path);
    for (std::size_t index = 0; index < model.EntryCount(); ++index) {
        WordModelEntry entry;
        for (std::size_t i = 0; i < model.Length(index); ++i) {
            entry.keys.push_back(model.KeyRecord(index, i));
        }
        entry.cost = model.Cost(index);
        for (std::size_t j = 0; j < model.SpellingCount(index); ++j) {
            entry.spellings.push_back(model.Spelling(index, j));
        }
        entry.header = model.HeaderRecord(index);
        take(entry);
    }
}

void AppendWordModelEntry(const WordModelEntry& entry, std::string& bytes) {
    if (!WordModelEntryFits(entry)) {
        throw std::invalid_argument("a word model entry its layout does not allow");
    }
    AppendRecord({static_cast<std::uint8_t>(entry.keys.size()),
                  static_cast<std::uint8_t>(entry.spellings.size())},
                 bytes);
    AppendRecord(
        {static_cast<std::uint8_t>(entry.cost >> 8), static_cast<std::uint8_t>(entry.cost & 0xFF)},
        bytes);
    for (const Record key : entry.keys) {
        AppendRecord(key, bytes);
    }
    for (const auto& spelling : entry.spellings) {
        AppendRecord({0, spelling.position}, bytes);
        AppendRecord(spelling.japaneseCode, bytes);
        AppendRecord(spelling.preview, bytes);
    }
}

} // namespace pelmora
