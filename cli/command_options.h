#pragma once

#include "conversion.h"
#include "stream_decoder.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

/// Which of the conversion's texts pelmora-convert writes, and how.
enum class OutputForm {
    JapaneseCode,  ///< the Japanese code text as UTF-8 (the default)
    Preview,       ///< the preview text as UTF-8
    ShiftJisBytes, ///< the Japanese code text in code page 936: the Shift-JIS bytes
};

/// What the command line asked for.
struct Options {
    std::optional<std::filesystem::path> tableDirectory;
    OutputForm form = OutputForm::JapaneseCode;
    /// Nothing: UTF-8, or what a byte order mark at the start says.
    std::optional<TextEncoding> encoding;
    std::filesystem::path inputPath = "-";
    RunKind kind = RunKind::PerCharacter; ///< --words, --names
    bool candidates = false; ///< --candidates: list each character's candidates instead
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

/// The encoding for a --from name: utf-8 (or utf8), gbk (or cp936, gb2312), gb18030, utf-16le,
/// utf-16be, in any letter case; nothing for any other name.
std::optional<TextEncoding> EncodingByName(std::string_view name);

/// The name users know an encoding by, for messages ("UTF-8", "GBK", ...).
std::string_view EncodingDisplayName(TextEncoding encoding);

/// Reads the arguments after the program name (UTF-8 on Windows, the bytes given elsewhere).
/// An option's value follows it as the next argument or after "=" (--tables=DIR). Throws
/// UsageError. Repeating an option with the same value (folders compared as paths, so D and D/
/// are one) changes nothing; giving it again with another value is an error that says so.
Options ParseOptions(const std::vector<std::string>& arguments);

} // namespace pelmora
