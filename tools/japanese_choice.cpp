#include "japanese_choice.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <deque>
#include <set>

namespace pelmora::tables {

namespace {

struct Link {
    UChar32 from;
    UChar32 to;
    const char* reason;
    // A reading chosen for an ambiguous simplified key, not a form of the character: a word
    // that names its traditional character does not take it (公升 keeps the measure 升).
    bool keyReading = false;
};

// Hand-made links, each tried before anything else for its own key and as a Japanese form
// wherever its character turns up as a form of another key (so 颊 -> 頰 -> 頬).
constexpr Link kOverrides[] = {
    // Japanese forms the public data lacks, each plainly the JIS X 0208 form of its character.
    {U'姬', U'姫', "姫 is the JIS X 0208 form of 姬 (princess); Unihan does not link them"},
    {U'頰', U'頬', "頬 is the JIS X 0208 form of 頰 (cheek); JPVariants lacks it"},
    {U'頹', U'頽', "頽 is the JIS X 0208 form of 頹 (decline); JPVariants lacks it"},
    {U'俱', U'倶', "倶 is the JIS X 0208 form of 俱 (倶楽部); Unihan does not link them"},
    {U'囊', U'嚢', "嚢 is the JIS X 0208 form of 囊 (bag); Unihan does not link them"},
    {U'喻', U'喩', "喩 is the JIS X 0208 form of 喻 (比喩); Unihan does not link them"},
    {U'溉', U'漑', "漑 is the JIS X 0208 form of 溉 (灌漑); Unihan links 溉 only to 摡"},
    {U'釐', U'厘', "Japanese writes 釐 as 厘 (一厘); JPVariants lacks it"},
    {U'樸', U'朴', "Japanese writes 樸 as 朴 (素朴), which is also the surname 朴"},
    {U'桌', U'卓', "Japanese writes the table 卓 (食卓, 卓球); Unihan links 桌 only to 棹 (oar)"},
    {U'艷', U'艶',
     "艶 is the Jōyō form of 艷 (艶やか, 妖艶); JPVariants lacks it and Unihan links 艶 only "
     "semantically, to 豔"},
    // Ambiguous simplified characters whose OpenCC first form is not the everyday reading.
    {U'钟', U'鐘',
     "everyday 钟 is the clock and the bell (分钟, 钟表), 鐘; OpenCC puts the "
     "surname form 鍾 first",
     true},
    {U'升', U'昇',
     "everyday 升 means rise (上升, 升级), which Japanese writes 昇; 升 is the measure. "
     "Traditional Chinese writes rise 升 as well, so OpenCC's words (升 198, 昇 45) do not "
     "speak for Japanese",
     true},
    {U'里', U'里',
     "里 is its own Japanese form (village, 万里, names such as 美里); out of context it stays so. "
     "The locative 里 (这里, 心里) is 裏 where the word model's words spell it so",
     true},
    {U'岩', U'岩', "岩 is the everyday Japanese rock (岩石); OpenCC's 巖 leads to 巌, a name form",
     true},
    {U'栗', U'栗',
     "everyday 栗 is the chestnut (栗子), 栗 in Japanese; OpenCC's 慄 is only "
     "战栗",
     true},
    // One sign that the two code pages give different code points.
    {U'—', U'―',
     "the JIS X 0208 dash 0x815C is U+2015 in code page 932, the same dash of "
     "GB2312 is U+2014 in code page 936"},
    {U'‖', U'∥',
     "the JIS X 0208 double vertical line 0x8161 is U+2225 in code page 932, "
     "code page 936 has it as U+2016"},
    // Signs of GB2312 whose meaning Japanese writes with another sign.
    {U'·', U'・',
     "the middle dot between the parts of a foreign name is the katakana middle dot in "
     "Japanese (0x8145); its preview is · because code page 936 lacks ・"},
    {U'ˉ', U'￣', "the macron or overline is the full-width macron 0x8150 in Shift-JIS"},
    {U'∶', U'：', "Japanese writes a ratio (1∶2) with the full-width colon"},
    {U'≈', U'≒', "Japanese writes approximately equal as ≒"},
    {U'≌', U'≡', "Japanese writes the congruence of figures (合同) as ≡"},
    {U'≤', U'≦', "Japanese writes less than or equal as ≦"},
    {U'≥', U'≧', "Japanese writes greater than or equal as ≧"},
    {U'〖', U'【', "Shift-JIS has only the black lenticular brackets, used for the same headings"},
    {U'〗', U'】', "Shift-JIS has only the black lenticular brackets, used for the same headings"},
};

// Japanese signs that code page 936 lacks, previewed by the code page 936 sign that looks the
// same. The code text still carries the Japanese sign's own Shift-JIS code.
constexpr Link kShownAs[] = {
    {U'・', U'·', "code page 936 has no katakana middle dot; the middle dot looks the same"},
};

struct SignRange {
    UChar32 first;
    UChar32 last;
    const char* reason;
};

// Signs of GB2312 that were considered for a Japanese equivalent and left unmapped.
constexpr SignRange kSignsLeftOut[] = {
    {U'ˇ', U'ˇ', "the caron has no Shift-JIS counterpart"},
    {U'∏', U'∏', "Shift-JIS has no product sign"},
    {U'∷', U'∷', "Shift-JIS has no proportion sign (∵ and ∴ mean because and therefore)"},
    {U'⊙', U'⊙', "the circled dot operator is no ◎, which is a mark"},
    {U'≮', U'≯', "Shift-JIS has no negated less-than or greater-than"},
    {U'¤', U'¤', "Shift-JIS has no currency sign"},
    {U'Ⅺ', U'Ⅻ', "NEC row 13 has the Roman numerals Ⅰ to Ⅹ only"},
    {U'⒈', U'⒛', "Shift-JIS has no numbers with a full stop; 1. would be two characters"},
    {U'⑴', U'⒇', "Shift-JIS has no parenthesized numbers; (1) would be three characters"},
    {U'㈠', U'㈩', "Shift-JIS has no parenthesized ideographs besides ㈱, ㈲ and ㈹"},
};

// Unihan semantic links the choice does not follow: each ties the everyday meaning of the key
// to a kanji that means something else in Japanese, or that a Chinese reader reads as another
// word.
constexpr Link kRejectedLinks[] = {
    {U'扳', U'攀', "扳 pulls or turns, 攀 climbs"},
    {U'嘿', U'默', "嘿 is an interjection, 黙 means silent"},
    {U'氯', U'綠', "氯 is chlorine, 緑 is green"},
    {U'苤', U'瞥', "苤 is a plant (苤蓝), 瞥 is a glance"},
    {U'摁', U'恩', "摁 presses, 恩 is a favour"},
    {U'虬', U'蚪', "虬 is a curled dragon, 蚪 a tadpole"},
    {U'鈀', U'耙', "钯 is palladium, 耙 a rake"},
    {U'檉', U'柳', "柽 is the tamarisk (柽柳), 柳 the willow"},
    {U'搞', U'攪', "搞 means do or make, 撹 means stir"},
    {U'戧', U'創', "戗 means go against, 創 create"},
    {U'魷', U'鰌', "鱿 is the squid, 鰌 the loach"},
    {U'撟', U'嬌', "挢 lifts, 嬌 is charming"},
    {U'啃', U'齦', "啃 gnaws, Japanese reads 齦 as the gums"},
    {U'她', U'他', "她 is she, 他 is he: a game that cannot show 她 shows □, not another word"},
    {U'牠', U'他', "牠 is it (an animal), 他 is he: as for 她, □ and not another word"},
    {U'坯', U'坏',
     "坯 is unfired clay or a rough blank (土坯, 毛坯); Chinese reads 坏 as bad, the simplified "
     "壞"},
    {U'胗', U'疹', "胗 is a gizzard (鸡胗), 疹 a rash"},
    {U'砣', U'鉈', "砣 is a steelyard weight or stone roller (秤砣), 鉈 a hatchet in Japanese"},
    {U'鞽', U'橇', "鞒 is the arch of a saddle (鞍鞒), 橇 a sledge (雪橇)"},
    {U'迨', U'逮', "迨 is until, when (迨至); Chinese reads 逮 as arrest (逮捕)"},
};

// Word forms that give way to the key's per-character form: OpenCC's phrase dictionary gives
// them, but Japanese does not write the word so.
constexpr Link kRejectedWordForms[] = {
    {U'升', U'升',
     "OpenCC's traditional 升 also means rise (上升, 升级), which Japanese writes 昇 (上昇, "
     "昇級); the per-character 昇 stands"},
};

const Link* FindLink(const Link* begin, const Link* end, UChar32 from, UChar32 to) {
    const auto* found = std::find_if(begin, end, [from, to](const Link& link) {
        return link.from == from && (to == 0 || link.to == to);
    });
    return found == end ? nullptr : found;
}

const Link* FindOverride(UChar32 from) {
    return FindLink(std::begin(kOverrides), std::end(kOverrides), from, 0);
}

const Link* FindShownAs(UChar32 japanese) {
    return FindLink(std::begin(kShownAs), std::end(kShownAs), japanese, 0);
}

bool IsRejected(UChar32 from, UChar32 to) {
    return FindLink(std::begin(kRejectedLinks), std::end(kRejectedLinks), from, to) != nullptr;
}

// Unihan fields the choice follows, strongest link first: each links two forms of one
// character. The search takes one step from the key and its OpenCC forms.
// kSemanticVariant links two characters of one meaning, loosely (搞 ~ 攪, 一 ~ 壹, 烊 ~ 煬): a
// form it reaches (LooseVariantForms) becomes a default only through Japanese evidence, where
// IPADIC words spell the key's words with it (仿 -> 倣 in 模倣, 沉 -> 沈 in 沈没).
// kSpecializedSemanticVariant is read (it counts towards the upper bound) but never chosen:
// its links hold only in some contexts, and out of context most of them gave a kanji of
// another meaning (舀 -> 外, 哼 -> 苛, 佬 -> 姆, 榨 -> 醋).
const std::vector<std::string> kChoiceFields = {"kTraditionalVariant", "kSimplifiedVariant",
                                                "kZVariant"};
constexpr const char* kLooseField = "kSemanticVariant";

const std::vector<UChar32>& LinksOf(const VariantMap& links, UChar32 c) {
    static const std::vector<UChar32> none;
    const auto found = links.find(c);
    return found == links.end() ? none : found->second;
}

// The canonical decomposition of a compatibility ideograph (U+F92C -> U+90CE), if any.
std::optional<UChar32> CanonicalForm(UChar32 c) {
    UErrorCode status = U_ZERO_ERROR;
    const auto* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    const icu::UnicodeString normal = nfc->normalize(icu::UnicodeString(c), status);
    if (U_FAILURE(status) || normal.countChar32() != 1 || normal.char32At(0) == c) {
        return std::nullopt;
    }
    return normal.char32At(0);
}

void AddUndirected(VariantMap& graph, const VariantMap& links) {
    for (const auto& [from, targets] : links) {
        for (const UChar32 to : targets) {
            graph[from].push_back(to);
            graph[to].push_back(from);
        }
    }
}

} // namespace

void AddUnique(std::vector<JapaneseCode>& list, const std::optional<JapaneseCode>& code) {
    if (!code) {
        return;
    }
    const bool present = std::any_of(list.begin(), list.end(), [&code](const JapaneseCode& c) {
        return c.character == code->character;
    });
    if (!present) {
        list.push_back(*code);
    }
}

const std::vector<std::string>& UnihanFields() {
    static const std::vector<std::string> fields = {"kTraditionalVariant", "kSimplifiedVariant",
                                                    "kZVariant", "kSemanticVariant",
                                                    "kSpecializedSemanticVariant"};
    return fields;
}

JapaneseChooser::JapaneseChooser(const VariantSources& sources) : m_sources(sources) {
    AddUndirected(m_undirectedLinks, sources.simplifiedToTraditional);
    AddUndirected(m_undirectedLinks, sources.traditionalToJapanese);
    AddUndirected(m_undirectedLinks, sources.oldFormToShinjitai);
    for (const auto& [field, links] : sources.unihan) {
        AddUndirected(m_undirectedLinks, links);
    }
}

std::optional<JapaneseCode> JapaneseChooser::Shippable(UChar32 japanese) const {
    const auto sjis = m_shiftJis.Encode(japanese);
    if (!sjis) {
        return std::nullopt;
    }
    const auto lead = static_cast<std::uint8_t>((*sjis)[0]);
    const bool ascii = sjis->size() == 1 && lead >= 0x21 && lead <= 0x7E;
    const bool jisX0208 = sjis->size() == 2 && IsJisX0208Lead(lead);
    if (!ascii && !jisX0208) {
        return std::nullopt;
    }
    // The code text: the Shift-JIS bytes must be one round-tripping code page 936 character.
    if (!m_desktop.Decode(*sjis)) {
        return std::nullopt;
    }
    const auto preview = m_desktop.Encode(japanese);
    if (!preview) {
        return std::nullopt;
    }
    return JapaneseCode{japanese, *sjis, *preview};
}

std::optional<JapaneseCode> JapaneseChooser::ShippableSign(UChar32 japanese) const {
    if (japanese == U'\t') {
        return JapaneseCode{japanese, "\t", "\t"};
    }
    const auto sjis = m_shiftJis.Encode(japanese);
    if (!sjis) {
        return std::nullopt;
    }
    const auto lead = static_cast<std::uint8_t>((*sjis)[0]);
    const bool ascii = sjis->size() == 1 && lead >= 0x21 && lead <= 0x7E;
    const bool twoByte = sjis->size() == 2 && (IsJisX0208Lead(lead) || IsNecRow13Lead(lead));
    if ((!ascii && !twoByte) || !m_desktop.Decode(*sjis)) {
        return std::nullopt;
    }
    auto preview = m_desktop.Encode(japanese);
    if (!preview) {
        if (const auto* shownAs = FindShownAs(japanese)) {
            preview = m_desktop.Encode(shownAs->to);
        }
    }
    if (!preview) {
        return std::nullopt;
    }
    return JapaneseCode{japanese, *sjis, *preview};
}

bool JapaneseChooser::InJisX0208(UChar32 japanese) const {
    const auto sjis = m_shiftJis.Encode(japanese);
    return sjis && sjis->size() == 2 && IsJisX0208Lead(static_cast<std::uint8_t>((*sjis)[0]));
}

// The Japanese forms of c: an override, then OpenCC JPVariants, then JPShinjitaiCharacters.
std::vector<Candidate> JapaneseChooser::JapaneseForms(UChar32 c) const {
    std::vector<Candidate> forms;
    if (const auto* entry = FindOverride(c)) {
        forms.push_back({entry->to, "override"});
    }
    for (const UChar32 form : LinksOf(m_sources.traditionalToJapanese, c)) {
        forms.push_back({form, "OpenCC Japanese form"});
    }
    for (const UChar32 form : LinksOf(m_sources.oldFormToShinjitai, c)) {
        forms.push_back({form, "OpenCC Japanese form"});
    }
    return forms;
}

// Each form is tried as its Japanese (shinjitai) form first, so 發 gives 発 even though JIS
// X 0208 also holds 發.
void JapaneseChooser::AddWithJapaneseForm(std::vector<Candidate>& list, UChar32 c,
                                          const std::string& route) const {
    for (const auto& form : JapaneseForms(c)) {
        list.push_back({form.character, route + ", " + form.route});
    }
    list.push_back({c, route});
}

// Choice order for an ideograph key (first shippable candidate wins):
//  0. the override for the key (kOverrides), then the form Japanese evidence chose (the builder
//     decides it from IPADIC and kanjidic);
//  1. the traditional forms OpenCC STCharacters gives, in OpenCC's order. OpenCC lists the
//     form most common in everyday words and names first, so that is how ambiguous
//     simplified characters are read (干 -> 幹, 后 -> 後, 发 -> 發 -> 発, 斗 -> 鬥 -> 闘);
//  2. the key itself (a traditional or variant key, or a simplified character Japan shares);
//  3. the canonical decomposition (compatibility ideographs);
//  4. Unihan variants of the key and its OpenCC forms (see kChoiceFields; semantic variants
//     only through step 0's evidence).
// Every form is tried through its Japanese forms first (JapaneseForms), which prefers the
// shinjitai.
std::vector<Candidate> JapaneseChooser::IdeographCandidates(UChar32 key) const {
    std::vector<Candidate> list;
    if (const auto* entry = FindOverride(key)) {
        list.push_back({entry->to, "override"});
    }
    if (const auto found = m_evidenceDefaults.find(key); found != m_evidenceDefaults.end()) {
        list.push_back({found->second, "Japanese evidence"});
    }
    std::vector<UChar32> start = {key};
    for (const UChar32 traditional : LinksOf(m_sources.simplifiedToTraditional, key)) {
        AddWithJapaneseForm(list, traditional, "OpenCC traditional form");
        start.push_back(traditional);
    }
    AddWithJapaneseForm(list, key, "key itself");
    if (const auto canonical = CanonicalForm(key)) {
        AddWithJapaneseForm(list, *canonical, "canonical decomposition");
        start.push_back(*canonical);
    }
    AddUnihanNeighbours(list, start);
    return list;
}

// One step over the Unihan links of each start character, taking the fields in kChoiceFields
// order at each character, so a traditional link beats a semantic one.
void JapaneseChooser::AddUnihanNeighbours(std::vector<Candidate>& list,
                                          const std::vector<UChar32>& start) const {
    std::set<UChar32> seen(start.begin(), start.end());
    for (const UChar32 c : start) {
        for (const auto& field : kChoiceFields) {
            for (const UChar32 variant : UnihanLinks(field, c)) {
                if (!IsRejected(c, variant) && seen.insert(variant).second) {
                    AddWithJapaneseForm(list, variant, "Unihan " + field);
                }
            }
        }
    }
}

const std::vector<UChar32>& JapaneseChooser::UnihanLinks(const std::string& field,
                                                         UChar32 c) const {
    static const VariantMap none;
    const auto found = m_sources.unihan.find(field);
    return LinksOf(found == m_sources.unihan.end() ? none : found->second, c);
}

std::optional<Choice> JapaneseChooser::FirstShippable(const std::vector<Candidate>& list,
                                                      bool signs) const {
    for (const auto& candidate : list) {
        const auto code =
            signs ? ShippableSign(candidate.character) : Shippable(candidate.character);
        if (code) {
            return Choice{*code, candidate.route};
        }
    }
    return std::nullopt;
}

std::optional<Choice> JapaneseChooser::ChooseForIdeograph(UChar32 key) const {
    return FirstShippable(IdeographCandidates(key), false);
}

std::optional<Choice> JapaneseChooser::ChooseForOther(UChar32 key) const {
    std::vector<Candidate> list;
    AddWithJapaneseForm(list, key, "same character");
    return FirstShippable(list, true);
}

UChar32 JapaneseChooser::OpenccReference(UChar32 key) const {
    const auto& traditional = LinksOf(m_sources.simplifiedToTraditional, key);
    const UChar32 first = traditional.empty() ? key : traditional.front();
    const auto& japanese = LinksOf(m_sources.traditionalToJapanese, first);
    return japanese.empty() ? first : japanese.front();
}

bool JapaneseChooser::ReachableThroughVariants(UChar32 key) const {
    std::set<UChar32> seen = {key};
    std::deque<UChar32> queue = {key};
    if (const auto canonical = CanonicalForm(key)) {
        seen.insert(*canonical);
        queue.push_back(*canonical);
    }
    while (!queue.empty()) {
        const UChar32 c = queue.front();
        queue.pop_front();
        if (Shippable(c)) {
            return true;
        }
        for (const UChar32 next : LinksOf(m_undirectedLinks, c)) {
            if (seen.insert(next).second) {
                queue.push_back(next);
            }
        }
    }
    return false;
}

std::vector<std::string> JapaneseChooser::HandMadeLinks() {
    std::vector<std::string> lines;
    for (const auto& link : kOverrides) {
        lines.push_back(Utf8(link.from) + " → " + Utf8(link.to) + ": " + link.reason);
    }
    for (const auto& link : kShownAs) {
        lines.push_back(Utf8(link.from) + " shown as " + Utf8(link.to) +
                        " in the preview: " + link.reason);
    }
    for (const auto& link : kRejectedWordForms) {
        lines.push_back(Utf8(link.from) + " ↛ " + Utf8(link.to) +
                        " in words (the per-character form stands): " + link.reason);
    }
    for (const auto& link : kRejectedLinks) {
        lines.push_back(Utf8(link.from) + " ↛ " + Utf8(link.to) +
                        " (Unihan link not followed): " + link.reason);
    }
    return lines;
}

std::optional<std::string> JapaneseChooser::SignLeftOutReason(UChar32 sign) {
    for (const auto& range : kSignsLeftOut) {
        if (sign >= range.first && sign <= range.last) {
            return range.reason;
        }
    }
    return std::nullopt;
}

std::optional<JapaneseCode> JapaneseChooser::JapaneseFormOf(UChar32 c) const {
    std::vector<Candidate> list;
    AddWithJapaneseForm(list, c, "");
    const auto* overrideLink = FindOverride(c);
    if (overrideLink != nullptr && overrideLink->keyReading) {
        list.erase(list.begin());
    }
    const auto choice = FirstShippable(list, false);
    return choice ? std::optional<JapaneseCode>(choice->code) : std::nullopt;
}

std::optional<std::string> JapaneseChooser::WordFormRejection(UChar32 key, UChar32 japanese) {
    const auto* link =
        FindLink(std::begin(kRejectedWordForms), std::end(kRejectedWordForms), key, japanese);
    return link == nullptr ? std::nullopt : std::optional<std::string>(link->reason);
}

std::optional<JapaneseCode> JapaneseChooser::ExtensionKanji(UChar32 c) const {
    const auto sjis = m_shiftJis.Encode(c);
    if (!sjis || sjis->size() != 2 || !IsExtensionLead(static_cast<std::uint8_t>((*sjis)[0])) ||
        !u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC)) {
        return std::nullopt;
    }
    const auto preview = m_desktop.Encode(c);
    if (!m_desktop.Decode(*sjis) || !preview) {
        return std::nullopt;
    }
    return JapaneseCode{c, *sjis, *preview};
}

