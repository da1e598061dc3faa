#pragma once

#include "code_pages.h"
#include "variant_sources.h"

#include <optional>
#include <string>
#include <vector>

namespace pelmora::tables {

// The public data the tables are built from.
struct VariantSources {
    VariantMap simplifiedToTraditional;       // OpenCC STCharacters
    VariantMap traditionalToJapanese;         // OpenCC JPVariants
    VariantMap oldFormToShinjitai;            // OpenCC JPShinjitaiCharacters, read backwards
    std::map<std::string, VariantMap> unihan; // Unihan_Variants.txt, by field
};

// Unihan fields read from Unihan_Variants.txt. kSpoofingVariant is never read: it links
// look-alikes, not the same character.
const std::vector<std::string>& UnihanFields();

// A Japanese character Pelmora can ship: its Shift-JIS code, whose bytes are also one
// round-tripping code page 936 character (the code text), and the code page 936 code of the
// character itself for the preview.
struct JapaneseCode {
    UChar32 character = 0;
    std::string sjis;
    std::string preview;
};

// One way of reaching a Japanese character from a key, tried in order.
struct Candidate {
    UChar32 character = 0;
    std::string route;
};

// A candidate that passed, with the way it was found.
struct Choice {
    JapaneseCode code;
    std::string route;
};

// Adds `code` to `list` unless the list holds that character already.
void AddUnique(std::vector<JapaneseCode>& list, const std::optional<JapaneseCode>& code);

class JapaneseChooser {
public:
    explicit JapaneseChooser(const VariantSources& sources);

    // The Japanese counterpart of a key character that is an ideograph.
    std::optional<Choice> ChooseForIdeograph(UChar32 key) const;

    // The Japanese counterpart of any other key: the same character (kana, letters,
    // symbols), or an override where the two code pages give one sign two code points.
    std::optional<Choice> ChooseForOther(UChar32 key) const;

    // The Japanese character, when Pelmora can ship it (JIS X 0208 or ASCII, round trip).
    std::optional<JapaneseCode> Shippable(UChar32 japanese) const;

    // The same for a sign, which may also come from NEC row 13 (①, Ⅰ, №; Japanese Windows
    // fonts carry it), may be a tab, and may be previewed by a look-alike where code page 936
    // lacks the sign itself (kShownAs in japanese_choice.cpp).
    std::optional<JapaneseCode> ShippableSign(UChar32 japanese) const;

    // Why a GB2312 sign was left without a Japanese counterpart, when that was decided by hand.
    static std::optional<std::string> SignLeftOutReason(UChar32 sign);

    // What OpenCC gives for the key out of context: the first STCharacters form, then the
    // JPVariants form of that.
    UChar32 OpenccReference(UChar32 key) const;

    // True when some chain of OpenCC or Unihan links, in any direction, reaches a shippable
    // Japanese character: the most any choice order could map.
    bool ReachableThroughVariants(UChar32 key) const;

    // The overrides and the Unihan links not followed, each with its reason, for the report.
    static std::vector<std::string> HandMadeLinks();

    // True when code page 932 encodes the character in a JIS X 0208 row.
    bool InJisX0208(UChar32 japanese) const;

    // The Japanese form of one character as a word gives it: its override, its OpenCC
    // Japanese forms, then itself, the first one shippable (the path every key form takes).
    std::optional<JapaneseCode> JapaneseFormOf(UChar32 c) const;

    // Why a word's Japanese form of a key gives way to the per-character one, when it does.
    static std::optional<std::string> WordFormRejection(UChar32 key, UChar32 japanese);

    // The character as an extension kanji of code page 932 (the IBM rows ICU's windows-932
    // encoder gives, or the NEC-selected rows), when its code also round-trips through code
    // page 936 and code page 936 can preview it.
    std::optional<JapaneseCode> ExtensionKanji(UChar32 c) const;

    // The OpenCC traditional forms of a key, in OpenCC's order.
    const std::vector<UChar32>& TraditionalForms(UChar32 key) const;

    // Characters that are forms of the key: itself, its OpenCC traditional forms, their
    // OpenCC Japanese forms, and their Unihan traditional, simplified and z-variant links.
    std::vector<UChar32> RelatedForms(UChar32 key) const;

    // The JIS X 0208 kanji one Unihan kSemanticVariant link reaches from a character or its
    // canonical decomposition (then through their Japanese forms: 預 ~ 豫 -> 予), each once.
    // The links are loose (搞 ~ 攪, 一 ~ 壹, 只 ~ 子): a word or a default takes such a form
    // only where IPADIC words attest it.
    std::vector<JapaneseCode> LooseVariantForms(UChar32 c) const;

    // True when two kanji are forms of one character: equal, one the Japanese form of the
    // other, or linked by Unihan kZVariant (獎 and 奨).
    bool SameCharacter(UChar32 a, UChar32 b) const;

    // True when Japanese evidence chose the key's per-character default.
    bool HasEvidenceDefault(UChar32 key) const;

    // Japanese forms that Japanese evidence made the per-character default, tried right after a
    // key's own override.
    void SetEvidenceDefaults(std::map<UChar32, UChar32> defaults);

    // True when the key has a hand-made override.
    static bool HasOverride(UChar32 key);

private:
    std::vector<Candidate> IdeographCandidates(UChar32 key) const;
    void AddWithJapaneseForm(std::vector<Candidate>& list, UChar32 c,
                             const std::string& route) const;
    void AddUnihanNeighbours(std::vector<Candidate>& list, const std::vector<UChar32>& start) const;
    std::vector<Candidate> JapaneseForms(UChar32 c) const;
    const std::vector<UChar32>& UnihanLinks(const std::string& field, UChar32 c) const;
    std::optional<Choice> FirstShippable(const std::vector<Candidate>& list, bool signs) const;

    const VariantSources& m_sources;
    VariantMap m_undirectedLinks;
    std::map<UChar32, UChar32> m_evidenceDefaults;
    StrictCodePage m_desktop{kDesktopCodePage};
    StrictCodePage m_shiftJis{kShiftJisCodePage};
};

} // namespace pelmora::tables
