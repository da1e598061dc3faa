#pragma once

#include "conversion.h"
#include "error_report.h"
#include "stream_decoder.h"
#include "stream_encoder.h"
#include "text_io.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The reverse run: a game's text read back as Japanese and as the Simplified Chinese it stands
// for. It is the forward run's walk with its own chooser, fed through one encoder that turns
// the code text back into the bytes a Japanese program holds.
namespace pelmora {

/// Title of the reverse run's error report.
inline constexpr std::string_view kReadBackErrorTitle = "Error in ReadBack";

/// What the reverse run reads.
enum class GameText {
    /// The code text as a Chinese desktop shows a Japanese program's text: characters whose
    /// code page 936 bytes are the program's Shift-JIS bytes (Pelmora's own code text, a
    /// garbled title, a file name, a save list).
    CodeText,
    /// Japanese text: kanji and kana as themselves (the preview, a web page, or Shift-JIS bytes
    /// already decoded, where the decoder marked bytes that are no character with U+FFFD).
    JapaneseText,
};

/// Where the reverse run writes; each output given is emptied and then gets one character per
/// character of the Japanese text.
struct ReadBackOutputs {
    /// The Japanese text: each character as a Japanese program shows it, "□" where the input
    /// is not Shift-JIS.
    TextSink* japanese = nullptr;
    /// The Simplified Chinese text: each character as KanjiInverse turns it round, "□" where
    /// the input is not Shift-JIS.
    TextSink* chinese = nullptr;
    /// The code text that shows the Japanese text in a game, as the forward run writes it: the
    /// code page 936 character whose bytes are each character's Shift-JIS code, or
    /// kJapaneseCodePlaceholder where there is no such one character (a half-width katakana's
    /// one byte, which code page 936 shows only together with the next one).
    TextSink* codeText = nullptr;
    /// What a game reads in `codeText`: the Japanese text, with "□" where the code text holds
    /// the placeholder.
    TextSink* preview = nullptr;
};

/// The reverse run: forms the table paths in `location`, reads the three tables and the
/// optional candidates.dat, names.dat and words.dat there (KanjiInverse), empties the outputs,
/// then walks `input` as it comes and appends to every output given; memory stays bounded
/// whatever the input's length. Returns how many places of the input are not Shift-JIS: bytes
/// no Shift-JIS character begins with or ends in (each lone byte, or a lead byte and its trail
/// byte where code page 932 assigns none), a code text character code page 936 cannot
/// represent, or a character of Japanese text that Shift-JIS lacks; each shows "□" in the
/// outputs. A failure (a table that cannot be read, a damaged record pair) shows
/// kReadBackErrorTitle through `report` and ends the run, after emptying no output when it
/// comes before they were emptied.
std::uint64_t ReadBackText(GameText kind, TextSource& input, const ReadBackOutputs& outputs,
                           const TableLocation& location, ErrorReport& report);

/// The encoder of the reverse run: reads the code text from `codeText` and gives the Japanese
/// text that its code page 936 bytes are in Shift-JIS. A Shift-JIS character may span two code
/// text characters (a half-width katakana and the lead byte of the next character share one),
/// so the bytes are read as one stream; a code text character that code page 936 cannot
/// represent is a U+FFFD of its own, as is each byte that is not Shift-JIS.
class CodeTextReading final : public TextSource {
public:
    explicit CodeTextReading(TextSource& codeText);
    std::string_view NextPiece() override;

private:
    TextSource& m_codeText;
    StreamEncoder m_encoder{TextEncoding::Gbk};
    StreamDecoder m_decoder;
    std::string m_bytes;
    std::string m_piece;
    bool m_ended = false;
};

} // namespace pelmora
