#pragma once

#include <unicode/umachine.h>

#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pelmora::tables {

// What kanjidic says of one kanji: its school grade (1-8 Jōyō, 9-10 Jinmeiyō, 0 none) and its
// newspaper frequency rank (1 = most frequent, 0 = not among the 2,500 ranked).
struct KanjiFacts {
    int grade = 0;
    int frequency = 0;
};

// MeCab's best analysis of a spelling: its cost, and for each character the length in
// characters of the dictionary word that covers it (0 where MeCab read an unknown word).
struct Analysis {
    int cost = 0;
    std::vector<int> wordLength;
};

// Japanese usage evidence for the builder: which spellings the IPADIC lexicon holds as words,
// at what cost (lower = more common), what MeCab's best analysis of a spelling costs, and
// kanjidic's grade and frequency of each kanji. The programs never link any of it.
class JapaneseLexicon {
public:
    JapaneseLexicon();
    ~JapaneseLexicon();
    JapaneseLexicon(const JapaneseLexicon&) = delete;
    JapaneseLexicon& operator=(const JapaneseLexicon&) = delete;

    // Reads one IPADIC CSV file (EUC-JP: surface,left id,right id,cost,...), keeping the
    // lowest cost of every surface made of ideographs only, and counting for each kanji the
    // entries of any surface that use it (躱す, 踏む). Personal names are left out: a name is
    // spelled as its bearer chooses (庄子 the given name is no word 荘子).
    void ReadIpadicCsv(std::istream& eucJp);

    // Reads kanjidic (one kanji per line; only its ASCII fields U, G and F are used).
    void ReadKanjidic(std::istream& kanjidic);

    // Opens MeCab on a compiled dictionary directory (the UTF-8 IPADIC); throws when it cannot.
    void OpenMecab(const std::string& dictionaryDirectory);

    // The lowest IPADIC cost of the spelling as one word other than a place name, when IPADIC
    // holds it.
    std::optional<int> WordCost(const std::vector<UChar32>& spelling) const;

    // The same for place names, which are weaker evidence: a Japanese place may share the
    // spelling of a Chinese word (五谷 the place, 五穀 the grains).
    std::optional<int> PlaceCost(const std::vector<UChar32>& spelling) const;

    // MeCab's best analysis of the spelling (remembered per spelling).
    const Analysis& AnalysisOf(const std::vector<UChar32>& spelling) const;

    // How many IPADIC entries other than personal names use the kanji, kana in the surface or
    // not (煬 has none: IPADIC holds it only in the given name 煬子).
    int EntriesUsing(UChar32 kanji) const;

    // kanjidic's facts of one kanji (all zero when kanjidic lacks it).
    KanjiFacts Facts(UChar32 kanji) const;

    // True for a Jōyō kanji (kanjidic grades 1 to 8).
    bool IsJoyo(UChar32 kanji) const;

    // True for a Jōyō or Jinmeiyō kanji (kanjidic grades 1 to 10).
    bool IsJoyoOrJinmeiyo(UChar32 kanji) const;

    std::size_t WordCount() const { return m_words.size(); }
    std::size_t KanjiCount() const { return m_kanji.size(); }

private:
    struct MecabTagger;

    // Spellings are looked up as the builder holds them, as vectors of code points, which
    // the spelling of the word model asks for some ten million times.
    struct SpellingHash {
        std::size_t operator()(const std::vector<UChar32>& spelling) const;
    };
    std::unordered_map<std::vector<UChar32>, int, SpellingHash> m_words;
    std::unordered_map<std::vector<UChar32>, int, SpellingHash> m_places;
    std::map<UChar32, KanjiFacts> m_kanji;
    std::unordered_map<UChar32, int> m_entriesUsing;
    std::unique_ptr<MecabTagger> m_mecab;
    mutable std::unordered_map<std::vector<UChar32>, Analysis, SpellingHash> m_analyses;
};

} // namespace pelmora::tables
