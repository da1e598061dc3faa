#include "word_report.h"

#include <unicode/uchar.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace pelmora::tables {

namespace {

constexpr std::size_t kSampleWords = 40;

std::string text_of(const std::vector<UChar32>& characters) {
    std::string text;
    for (const UChar32 c : characters) {
        text += utf8(c);
    }
    return text;
}

std::string japanese_of(const std::vector<JapaneseCode>& codes) {
    std::string text;
    for (const auto& code : codes) {
        text += utf8(code.character);
    }
    return text;
}

std::string per_character_of(const std::vector<UChar32>& word, const PerCharacter& per_char) {
    std::string text;
    for (const UChar32 c : word) {
        const auto found = per_char.find(c);
        text += found == per_char.end() ? "□" : utf8(found->second.character);
    }
    return text;
}

std::size_t word_table_size(const std::vector<WordEntry>& words) {
    std::size_t records = 0;
    for (const auto& word : words) {
        records += 1 + 3 * word.keys.size();
    }
    return 2 * records;
}

void report_word_counts(std::ostringstream& out, const WordCounts& counts,
                        const std::vector<WordEntry>& words) {
    out << "### words.dat\n\n"
        << "| OpenCC STPhrases words | count |\n| --- | ---: |\n"
        << "| read (two or more characters, first traditional form of the same length) | "
        << counts.phrases << " |\n"
        << "| left out: longer than " << kLongestWord << " characters | " << counts.too_long
        << " |\n"
        << "| left out: a character that is no code page 936 ideograph | " << counts.not_double_byte
        << " |\n"
        << "| left out: the same Simplified word again | " << counts.duplicates << " |\n"
        << "| left out: a character with no shippable JIS X 0208 form | " << counts.no_japanese_form
        << " |\n"
        << "| with a Japanese form (the full list) | " << counts.full << " |\n"
        << "| of those, differing from the per-character tables | " << counts.differing << " |\n"
        << "| kept as blockers | " << counts.blockers << " |\n"
        << "| entries in words.dat | " << words.size() << " |\n\n"
        << "words.dat is " << word_table_size(words) << " bytes. Converting every STPhrases "
        << "word alone by forward longest match, the differing words alone gave another result "
        << "than the full list for " << counts.blocked_inputs_before
        << " words; with the blockers, for none (the builder checks this).\n\n"
        << "How the spelling of each word of the full list was decided (rules in "
           "tools/word_spelling.cpp):\n\n";
    for (const auto& [evidence, count] : counts.by_evidence) {
        out << "- " << spelling_evidence_name(evidence) << ": " << count << "\n";
    }
    out << "\nWords spelled otherwise than OpenCC's own traditional form gives them: "
        << counts.unlike_phrase_source
        << ".\n\nHand-made replacement kanji (tools/word_spelling.cpp):\n\n";
    for (const auto& line : replacement_kanji()) {
        out << "- " << line << "\n";
    }
    out << "\n";
}

void report_word_samples(std::ostringstream& out, const std::vector<WordEntry>& words,
                         const PerCharacter& per_char) {
    std::vector<std::string> blockers;
    std::vector<std::string> samples;
    const std::size_t step = words.size() / kSampleWords + 1;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto& word = words[i];
        const std::string line = text_of(word.simplified) + " → " + japanese_of(word.japanese) +
                                 " (per character " + per_character_of(word.simplified, per_char) +
                                 ")";
        if (word.blocker) {
            blockers.push_back(text_of(word.simplified) + " → " + japanese_of(word.japanese));
        } else if (i % step == 0) {
            samples.push_back(line);
        }
    }
    out << "Every " << step << "th word of words.dat that is no blocker:\n\n";
    for (const auto& line : samples) {
        out << "- " << line << "\n";
    }
    out << "\nBlockers (" << blockers.size() << "):\n\n";
    for (const auto& line : blockers) {
        out << "- " << line << "\n";
    }
    out << "\n";
}

// "乾 12 (G8, F1000)": the words that give the form, and kanjidic's grade and frequency.
std::string forms_with_counts(const DefaultChange& change, const JapaneseLexicon& lexicon) {
    std::string text;
    for (const auto& [form, words] : change.words_per_form) {
        const auto facts = lexicon.facts(form);
        std::ostringstream standing_text;
        if (facts.grade != 0) {
            standing_text << "G" << facts.grade;
        }
        if (facts.frequency != 0) {
            standing_text << (facts.grade != 0 ? ", F" : "F") << facts.frequency;
        }
        const std::string standing = standing_text.str();
        text += (text.empty() ? "" : ", ") + utf8(form) + " " + std::to_string(words) +
                (standing.empty() ? "" : " (" + standing + ")");
    }
    return text;
}

