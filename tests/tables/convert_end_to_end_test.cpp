// Runs the shipped tables through pelmora-convert on everyday words: the preview shows the
// Japanese words, and the --sjis bytes read as Shift-JIS give that same preview.
#include "table_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace pelmora::table_tests;

namespace {

// Output of pelmora-convert with the given options on the given UTF-8 text (stdin).
std::string Convert(const std::string& options, const std::string& text) {
    const std::string command = std::string("printf '%s' '") + text + "' | '" + PELMORA_CONVERT +
                                "' --tables '" + PELMORA_DATA_DIR + "' " + options;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string output;
    char buffer[256];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return output;
}

const std::vector<std::pair<std::string, std::string>> kEverydayWords = {
    {"发展", "発展"},        {"刘德华", "劉徳華"}, {"广东", "広東"},     {"龙之谷", "竜之谷"},
    {"东京", "東京"},        {"学习", "学習"},     {"图书馆", "図書館"}, {"经济", "経済"},
    {"铁道", "鉄道"},        {"欢迎", "歓迎"},     {"传说", "伝説"},     {"国际", "国際"},
    {"Alice 王", "Alice 王"}};

// Words whose Japanese spelling the per-character run already gives and a phrase list of
// Taiwanese usage would spoil; the word-aware run keeps them, and spells 计划 as Japanese does.
const std::vector<std::pair<std::string, std::string>> kWordsKeptJapanese = {
    {"台风", "台風"},     {"复习", "復習"},
    {"了解", "了解"},     {"周期", "周期"},
    {"反复", "反復"},     {"巡回", "巡回"},
    {"回避", "回避"},     {"席卷", "席巻"},
    {"贪欲", "貪欲"},     {"生姜", "生姜"},
    {"赞美", "賛美"},     {"计划", "計画"},
    {"回复药", "回復薬"}, {"他干了一杯酒", "他乾了一杯酒"}};

} // namespace

TEST(ConvertEndToEnd, WordAwareRunKeepsTheJapaneseSpelling) {
    for (const auto& [chinese, japanese] : kWordsKeptJapanese) {
        EXPECT_EQ(Convert("--words --preview", chinese), japanese) << chinese;
    }
}

TEST(ConvertEndToEnd, PreviewShowsTheJapaneseWords) {
    for (const auto& [chinese, japanese] : kEverydayWords) {
        EXPECT_EQ(Convert("--preview", chinese), japanese) << chinese;
    }
}

TEST(ConvertEndToEnd, ShiftJisBytesReadAsThePreviewAndAsTheCodeText) {
    const StrictConverter shiftJis("windows-932");
    const StrictConverter desktop("windows-936");
    for (const auto& [chinese, japanese] : kEverydayWords) {
        const std::string sjis = Convert("--sjis", chinese);
        const auto readBack = shiftJis.Decode(sjis);
        ASSERT_TRUE(readBack) << chinese;
        EXPECT_EQ(ToUtf8(*readBack), Convert("--preview", chinese)) << chinese;
        const auto codeText = desktop.Decode(sjis);
        ASSERT_TRUE(codeText) << chinese;
        EXPECT_EQ(ToUtf8(*codeText), Convert("", chinese)) << chinese;
    }
}
