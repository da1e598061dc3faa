#pragma once

#include "conversion.h"
#include "text_encoding.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

/// Which of the conversion's two texts pelmora-convert writes.
enum class OutputText {
    JapaneseCode, ///< the Japanese code text (the default)
    Preview,      ///< the preview text (--preview)
};

/// The input encoding that --from names: one encoding, or, for utf-16, UTF-16 in the byte order
/// that the input's byte order mark gives.
struct AskedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderByMark = false; ///< utf-16: UTF-16LE or UTF-16BE, as the mark says

    bool operator==(const AskedEncoding&) const = default;
};

/// What the command line asked for.
struct Options {
    std::optional<std::filesystem::path> tableDirectory;
    OutputText text = OutputText::JapaneseCode;
    /// UTF-8, or code page 936 for --sjis: the Japanese code text's Shift-JIS bytes.
    TextEncoding outputEncoding = TextEncoding::Utf8;
    /// --from; nothing: UTF-8, or what a byte order mark at the start says.
    std::optional<AskedEncoding> inputEncoding;
    std::filesystem::path inputPath = "-";
    RunKind kind = RunKind::PerCharacter;   ///< --words, --names
    KanjiSet kanji = KanjiSet::CodePage932; ///< --jis-x0208: JIS X 0208 only
    bool candidates = false; ///< --candidates: list each character's candidates instead
    /// --reverse: read a Japanese program's text back (the reverse run) instead of converting.
    bool reverse = false;
    /// --japanese: the reverse run's input is Japanese text, not the code text.
    bool japaneseText = false;
    bool help = false;
    bool version = false;
};

/// A command line that cannot be run; the message says why.
struct UsageError {
    std::string message;
};

/// The usage text printed by --help.
std::string_view UsageText();

/// The line after a usage error's message, pointing at the help.
inline constexpr std::string_view kTryHelp = "Try 'pelmora-convert --help' for more information.";

/// Reads the arguments after the program name (UTF-8 on Windows, the bytes given elsewhere).
/// An option's value follows it as the next argument or after "=" (--tables=DIR), and is never
/// empty; -h is --help. Throws UsageError. Repeating an option with the same value (folders
/// compared as paths, so D and D/ are one) changes nothing; giving it again with another value is
/// an error that says so.
Options ParseOptions(const std::vector<std::string>& arguments);

} // namespace pelmora
