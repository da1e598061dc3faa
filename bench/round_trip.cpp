// The round trip: a text converted by each run kind, its code text read back by the reverse run,
// and the Chinese compared with the text. Prints, per run kind, how many mapped characters (those
// whose kanji came from the tables: no miss, no space, no punctuation passed through as ASCII)
// came back as themselves, then every character that came back as another, with its count and
// how the tables tie the two to one kanji.
// Usage: pelmora-round-trip TABLE_DIRECTORY < TEXT
#include "character_lookup.h"
#include "conversion.h"
#include "kanji_choice.h"
#include "reverse_run.h"
#include "shift_jis.h"
#include "string_text.h"
#include "table_files.h"
#include "utf8.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>

namespace {

using pelmora::CharCode;

// Counts the reports and shows them on standard error.
class CountingReport final : public pelmora::ErrorReport {
public:
    void Show(std::string_view title, std::string_view text) override {
        std::fprintf(stderr, "%.*s\n%.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
        ++shown;
    }
    int shown = 0;
};

// How the tables tie keys to kanji: by default, and as candidates.
struct Ties {
    std::map<char32_t, std::u32string> defaultsOf;   // kanji -> keys whose default it is
    std::map<char32_t, std::u32string> candidatesOf; // kanji -> keys that list it
};

// The Japanese character the code text character `code` stands for.
char32_t Kanji(char32_t code) {
    std::string bytes;
    pelmora::AppendCodePage936(code, bytes);
    const auto read = pelmora::DecodeShiftJis(bytes);
    return read && read->size() == 1 ? (*read)[0] : pelmora::kPlaceholder;
}

char32_t KanjiOf(pelmora::Record japaneseCode) {
    return Kanji(pelmora::RecordCharacter(japaneseCode));
}

Ties ReadTies(const std::filesystem::path& directory) {
    Ties ties;
    std::map<std::uint16_t, pelmora::Record> japaneseOf;
    std::vector<pelmora::Record> keys;
    const auto records = [](const std::filesystem::path& path) {
        std::vector<pelmora::Record> all;
        std::FILE* file = std::fopen(path.string().c_str(), "rb");
        for (int first, second;
             file && (first = std::fgetc(file)) != EOF && (second = std::fgetc(file)) != EOF;) {
            all.push_back({static_cast<std::uint8_t>(first), static_cast<std::uint8_t>(second)});
        }
        if (file) {
            std::fclose(file);
        }
        return all;
    };
    const auto pin = records(directory / pelmora::kKeyTableName);
    const auto pj = records(directory / pelmora::kJapaneseCodeTableName);
    for (std::size_t r = 0; r < pin.size() && r < pj.size(); ++r) {
        ties.defaultsOf[KanjiOf(pj[r])] += pelmora::RecordCharacter(pin[r]);
    }
    pelmora::ForEachEntry(
        directory / pelmora::kCandidateTableName, std::span(&pelmora::kCandidateEntry, 1),
        [&](const pelmora::EntryLayout&, const pelmora::TableEntry& entry) {
            for (const pelmora::Record code : entry.japaneseCodes) {
                ties.candidatesOf[KanjiOf(code)] += pelmora::RecordCharacter(entry.keys[0]);
            }
        });
    return ties;
}

bool Mapped(char32_t character, char32_t preview) {
    const std::optional<CharCode> code = pelmora::CharCodeOf(character);
    return code && !pelmora::FixedPiece(*code) && character != U' ' &&
           preview != pelmora::kPlaceholder;
}

std::string Utf8(std::u32string_view text) {
    return pelmora::EncodeUtf8(text);
}

void RoundTrip(const char* name, pelmora::RunKind kind, const std::string& text,
               const pelmora::TableLocation& location, const Ties& ties) {
    pelmora::testing::StringSource input(text);
    pelmora::testing::StringSink code;
    pelmora::testing::StringSink preview;
    pelmora::TablePaths paths;
    CountingReport report;
    pelmora::ConvertText(kind, input, code, preview, paths, location, report);
    pelmora::testing::StringSource garbled(Utf8(code.Text()));
    pelmora::testing::StringSink chinese;
    pelmora::ReadBackText(pelmora::GameText::CodeText, garbled, {nullptr, &chinese}, location,
                          report);
    const std::u32string original = pelmora::DecodeUtf8(text);
    if (report.shown > 0 || chinese.Text().size() != original.size()) {
        std::printf("%s: the runs failed\n", name);
        return;
    }
    std::size_t mapped = 0;
    std::size_t back = 0;
    std::map<std::tuple<char32_t, char32_t, char32_t>, std::size_t> others;
    for (std::size_t i = 0; i < original.size(); ++i) {
        if (!Mapped(original[i], preview.Text()[i])) {
            continue;
        }
        ++mapped;
        if (chinese.Text()[i] == original[i]) {
            ++back;
        } else {
            ++others[{Kanji(code.Text()[i]), original[i], chinese.Text()[i]}];
        }
    }
    std::printf("%s: %zu of %zu mapped characters came back (%.2f%%); %zu came back as "
                "another, %zu distinct\n",
                name, back, mapped, 100.0 * static_cast<double>(back) / static_cast<double>(mapped),
                mapped - back, others.size());
    const auto tie = [](const std::map<char32_t, std::u32string>& ties, char32_t kanji) {
        const auto found = ties.find(kanji);
        return found == ties.end() ? std::string("-") : Utf8(found->second);
    };
    for (const auto& [which, count] : others) {
        const auto [kanji, from, to] = which;
        std::printf("  %s %s -> %s  x%zu  (default of: %s; candidate of: %s)\n",
                    Utf8(std::u32string(1, kanji)).c_str(), Utf8(std::u32string(1, from)).c_str(),
                    Utf8(std::u32string(1, to)).c_str(), count, tie(ties.defaultsOf, kanji).c_str(),
                    tie(ties.candidatesOf, kanji).c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmora-round-trip TABLE_DIRECTORY < TEXT\n");
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(std::cin)), {});
    const pelmora::TableLocation location{argv[1], pelmora::TableReading::InMemory};
    const Ties ties = ReadTies(argv[1]);
    RoundTrip("per character", pelmora::RunKind::PerCharacter, text, location, ties);
    RoundTrip("--words", pelmora::RunKind::ByWords, text, location, ties);
    RoundTrip("--names", pelmora::RunKind::ByNames, text, location, ties);
    return 0;
}
