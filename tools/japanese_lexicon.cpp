#include "japanese_lexicon.h"

#include <mecab.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace pelmora::tables {

namespace {

// The text of an EUC-JP line; empty when ICU cannot read it.
icu::UnicodeString from_euc_jp(UConverter* converter, const std::string& line) {
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text(line.data(), static_cast<int32_t>(line.size()), converter, status);
    return U_FAILURE(status) ? icu::UnicodeString() : text;
}

// The surface as code points, when every character is an ideograph.
std::optional<std::u32string> ideograph_surface(const icu::UnicodeString& surface) {
    std::u32string result;
    for (int32_t i = 0; i < surface.length(); i = surface.moveIndex32(i, 1)) {
        const UChar32 c = surface.char32At(i);
        if (!u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC)) {
            return std::nullopt;
        }
        result.push_back(static_cast<char32_t>(c));
    }
    return result.empty() ? std::nullopt : std::optional<std::u32string>(result);
}

std::u32string as_key(const std::vector<UChar32>& spelling) {
    return {spelling.begin(), spelling.end()};
}

std::string utf8_of(const std::vector<UChar32>& spelling) {
    std::string text;
    icu::UnicodeString unicode;
    for (const UChar32 c : spelling) {
        unicode.append(c);
    }
    unicode.toUTF8String(text);
    return text;
}

int number_after(const std::string& field) {
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

JapaneseLexicon::JapaneseLexicon() = default;
JapaneseLexicon::~JapaneseLexicon() = default;

void JapaneseLexicon::read_ipadic_csv(std::istream& euc_jp) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("EUC-JP", &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("ICU has no EUC-JP converter");
    }
    for (std::string line; std::getline(euc_jp, line);) {
        const auto text = from_euc_jp(converter, line);
        const int32_t first = text.indexOf(u',');
        if (first <= 0) {
            continue;
        }
        if (text.indexOf(u",名詞,固有名詞,人名,") >= 0) {
            continue;
        }
        const auto surface = ideograph_surface(text.tempSubString(0, first));
        // surface, left id, right id, cost: the cost is the fourth field.
        int32_t at = first;
        for (int field = 0; field < 2 && at >= 0; ++field) {
            at = text.indexOf(u',', at + 1);
        }
        const int32_t end = at < 0 ? -1 : text.indexOf(u',', at + 1);
        if (!surface || end < 0) {
            continue;
        }
        std::string cost_text;
        text.tempSubString(at + 1, end - at - 1).toUTF8String(cost_text);
        const int cost = number_after("," + cost_text);
        auto& words = text.indexOf(u",名詞,固有名詞,地域,") >= 0 ? places_ : words_;
        const auto [entry, inserted] = words.emplace(*surface, cost);
        if (!inserted && cost < entry->second) {
            entry->second = cost;
        }
    }
    ucnv_close(converter);
}

void JapaneseLexicon::read_kanjidic(std::istream& kanjidic) {
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
                facts.grade = number_after(field);
            } else if (field.size() > 1 && field[0] == 'F' && std::isdigit(field[1])) {
                facts.frequency = number_after(field);
            }
        }
        if (kanji != 0) {
            kanji_[kanji] = facts;
        }
    }
}

void JapaneseLexicon::open_mecab(const std::string& dictionary_directory) {
    auto tagger = std::make_unique<MecabTagger>();
    // No resource file: the dictionary alone decides, whatever /etc/mecabrc says.
    const std::string arguments = "-r /dev/null -d " + dictionary_directory;
    tagger->tagger = mecab_new2(arguments.c_str());
    if (tagger->tagger == nullptr) {
        throw std::runtime_error("cannot start MeCab with the dictionary in " +
                                 dictionary_directory);
    }
    mecab_ = std::move(tagger);
}

std::optional<int> JapaneseLexicon::word_cost(const std::vector<UChar32>& spelling) const {
    const auto found = words_.find(as_key(spelling));
    return found == words_.end() ? std::nullopt : std::optional<int>(found->second);
}

std::optional<int> JapaneseLexicon::place_cost(const std::vector<UChar32>& spelling) const {
    const auto found = places_.find(as_key(spelling));
    return found == places_.end() ? std::nullopt : std::optional<int>(found->second);
}

const Analysis& JapaneseLexicon::analysis(const std::vector<UChar32>& spelling) const {
    const auto key = as_key(spelling);
    if (const auto found = analyses_.find(key); found != analyses_.end()) {
        return found->second;
    }
    if (!mecab_) {
        throw std::logic_error("MeCab is not open");
    }
    const std::string text = utf8_of(spelling);
    const mecab_node_t* node = mecab_sparse_tonode2(mecab_->tagger, text.data(), text.size());
    if (node == nullptr) {
        throw std::runtime_error(std::string("MeCab failed: ") + mecab_strerror(mecab_->tagger));
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
        // A personal name is no word (as in read_ipadic_csv).
        const bool name =
            node->feature != nullptr &&
            std::string_view(node->feature).find("固有名詞,人名") != std::string_view::npos;
        const int known = node->stat == MECAB_NOR_NODE && !name ? characters : 0;
        result.word_length.insert(result.word_length.end(), characters, known);
    }
    return analyses_.emplace(key, std::move(result)).first->second;
}

KanjiFacts JapaneseLexicon::facts(UChar32 kanji) const {
    const auto found = kanji_.find(kanji);
    return found == kanji_.end() ? KanjiFacts{} : found->second;
}

bool JapaneseLexicon::is_joyo_or_jinmeiyo(UChar32 kanji) const {
    const int grade = facts(kanji).grade;
    return grade >= 1 && grade <= 10;
}

} // namespace pelmora::tables
