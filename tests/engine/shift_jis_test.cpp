#include "shift_jis.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace pelmora {
namespace {

std::u32string Decoded(const std::string& bytes) {
    const std::optional<std::u32string> text = DecodeShiftJis(bytes);
    EXPECT_TRUE(text.has_value());
    return text.value_or(U"");
}

TEST(ShiftJisTest, SingleBytesAreAsciiAndHalfWidthKatakana) {
    for (unsigned byte = 0; byte < 0x80; ++byte) {
        EXPECT_EQ(Decoded(std::string(1, static_cast<char>(byte))), std::u32string(1, byte));
    }
    for (unsigned byte = 0xA1; byte <= 0xDF; ++byte) {
        EXPECT_EQ(Decoded(std::string(1, static_cast<char>(byte))),
                  std::u32string(1, U'\uFF61' + (byte - 0xA1)));
    }
    for (const char byte : {'\xA0', '\xFD', '\xFE', '\xFF'}) {
        EXPECT_EQ(DecodeShiftJis(std::string(1, byte)), std::nullopt);
    }
}

TEST(ShiftJisTest, PairsReadAsTheirKanji) {
    EXPECT_EQ(Decoded("\x94\xAD\x93\x8C"), U"発東");
    EXPECT_EQ(Decoded("\x81\xA0"), U"□");
    EXPECT_EQ(Decoded("\x81\x45"), U"・");
    EXPECT_EQ(Decoded(""), U"");
}

TEST(ShiftJisTest, AnyBadPieceSpoilsTheWholeText) {
    EXPECT_EQ(DecodeShiftJis("\x94"), std::nullopt) << "a lead byte at the end";
    EXPECT_EQ(DecodeShiftJis("A\x94\x20"), std::nullopt) << "trail byte below 40";
    EXPECT_EQ(DecodeShiftJis("\x94\x7F"), std::nullopt);
    EXPECT_EQ(DecodeShiftJis("\x94\xFD"), std::nullopt) << "trail byte above FC";
}

// Decoding never depends on what stands around a character: a text of random valid pieces
// reads as the pieces read one by one, and spoiling any one piece spoils the whole.
TEST(ShiftJisTest, TextsReadPieceByPiece) {
    std::vector<std::string> pieces;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (const auto text = DecodeShiftJis(pair); text && text->size() == 1) {
                pieces.push_back(pair);
            }
        }
    }
    for (unsigned single = 0; single <= 0xFF; ++single) {
        if (const auto text = DecodeShiftJis(std::string(1, static_cast<char>(single)))) {
            pieces.emplace_back(1, static_cast<char>(single));
        }
    }
    ASSERT_GT(pieces.size(), 9000u);
    std::mt19937 random(20240610);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        std::u32string expected;
        for (int i = 0; i < 50; ++i) {
            const std::string& piece = pieces[pick(random)];
            bytes += piece;
            expected += Decoded(piece);
        }
        EXPECT_EQ(Decoded(bytes), expected);
        // FF is neither a character nor a trail byte, wherever it lands.
        bytes.insert(std::uniform_int_distribution<std::size_t>(0, bytes.size())(random), "\xFF");
        EXPECT_EQ(DecodeShiftJis(bytes), std::nullopt);
    }
}

} // namespace
} // namespace pelmora
