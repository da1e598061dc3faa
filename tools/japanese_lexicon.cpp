#include "japanese_lexicon.h"

#include <mecab.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace pelmora::tables {

namespace {

// The text of an EUC-JP line; empty when ICU cannot read it.
icu::UnicodeString FromEucJp(UConverter* converter, const std::string& line) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text(line.data(), static_cast<int32_t>(line.size()), converter, status);
    return U_FAILURE(status) ? icu::UnicodeString() : text;
}

// The surface as code points, when every character is an ideograph.
std::optional<std::vector<UChar32>> IdeographSurface(const icu::UnicodeString& surface) {
    std::vector<UChar32> result;
    for (int32_t i = 0; i < surface.length(); i = surface.moveIndex32(i, 1)) {
        const UChar32 c = surface.char32At(i);
        if (!u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC)) {
            return std::nullopt;
        }
        result.push_back(c);
    }
    return result.empty() ? std::nullopt : std::optional<std::vector<UChar32>>(result);
}

// The distinct ideographs of a surface, kana and all (躱す gives 躱).
std::vector<UChar32> KanjiOf(const icu::UnicodeString& surface) {
    std::vector<UChar32> kanji;
    for (int32_t i = 0; i < surface.length(); i = surface.moveIndex32(i, 1)) {
        const UChar32 c = surface.char32At(i);
        if (u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC) &&
            std::find(kanji.begin(), kanji.end(), c) == kanji.end()) {
            kanji.push_back(c);
        }
    }
    return kanji;
}

std::string Utf8Of(const std::vector<UChar32>& spelling) {
    std::string text;
    icu::UnicodeString unicode;
    for (const UChar32 c : spelling) {
        unicode.append(c);
    }
    unicode.toUTF8String(text);
    return text;
}

int NumberAfter(const std::string& field) {
    try {
        return std::stoi(field.substr(1));
    } catch (const std::exception&) {
        return 0;
    }
}

} // namespace

struct JapaneseLexicon::MecabTagger {
    mecab_t* tagger = nullptr;
    ~MecabTagger() {
        if (tagger != nullptr) {
            mecab_destroy(tagger);
        }
    }
};

std::size_t JapaneseLexicon::SpellingHash::operator()(const std::vector<UChar32>& spelling) const {
    std::size_t hash = spelling.size();
    for (const UChar32 c : spelling) {
        hash = hash * 1000003 ^ static_cast<std::size_t>(c);
    }
    return hash;
}

JapaneseLexicon::JapaneseLexicon() = default;
JapaneseLexicon::~JapaneseLexicon() = default;

void JapaneseLexicon::ReadIpadicCsv(std::istream& eucJp) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("EUC-JP", &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU has no EUC-JP converter");
    }
    for (std::string line; std::getline(eucJp, line);) {
        const auto text = FromEucJp(converter, line);
        const int32_t first = text.indexOf(u',');
        if (first <= 0) {
            continue;
        }
        if (text.indexOf(u",名詞,固有名詞,人名,") >= 0) {
            continue;
        }
        for (const UChar32 kanji : KanjiOf(text.tempSubString(0, first))) {
            ++m_entriesUsing[kanji];
        }
        const auto surface = IdeographSurface(text.tempSubString(0, first));
        // surface, left id, right id, cost: the cost is the fourth field.
        int32_t at = first;
        for (int field = 0; field < 2 && at >= 0; ++field) {
            at = text.indexOf(u',', at + 1);
        }
        const int32_t end = at < 0 ? -1 : text.indexOf(u',', at + 1);
        if (!surface || end < 0) {
            continue;
        }
        std::string costText;
        text.tempSubString(at + 1, end - at - 1).toUTF8String(costText);
        const int cost = NumberAfter("," + costText);
        auto& words = text.indexOf(u",名詞,固有名詞,地域,") >= 0 ? m_places : m_words;
        const auto [entry, inserted] = words.emplace(*surface, cost);
        if (!inserted && cost < entry->second) {
            entry->second = cost;
        }
    }
    ucnv_close(converter);
}