void report_default_changes(std::ostringstream& out, const std::vector<DefaultChange>& changes,
                            const JapaneseLexicon& lexicon) {
    out << "### Per-character defaults moved by Japanese evidence\n\n"
        << "Evidence per counterpart: the STPhrases words whose spelling Japanese evidence chose "
           "(IPADIC or MeCab, not the per-character fallback) that give the key that form, and "
           "kanjidic's grade (G1-G8 Jōyō, G9-G10 Jinmeiyō) and frequency rank (F). A form moves "
           "the default when at least "
        << kFewestWordsToMoveADefault
        << " such words and more than half of them give it (among the Jōyō and Jinmeiyō "
           "counterparts, when the key has any); otherwise a default that is no Jōyō or "
           "Jinmeiyō kanji gives way to a counterpart that is, and an unranked one to a ranked "
           "one.\n\n"
        << "| key | before | after | rule | words per form (kanjidic) |\n"
        << "| --- | --- | --- | --- | --- |\n";
    for (const auto& change : changes) {
        if (change.kept_because.empty()) {
            out << "| " << utf8(change.key) << " | " << utf8(change.before) << " | "
                << utf8(change.after) << " | " << change.rule << " | "
                << forms_with_counts(change, lexicon) << " |\n";
        }
    }
    out << "\nDefaults the evidence would move, kept:\n\n";
    for (const auto& change : changes) {
        if (!change.kept_because.empty()) {
            out << "- " << utf8(change.key) << " stays " << utf8(change.before) << ", not "
                << utf8(change.after) << " (" << forms_with_counts(change, lexicon)
                << "): " << change.kept_because << "\n";
        }
    }
    out << "\n";
}

void report_candidates(std::ostringstream& out, const std::vector<CandidateEntry>& candidates) {
    std::size_t records = 0;
    int only_extension = 0;
    int several_jis = 0;
    int extension_codes = 0;
    int private_use_code_text = 0;
    std::map<std::string, int> by_lead;
    const StrictCodePage desktop(kDesktopCodePage);
    std::string several;
    for (const auto& entry : candidates) {
        records += 2 + 2 * (entry.jis_x0208.size() + entry.extension.size());
        only_extension += entry.jis_x0208.empty() ? 1 : 0;
        if (entry.jis_x0208.size() > 1) {
            ++several_jis;
            several += utf8(entry.key.character) + " ";
            for (const auto& code : entry.jis_x0208) {
                several += utf8(code.character);
            }
            several += "\n";
        }
        for (const auto& code : entry.extension) {
            ++extension_codes;
            char lead[3];
            std::snprintf(lead, sizeof lead, "%02X", static_cast<unsigned char>(code.sjis[0]));
            ++by_lead[lead];
            const auto code_text = desktop.decode(code.sjis);
            private_use_code_text +=
                code_text && u_charType(*code_text) == U_PRIVATE_USE_CHAR ? 1 : 0;
        }
    }
    out << "### candidates.dat\n\n"
        << "| candidates.dat | count |\n| --- | ---: |\n"
        << "| entries (keys) | " << candidates.size() << " |\n"
        << "| keys with two or more JIS X 0208 kanji | " << several_jis << " |\n"
        << "| keys with extension kanji only | " << only_extension << " |\n"
        << "| extension kanji offered | " << extension_codes << " |\n"
        << "| of those, code text that is a code page 936 private-use character | "
        << private_use_code_text << " |\n\n"
        << "candidates.dat is " << 2 * records << " bytes. Extension kanji by Shift-JIS lead "
        << "byte:";
    for (const auto& [lead, count] : by_lead) {
        out << " " << lead << ": " << count << ";";
    }
    out << " every extension code round-trips through code page 936 (the private-use ones "
           "too: code page 936 maps its user-defined rows to private use both ways).\n\n"
        << "Keys with two or more JIS X 0208 kanji, in candidate order:\n\n```text\n"
        << several << "```\n\n";
}

} // namespace

std::string word_report(const WordCounts& counts, const std::vector<WordEntry>& words,
                        const std::vector<CandidateEntry>& candidates,
                        const std::vector<DefaultChange>& changes, const PerCharacter& per_char,
                        const JapaneseLexicon& lexicon) {
    std::ostringstream out;
    report_default_changes(out, changes, lexicon);
    report_word_counts(out, counts, words);
    report_word_samples(out, words, per_char);
    report_candidates(out, candidates);
    return out.str();
}

} // namespace pelmora::tables