std::vector<JapaneseCode> JapaneseChooser::LooseVariantForms(UChar32 c) const {
    std::vector<UChar32> start = {c};
    if (const auto canonical = CanonicalForm(c)) {
        start.push_back(*canonical);
    }
    std::vector<JapaneseCode> forms;
    for (const UChar32 from : start) {
        for (const UChar32 variant : UnihanLinks(kLooseField, from)) {
            if (IsRejected(from, variant)) {
                continue;
            }
            std::vector<Candidate> list;
            AddWithJapaneseForm(list, variant, "");
            for (const auto& candidate : list) {
                if (InJisX0208(candidate.character)) {
                    AddUnique(forms, Shippable(candidate.character));
                }
            }
        }
    }
    return forms;
}

bool JapaneseChooser::SameCharacter(UChar32 a, UChar32 b) const {
    const auto formOf = [this](UChar32 c) {
        const auto form = JapaneseFormOf(c);
        return form ? form->character : c;
    };
    const auto linked = [this](UChar32 from, UChar32 to) {
        const auto& links = UnihanLinks("kZVariant", from);
        return std::find(links.begin(), links.end(), to) != links.end();
    };
    return a == b || formOf(a) == b || formOf(b) == a || linked(a, b) || linked(b, a);
}

bool JapaneseChooser::HasEvidenceDefault(UChar32 key) const {
    return m_evidenceDefaults.count(key) != 0;
}