void JapaneseLexicon::ReadKanjidic(std::istream& kanjidic) {
    for (std::string line; std::getline(kanjidic, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        UChar32 kanji = 0;
        KanjiFacts facts;
        for (std::string field; fields >> field;) {
            if (field.size() > 1 && field[0] == 'U' && kanji == 0) {
                kanji = static_cast<UChar32>(std::stoul(field.substr(1), nullptr, 16));
            } else if (field.size() > 1 && field[0] == 'G' && std::isdigit(field[1])) {
                facts.grade = NumberAfter(field);
            } else if (field.size() > 1 && field[0] == 'F' && std::isdigit(field[1])) {
                facts.frequency = NumberAfter(field);
            }
        }
        if (kanji != 0) {
            m_kanji[kanji] = facts;
        }
    }
}

void JapaneseLexicon::OpenMecab(const std::string& dictionaryDirectory) {
    auto tagger = std::make_unique<MecabTagger>();
    // No resource file: the dictionary alone decides, whatever /etc/mecabrc says.
    const std::string arguments = "-r /dev/null -d " + dictionaryDirectory;
    tagger->tagger = mecab_new2(arguments.c_str());
    if (tagger->tagger == nullptr) {
        throw std::runtime_error("cannot start MeCab with the dictionary in " +
                                 dictionaryDirectory);
    }
    m_mecab = std::move(tagger);
}

std::optional<int> JapaneseLexicon::WordCost(const std::vector<UChar32>& spelling) const {
    const auto found = m_words.find(spelling);
    return found == m_words.end() ? std::nullopt : std::optional<int>(found->second);
}

std::optional<int> JapaneseLexicon::PlaceCost(const std::vector<UChar32>& spelling) const {
    const auto found = m_places.find(spelling);
    return found == m_places.end() ? std::nullopt : std::optional<int>(found->second);
}

const Analysis& JapaneseLexicon::AnalysisOf(const std::vector<UChar32>& spelling) const {
    const auto& key = spelling;
    if (const auto found = m_analyses.find(key); found != m_analyses.end()) {
        return found->second;
    }
    if (!m_mecab) {
        throw std::logic_error("MeCab is not open");
    }
    const std::string text = Utf8Of(spelling);
    const mecab_node_t* node = mecab_sparse_tonode2(m_mecab->tagger, text.data(), text.size());
    if (node == nullptr) {
        throw std::runtime_error(std::string("MeCab failed: ") + mecab_strerror(m_mecab->tagger));
    }
    Analysis result;
    for (; node != nullptr; node = node->next) {
        if (node->stat == MECAB_EOS_NODE) {
            // The end-of-sentence node carries the cost of the best path from the start.
            result.cost = static_cast<int>(node->cost);
            break;
        }
        if (node->stat != MECAB_NOR_NODE && node->stat != MECAB_UNK_NODE) {
            continue;
        }
        int characters = 0;
        for (unsigned short i = 0; i < node->length; ++i) {
            characters += (static_cast<unsigned char>(node->surface[i]) & 0xC0) != 0x80 ? 1 : 0;
        }
        // A personal name is no word (as in ReadIpadicCsv).
        const bool name =
            node->feature != nullptr &&
            std::string_view(node->feature).find("固有名詞,人名") != std::string_view::npos;
        const int known = node->stat == MECAB_NOR_NODE && !name ? characters : 0;
        result.wordLength.insert(result.wordLength.end(), characters, known);
    }
    return m_analyses.emplace(key, std::move(result)).first->second;
}

int JapaneseLexicon::EntriesUsing(UChar32 kanji) const {
    const auto found = m_entriesUsing.find(kanji);
    return found == m_entriesUsing.end() ? 0 : found->second;
}

KanjiFacts JapaneseLexicon::Facts(UChar32 kanji) const {
    const auto found = m_kanji.find(kanji);
    return found == m_kanji.end() ? KanjiFacts{} : found->second;
}

bool JapaneseLexicon::IsJoyo(UChar32 kanji) const {
    const int grade = Facts(kanji).grade;
    return grade >= 1 && grade <= 8;
}

bool JapaneseLexicon::IsJoyoOrJinmeiyo(UChar32 kanji) const {
    const int grade = Facts(kanji).grade;
    return grade >= 1 && grade <= 10;
}

} // namespace pelmora::tables
