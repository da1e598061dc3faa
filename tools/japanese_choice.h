#pragma once

#include "code_pages.h"
#include "variant_sources.h"

#include <optional>
#include <string>
#include <vector>

namespace pelmora::tables {

// The public data the tables are built from.
struct VariantSources {
    VariantMap simplified_to_traditional;     // OpenCC STCharacters
    VariantMap traditional_to_japanese;       // OpenCC JPVariants
    VariantMap old_form_to_shinjitai;         // OpenCC JPShinjitaiCharacters, read backwards
    std::map<std::string, VariantMap> unihan; // Unihan_Variants.txt, by field
};

// Unihan fields read from Unihan_Variants.txt. kSpoofingVariant is never read: it links
// look-alikes, not the same character.
const std::vector<std::string>& unihan_fields();

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
void add_unique(std::vector<JapaneseCode>& list, const std::optional<JapaneseCode>& code);

class JapaneseChooser {
public:
    explicit JapaneseChooser(const VariantSources& sources);

    // The Japanese counterpart of a key character that is an ideograph.
    std::optional<Choice> choose_for_ideograph(UChar32 key) const;

    // The Japanese counterpart of any other key: the same character (kana, letters,
    // symbols), or an override where the two code pages give one sign two code points.
    std::optional<Choice> choose_for_other(UChar32 key) const;

    // The Japanese character, when Pelmora can ship it (JIS X 0208 or ASCII, round trip).
    std::optional<JapaneseCode> shippable(UChar32 japanese) const;

    // The same for a sign, which may also come from NEC row 13 (①, Ⅰ, №; Japanese Windows
    // fonts carry it), may be a tab, and may be previewed by a look-alike where code page 936
    // lacks the sign itself (kShownAs in japanese_choice.cpp).
    std::optional<JapaneseCode> shippable_sign(UChar32 japanese) const;

    // Why a GB2312 sign was left without a Japanese counterpart, when that was decided by hand.
    static std::optional<std::string> sign_left_out_reason(UChar32 sign);

    // What OpenCC gives for the key out of context: the first STCharacters form, then the
    // JPVariants form of that.
    UChar32 opencc_reference(UChar32 key) const;

    // True when some chain of OpenCC or Unihan links, in any direction, reaches a shippable
    // Japanese character: the most any choice order could map.
    bool reachable_through_variants(UChar32 key) const;

    // The overrides and the Unihan links not followed, each with its reason, for the report.
    static std::vector<std::string> hand_made_links();

    // True when code page 932 encodes the character in a JIS X 0208 row.
    bool in_jis_x0208(UChar32 japanese) const;

    // The Japanese form of one character as a word gives it: its override, its OpenCC
    // Japanese forms, then itself, the first one shippable (the path every key form takes).
    std::optional<JapaneseCode> japanese_form_of(UChar32 c) const;

    // Why a word's Japanese form of a key gives way to the per-character one, when it does.
    static std::optional<std::string> word_form_rejection(UChar32 key, UChar32 japanese);

    // The character as an extension kanji of code page 932 (the IBM rows ICU's windows-932
    // encoder gives, or the NEC-selected rows), when its code also round-trips through code
    // page 936 and code page 936 can preview it.
    std::optional<JapaneseCode> extension_kanji(UChar32 c) const;

    // The OpenCC traditional forms of a key, in OpenCC's order.
    const std::vector<UChar32>& traditional_forms(UChar32 key) const;

    // Characters that are forms of the key: itself, its OpenCC traditional forms, their
    // OpenCC Japanese forms, and their Unihan traditional, simplified and z-variant links.
    std::vector<UChar32> related_forms(UChar32 key) const;

    // Japanese forms that Japanese evidence made the per-character default, tried right after a
    // key's own override.
    void set_evidence_defaults(std::map<UChar32, UChar32> defaults);

    // True when the key has a hand-made override.
    static bool has_override(UChar32 key);

private:
    std::vector<Candidate> ideograph_candidates(UChar32 key) const;
    void add_with_japanese_form(std::vector<Candidate>& list, UChar32 c,
                                const std::string& route) const;
    void add_unihan_neighbours(std::vector<Candidate>& list,
                               const std::vector<UChar32>& start) const;
    std::vector<Candidate> japanese_forms(UChar32 c) const;
    const std::vector<UChar32>& unihan_links(const std::string& field, UChar32 c) const;
    std::optional<Choice> first_shippable(const std::vector<Candidate>& list, bool signs) const;

    const VariantSources& sources_;
    VariantMap undirected_links_;
    std::map<UChar32, UChar32> evidence_defaults_;
    StrictCodePage desktop_{kDesktopCodePage};
    StrictCodePage shift_jis_{kShiftJisCodePage};
};

} // namespace pelmora::tables
