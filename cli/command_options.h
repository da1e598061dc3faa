#pragma once

#include "input_text.h"

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
    std::optional<InputEncoding> encoding; ///< nothing: UTF-8, or UTF-16 by its byte order mark
    std::filesystem::path inputPath = "-";
    bool byWords = false;    ///< --words: the word-aware run
    bool candidates = false; ///< --candidates: list each character's candidates instead
    bool help = false;
    bool version = false;
};

/// A command line that cannot be run; the message says why.
struct UsageError {
    std::string message;
};

/// The usage text printed by --help and after a usage error.
std::string_view UsageText();

/// Reads the arguments after the program name (UTF-8 on Windows, the bytes given elsewhere).
/// Throws UsageError. Repeating an option with the same value changes nothing; giving it again
/// with another value is an error that says so.
Options ParseOptions(const std::vector<std::string>& arguments);

} // namespace pelmora
