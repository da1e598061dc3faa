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
    std::vector<int> word_length;
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
    // lowest cost of every surface made of ideographs only. Personal names are left out: a
    // name is spelled as its bearer chooses (庄子 the given name is no word 荘子).
    void read_ipadic_csv(std::istream& euc_jp);

    // Reads kanjidic (one kanji per line; only its ASCII fields U, G and F are used).
    void read_kanjidic(std::istream& kanjidic);

    // Opens MeCab on a compiled dictionary directory (the UTF-8 IPADIC); throws when it cannot.
    void open_mecab(const std::string& dictionary_directory);

    // The lowest IPADIC cost of the spelling as one word other than a place name, when IPADIC
    // holds it.
    std::optional<int> word_cost(const std::vector<UChar32>& spelling) const;

    // The same for place names, which are weaker evidence: a Japanese place may share the
    // spelling of a Chinese word (五谷 the place, 五穀 the grains).
    std::optional<int> place_cost(const std::vector<UChar32>& spelling) const;

    // MeCab's best analysis of the spelling (remembered per spelling).
    const Analysis& analysis(const std::vector<UChar32>& spelling) const;

    // kanjidic's facts of one kanji (all zero when kanjidic lacks it).
    KanjiFacts facts(UChar32 kanji) const;

    // True for a Jōyō or Jinmeiyō kanji (kanjidic grades 1 to 10).
    bool is_joyo_or_jinmeiyo(UChar32 kanji) const;

    std::size_t word_count() const { return words_.size(); }
    std::size_t kanji_count() const { return kanji_.size(); }

private:
    struct MecabTagger;

    std::unordered_map<std::u32string, int> words_;
    std::unordered_map<std::u32string, int> places_;
    std::map<UChar32, KanjiFacts> kanji_;
    std::unique_ptr<MecabTagger> mecab_;
    mutable std::unordered_map<std::u32string, Analysis> analyses_;
};

} // namespace pelmora::tables
