#include "word_report.h"

#include <unicode/uchar.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace pelmora::tables {

namespace {

constexpr std::size_t kSampleWords = 40;

std::string TextOf(const std::vector<UChar32>& characters) {
    std::string text;
    for (const UChar32 c : characters) {
        text += Utf8(c);
    }
    return text;
}

std::string PerCharacterOf(const std::vector<UChar32>& word, const PerCharacter& perChar) {
    std::string text;
    for (const UChar32 c : word) {
        const auto found = perChar.find(c);
        text += found == perChar.end() ? "□" : Utf8(found->second.character);
    }
    return text;
}

// "乾 12 (G8, F1000)": the words that give the form, and kanjidic's grade and frequency.
std::string FormsWithCounts(const DefaultChange& change, const JapaneseLexicon& lexicon) {
    std::string text;
    for (const auto& [form, words] : change.wordsPerForm) {
        const auto facts = lexicon.Facts(form);
        std::ostringstream standingText;
        if (facts.grade != 0) {
            standingText << "G" << facts.grade;
        }
        if (facts.frequency != 0) {
            standingText << (facts.grade != 0 ? ", F" : "F") << facts.frequency;
        }
        const std::string standing = standingText.str();
        text += (text.empty() ? "" : ", ") + Utf8(form) + " " + std::to_string(words) +
                (standing.empty() ? "" : " (" + standing + ")");
    }
    return text;
}

void ReportDefaultChanges(std::ostringstream& out, const std::vector<DefaultChange>& changes,
                          const JapaneseLexicon& lexicon) {
    out << "### Per-character defaults moved by Japanese evidence\n\n"
        << "Evidence per counterpart: the words of the word list whose spelling IPADIC decides "
           "(in the first pass, over the chooser's own defaults) that give the key that form, "
           "and kanjidic's grade (G1-G8 Jōyō, G9-G10 Jinmeiyō) and frequency rank (F). A form "
           "moves "
           "the default when at least "
        << kFewestWordsToMoveADefault
        << " such words give it and more of them than any other form (among the Jōyō and "
           "Jinmeiyō counterparts, when the key has any); otherwise a default that is no Jōyō "
           "or Jinmeiyō kanji gives way to a counterpart that is, and an unranked one to a "
           "ranked one. A key with no default takes the form most such words give it; when no word "
           "attests any, the form one semantic link reaches that Japanese uses (IPADIC entries "
           "other than personal names, kana and all, or kanjidic's grade or rank), else one "
           "that is a glyph Chinese does not write (no GB2312 hanzi, no traditional form of "
           "one), or any such form of a key that is itself such a glyph. A key that is itself a "
           "Jōyō kanji takes itself over a default, one of its traditional forms, that is no "
           "Jōyō or Jinmeiyō kanji.\n\n"
        << "| key | before | after | rule | words per form (kanjidic) |\n"
        << "| --- | --- | --- | --- | --- |\n";
    for (const auto& change : changes) {
        if (change.keptBecause.empty()) {
            out << "| " << Utf8(change.key) << " | "
                << (change.before == 0 ? std::string("none") : Utf8(change.before)) << " | "
                << Utf8(change.after) << " | " << change.rule << " | "
                << FormsWithCounts(change, lexicon) << " |\n";
        }
    }
    out << "\nDefaults the evidence would move, kept:\n\n";
    for (const auto& change : changes) {
        if (!change.keptBecause.empty()) {
            out << "- " << Utf8(change.key) << " stays " << Utf8(change.before) << ", not "
                << Utf8(change.after) << " (" << FormsWithCounts(change, lexicon)
                << "): " << change.keptBecause << "\n";
        }
    }
    out << "\n";
}

void ReportCandidates(std::ostringstream& out, const std::vector<CandidateEntry>& candidates,
                      std::size_t writtenBytes) {
    int onlyExtension = 0;
    int severalJis = 0;
    int extensionCodes = 0;
    int privateUseCodeText = 0;
    std::map<std::string, int> byLead;
    const StrictCodePage desktop(kDesktopCodePage);
    std::string several;
    for (const auto& entry : candidates) {
        onlyExtension += entry.jisX0208.empty() ? 1 : 0;
        if (entry.jisX0208.size() > 1) {
            ++severalJis;
            several += Utf8(entry.key.character) + " ";
            for (const auto& code : entry.jisX0208) {
                several += Utf8(code.character);
            }
            several += "\n";
        }
        for (const auto& code : entry.extension) {
            ++extensionCodes;
            char lead[3];
            std::snprintf(lead, sizeof lead, "%02X", static_cast<unsigned char>(code.sjis[0]));
            ++byLead[lead];
            const auto codeText = desktop.Decode(code.sjis);
            privateUseCodeText += codeText && u_charType(*codeText) == U_PRIVATE_USE_CHAR ? 1 : 0;
        }
    }
    out << "### candidates.dat\n\n"
        << "| candidates.dat | count |\n| --- | ---: |\n"
        << "| entries (keys) | " << candidates.size() << " |\n"
        << "| keys with two or more JIS X 0208 kanji | " << severalJis << " |\n"
        << "| keys with extension kanji only | " << onlyExtension << " |\n"
        << "| extension kanji offered | " << extensionCodes << " |\n"
        << "| of those, code text that is a code page 936 private-use character | "
        << privateUseCodeText << " |\n\n"
        << "candidates.dat is " << writtenBytes << " bytes. Extension kanji by Shift-JIS lead "
        << "byte:";
    for (const auto& [lead, count] : byLead) {
        out << " " << lead << ": " << count << ";";
    }
    out << " every extension code round-trips through code page 936 (the private-use ones "
           "too: code page 936 maps its user-defined rows to private use both ways).\n\n"
        << "Keys with two or more JIS X 0208 kanji, in candidate order:\n\n```text\n"
        << several << "```\n\n";
}

std::string SpelledText(const ModelEntry& entry, const PerCharacter& perChar) {
    std::string text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < entry.simplified.size(); ++i) {
        if (next < entry.spelled.size() && entry.spelled[next].first == i) {
            text += Utf8(entry.spelled[next++].second.character);
        } else {
            text += PerCharacterOf({entry.simplified[i]}, perChar);
        }
    }
    return text;
}