const std::vector<UChar32>& JapaneseChooser::TraditionalForms(UChar32 key) const {
    return LinksOf(m_sources.simplifiedToTraditional, key);
}

std::vector<UChar32> JapaneseChooser::RelatedForms(UChar32 key) const {
    std::vector<UChar32> forms = {key};
    const auto add = [&forms](UChar32 c) {
        if (std::find(forms.begin(), forms.end(), c) == forms.end()) {
            forms.push_back(c);
        }
    };
    for (const UChar32 traditional : TraditionalForms(key)) {
        add(traditional);
    }
    const std::vector<UChar32> bases = forms;
    for (const UChar32 base : bases) {
        for (const auto& form : JapaneseForms(base)) {
            add(form.character);
        }
        for (const char* field : {"kTraditionalVariant", "kSimplifiedVariant", "kZVariant"}) {
            for (const UChar32 variant : UnihanLinks(field, base)) {
                add(variant);
            }
        }
    }
    return forms;
}

void JapaneseChooser::SetEvidenceDefaults(std::map<UChar32, UChar32> defaults) {
    m_evidenceDefaults = std::move(defaults);
}

bool JapaneseChooser::HasOverride(UChar32 key) {
    return FindOverride(key) != nullptr;
}

} // namespace pelmora::tables
