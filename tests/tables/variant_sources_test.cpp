// The builder's readers of OpenCC text dumps and Unihan_Variants.txt, on small samples of
// both formats.
#include "variant_sources.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pelmora::tables;

TEST(VariantSources, OpenccDumpKeepsSingleCharactersInOrder) {
    std::istringstream text("干\t幹 乾 干\n"
                            "后\t後 后\n"
                            "一齊\t一齐\n"  // a phrase: skipped
                            "發\t發展 発\n" // a phrase value: skipped, the rest kept
                            "broken line\n");
    const auto links = ReadOpenccCharacters(text);
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(links.at(U'干'), (std::vector<UChar32>{U'幹', U'乾', U'干'}));
    EXPECT_EQ(links.at(U'后'), (std::vector<UChar32>{U'後', U'后'}));
    EXPECT_EQ(links.at(U'發'), (std::vector<UChar32>{U'発'}));
}

TEST(VariantSources, ShinjitaiDictionaryReadsBackwards) {
    std::istringstream text("両\t兩 輛\n弁\t辨 辯 弁\n");
    const auto links = ReverseLinks(ReadOpenccCharacters(text));
    EXPECT_EQ(links.at(U'兩'), std::vector<UChar32>{U'両'});
    EXPECT_EQ(links.at(U'輛'), std::vector<UChar32>{U'両'});
    EXPECT_EQ(links.at(U'辯'), std::vector<UChar32>{U'弁'});
    EXPECT_EQ(links.at(U'弁'), std::vector<UChar32>{U'弁'});
}

TEST(VariantSources, UnihanReaderPutsFormLinksFirstAndDropsUnaskedFields) {
    std::istringstream text("# comment line\n"
                            "U+53D1\tkTraditionalVariant\tU+767C U+9AEE\n"
                            "U+540E\tkSemanticVariant\tU+5F8C<kMatthews,kMeyerWempe\n"
                            "U+540E\tkSpoofingVariant\tU+5DF5\n"
                            "U+20000\tkZVariant\tU+4E00\n"
                            "U+FA11\tkSemanticVariant\tU+37E2 U+57FC U+5D0E<kMorohashi:Z\n");
    const auto fields =
        ReadUnihanVariants(text, {"kTraditionalVariant", "kSemanticVariant", "kZVariant"});
    EXPECT_EQ(fields.at("kTraditionalVariant").at(0x53D1), (std::vector<UChar32>{0x767C, 0x9AEE}));
    EXPECT_EQ(fields.at("kSemanticVariant").at(0x540E), std::vector<UChar32>{0x5F8C});
    EXPECT_EQ(fields.at("kZVariant").at(0x20000), std::vector<UChar32>{0x4E00});
    EXPECT_EQ(fields.at("kSemanticVariant").at(0xFA11),
              (std::vector<UChar32>{0x5D0E, 0x37E2, 0x57FC}));
    EXPECT_EQ(fields.count("kSpoofingVariant"), 0u);
}
