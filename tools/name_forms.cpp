#include "name_forms.h"

#include <stdexcept>

namespace pelmora::tables {

const std::vector<NameForm>& SurnameForms() {
    static const std::vector<NameForm> forms = {
        {U'钟', U'鍾', "the surname is 鍾 (鍾漢良, 鍾離); 鐘 is the bell"},
        {U'范', U'范', "the surname 范 is a character of its own (范冰冰); 範 means model"},
        {U'于', U'于', "the surname 于 is a character of its own (于右任); 於 is the preposition"},
        {U'叶', U'葉', "the surname is 葉 (葉問); 叶 in Japanese means to grant a wish"},
        {U'萧', U'蕭', "the surname is 蕭 (蕭何, 蕭紅)"},
        {U'邓', U'鄧', "the surname is 鄧 (鄧小平, 鄧麗君), an extension kanji of code page 932"},
        {U'沈', U'沈', "the surname is 沈 (沈従文); 瀋 is the city 瀋陽"},
        {U'冯', U'馮', "the surname is 馮 (馮小剛)"},
        {U'余', U'余', "the surname 余 is a character of its own (余華); 餘 means surplus"},
        {U'谷', U'谷', "the surname is 谷 (valley); 穀 means grain"},
        {U'郁', U'郁', "the surname is 郁 (郁達夫); 鬱 means gloom"},
        {U'姜', U'姜', "the surname is 姜 (姜文, 姜子牙); 薑 means ginger"},
        {U'岳', U'岳', "the surname is 岳 (岳飛); 嶽 is a high mountain"},
        {U'胡', U'胡', "the surname is 胡 (胡適); 鬍 means beard"},
        {U'干', U'干', "the surname is 干 (干宝); 乾 and 幹 are other words"},
        {U'朴', U'朴', "the Korean surname is 朴 (朴槿恵); 樸 means plain"},
        {U'后', U'后', "the surname is 后 (后羿); 後 means after"},
        {U'周', U'周', "the surname is 周 (周恩来); 週 is the week"},
        {U'闫', U'閻', "闫 is a simplified form of the surname 閻"},
        {U'游', U'游', "the surname is 游 (游本昌, 游鴻明); 遊 means to play"},
        {U'曾', U'曾', "the surname is written 曾 (曾国藩); 曽 is the everyday Japanese form"},
    };
    return forms;
}

const std::vector<NameForm>& GivenNameForms() {
    static const std::vector<NameForm> forms = {
        {U'龙', U'龍',
         "Japanese media write 龍 in Chinese names (李小龍, 成龍); 竜 is the everyday form"},
        {U'杰', U'杰',
         "Japanese media keep 杰 in Chinese names (周杰倫); 傑 is the Taiwanese form"},
        {U'采', U'采', "the name 采 is a character of its own (寧采臣); 採 means to pick"},
        {U'涛', U'濤', "Japanese media write 濤 in Chinese names (胡錦濤)"},
        {U'颖', U'穎', "穎 is the standard JIS form (頴 a variant); 穎 in Chinese names"},
        {U'艳', U'艶', "艶 is the Jōyō form; 艷 is the old form"},
        {U'郁', U'郁', "in a given name 郁 means fragrant; 鬱 means gloom"},
        {U'发', U'発', "in a given name 发 is 發, prosperity (周潤発); 髪 is hair"},
        {U'冲', U'沖', "in a given name 冲 is 沖 (令狐沖); 衝 means to clash"},
    };
    return forms;
}

const std::vector<std::u32string>& CompoundSurnames() {
    static const std::vector<std::u32string> surnames = {
        U"欧阳", U"司马", U"诸葛", U"上官", U"令狐", U"钟离", U"夏侯", U"皇甫", U"尉迟",
        U"公孙", U"慕容", U"长孙", U"宇文", U"司徒", U"东方", U"独孤", U"南宫", U"万俟",
        U"闻人", U"端木", U"轩辕", U"西门", U"百里", U"呼延", U"东郭", U"公冶", U"太史",
        U"申屠", U"澹台", U"濮阳", U"淳于", U"单于", U"拓跋", U"完颜", U"左丘", U"第五",
    };
    return surnames;
}

namespace {

JapaneseCode ShippableForm(const JapaneseChooser& chooser, const NameForm& form) {
    if (auto code = chooser.Shippable(form.japanese)) {
        return *code;
    }
    if (auto code = chooser.ExtensionKanji(form.japanese)) {
        return *code;
    }
    throw std::runtime_error("name form " + Utf8(form.simplified) + " → " + Utf8(form.japanese) +
                             " cannot be shipped");
}

std::string KeyBytes(const StrictCodePage& desktop, UChar32 c) {
    const auto bytes = desktop.Encode(c);
    if (!bytes || bytes->size() != 2) {
        throw std::runtime_error("name key " + Utf8(c) + " is no double-byte character");
    }
    return *bytes;
}

// The surname form of c, else what the per-character tables give.
JapaneseCode SurnameCharacter(const JapaneseChooser& chooser, const PerCharacter& perChar,
                              UChar32 c) {
    for (const NameForm& form : SurnameForms()) {
        if (form.simplified == c) {
            return ShippableForm(chooser, form);
        }
    }
    const auto found = perChar.find(c);
    if (found == perChar.end()) {
        throw std::runtime_error("compound surname character " + Utf8(c) + " has no kanji");
    }
    return found->second;
}

} // namespace

std::vector<NameEntry> NameEntries(const JapaneseChooser& chooser, const PerCharacter& perChar,
                                   const StrictCodePage& desktop) {
    std::vector<NameEntry> entries;
    for (const NameForm& form : SurnameForms()) {
        entries.push_back(
            {true, {KeyBytes(desktop, form.simplified)}, {ShippableForm(chooser, form)}});
    }
    for (const std::u32string& surname : CompoundSurnames()) {
        NameEntry entry{true, {}, {}};
        for (const char32_t c : surname) {
            entry.keys.push_back(KeyBytes(desktop, static_cast<UChar32>(c)));
            entry.japanese.push_back(SurnameCharacter(chooser, perChar, static_cast<UChar32>(c)));
        }
        entries.push_back(std::move(entry));
    }
    for (const NameForm& form : GivenNameForms()) {
        entries.push_back(
            {false, {KeyBytes(desktop, form.simplified)}, {ShippableForm(chooser, form)}});
    }
    return entries;
}

std::string NameTableBytes(const std::vector<NameEntry>& entries) {
    std::string bytes;
    for (const NameEntry& entry : entries) {
        AppendEntry(entry.surname ? kSurnameEntry : kGivenNameEntry,
                    StoredEntry(entry.keys, entry.japanese), bytes);
    }
    return bytes;
}

} // namespace pelmora::tables