std::string EntryLine(const ModelEntry& entry, const PerCharacter& perChar) {
    return TextOf(entry.simplified) + " → " + SpelledText(entry, perChar) + " (per character " +
           PerCharacterOf(entry.simplified, perChar) + ", cost " + std::to_string(entry.cost) + ")";
}

void ReportWordList(std::ostringstream& out, const WordListCounts& list,
                    const ModelCounts& counts) {
    out << "### The word model\n\n"
        << "| Chinese word list | count |\n| --- | ---: |\n"
        << "| words of rime-essay's essay.txt | " << list.essayLines << " |\n"
        << "| their frequencies, summed | " << list.essayTotal << " |\n"
        << "| left out: the simplified spelling has another length | " << list.essayLengthChanged
        << " |\n"
        << "| essay words that share their simplified spelling with another | "
        << list.sharedSimplified << " |\n"
        << "| OpenCC STPhrases words essay lacks, added with frequency " << kPhraseOnlyFrequency
        << " | " << list.phrasesAdded << " |\n"
        << "| simplified words of the list | " << counts.words << " |\n"
        << "| left out: longer than " << kLongestWord << " characters | " << counts.tooLong
        << " |\n"
        << "| left out: a character that is no code page 936 ideograph | " << counts.notDoubleByte
        << " |\n"
        << "| left out: frequency 0 and spelled as per character | " << counts.unseenUnspelled
        << " |\n"
        << "| entries of the model | " << counts.entries << " |\n"
        << "| of those, single characters | " << counts.singleCharacters << " |\n"
        << "| of those, with a character spelled otherwise than per character | "
        << counts.spelledEntries << " |\n\n";
}

void ReportModelEntries(std::ostringstream& out, const ModelCounts& counts, const WordModel& model,
                        const PerCharacter& perChar, std::size_t modelBytes) {
    out << "The model is " << modelBytes
        << " bytes. Costs are relative to the list's summed frequency, " << counts.totalFrequency
        << ".\n\nHow the spelling of each entry was decided (rules in tools/word_spelling.cpp):"
           "\n\n";
    for (const auto& [evidence, count] : counts.byEvidence) {
        out << "- " << SpellingEvidenceName(evidence) << ": " << count << "\n";
    }
    out << "\nHand-made replacement kanji (tools/word_spelling.cpp):\n\n";
    for (const auto& line : ReplacementKanji()) {
        out << "- " << line << "\n";
    }
    std::vector<std::string> characters;
    std::vector<const ModelEntry*> spelled;
    for (const auto& entry : model.entries) {
        if (entry.spelled.empty()) {
            continue;
        }
        if (entry.simplified.size() == 1) {
            characters.push_back(EntryLine(entry, perChar));
        } else {
            spelled.push_back(&entry);
        }
    }
    out << "\nSingle characters spelled otherwise than per character (" << characters.size()
        << "):\n\n";
    for (const auto& line : characters) {
        out << "- " << line << "\n";
    }
    const std::size_t step = spelled.size() / kSampleWords + 1;
    out << "\nEvery " << step << "th word of " << spelled.size()
        << " spelled otherwise than per character:\n\n";
    for (std::size_t i = 0; i < spelled.size(); i += step) {
        out << "- " << EntryLine(*spelled[i], perChar) << "\n";
    }
    out << "\n";
}

} // namespace

std::string WordModelReport(const WordListCounts& listCounts, const ModelCounts& counts,
                            const WordModel& model, const PerCharacter& perChar,
                            std::size_t modelBytes) {
    std::ostringstream out;
    ReportWordList(out, listCounts, counts);
    ReportModelEntries(out, counts, model, perChar, modelBytes);
    return out.str();
}

std::string WordReport(const std::vector<CandidateEntry>& candidates,
                       const std::vector<DefaultChange>& changes, const JapaneseLexicon& lexicon,
                       std::size_t candidateTableBytes) {
    std::ostringstream out;
    ReportDefaultChanges(out, changes, lexicon);
    ReportCandidates(out, candidates, candidateTableBytes);
    return out.str();
}

} // namespace pelmora::tables
