#include "command_options.h"

#include "platform.h"

namespace pelmora {

namespace {

constexpr std::string_view kUsage =
    "Usage: pelmora-convert [--tables DIR] [--from ENCODING] [--words]\n"
    "                       [--preview | --sjis | --candidates] [FILE]\n"
    "Turns Simplified Chinese text (from FILE or standard input) into the Japanese code text:\n"
    "each character becomes the GBK character whose two bytes are the Shift-JIS code of its\n"
    "Japanese kanji. The result goes to standard output as UTF-8 with nothing added. A character\n"
    "the tables lack is \"□\" in the preview and 仩 in the code text, which a Japanese game\n"
    "reads as \"□\".\n"
    "\n"
    "  --tables DIR     read pin.dat, pj.dat and jj.dat from DIR (default: beside the program)\n"
    "  --from ENCODING  the input's encoding: utf-8 (the default), gbk (also cp936, gb2312),\n"
    "                   utf-16le or utf-16be; UTF-16 with a byte order mark is recognised\n"
    "                   without it, and a UTF-8 byte order mark is dropped\n"
    "  --words          choose each kanji by the word it stands in (头发 gives 頭髪, 发展\n"
    "                   gives 発展), using words.dat beside the tables\n"
    "  --preview        write the preview text (the kanji's Japanese form) instead\n"
    "  --sjis           write the Japanese code text as code page 936 bytes, which are the\n"
    "                   Shift-JIS bytes a Japanese program reads\n"
    "  --candidates     list, for each character, the kanji it can stand for (from\n"
    "                   candidates.dat), the one the run picks first; * marks a kanji that\n"
    "                   only Japanese Windows fonts carry and some games cannot show\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when an error report was shown or the output could not be\n"
    "written, 2 for a usage error or input that cannot be read or decoded.\n";

// Sets an option's value once; the same value again is harmless, another value is an error.
template <typename Value>
void SetOnce(std::optional<Value>& slot, const Value& value, std::string_view what) {
    if (slot && *slot != value) {
        throw UsageError{std::string(what) + " given twice with different values"};
    }
    slot = value;
}

std::string_view ValueAfter(const std::vector<std::string>& arguments, std::size_t& i,
                            std::string_view needs) {
    if (i + 1 == arguments.size()) {
        throw UsageError{std::string(arguments[i]) + " needs " + std::string(needs)};
    }
    return arguments[++i];
}

InputEncoding EncodingNamed(std::string_view name) {
    if (const std::optional<InputEncoding> encoding = EncodingByName(name)) {
        return *encoding;
    }
    throw UsageError{"unknown encoding " + std::string(name) +
                     " (use utf-8, gbk, cp936, gb2312, utf-16le or utf-16be)"};
}

} // namespace

std::string_view UsageText() {
    return kUsage;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    std::optional<OutputForm> form;
    std::optional<std::filesystem::path> inputPath;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        if (option && argument == "--") {
            optionsEnded = true;
        } else if (option && argument == "--help") {
            options.help = true;
        } else if (option && argument == "--version") {
            options.version = true;
        } else if (option && (argument == "--preview" || argument == "--sjis")) {
            const OutputForm asked =
                argument == "--preview" ? OutputForm::Preview : OutputForm::ShiftJisBytes;
            if (form && *form != asked) {
                throw UsageError{"--preview and --sjis cannot be combined"};
            }
            form = asked;
        } else if (option && argument == "--words") {
            options.byWords = true;
        } else if (option && argument == "--candidates") {
            options.candidates = true;
        } else if (option && argument == "--tables") {
            SetOnce(options.tableDirectory,
                    PathFromArgument(ValueAfter(arguments, i, "a directory")), "--tables");
        } else if (option && argument == "--from") {
            SetOnce(options.encoding, EncodingNamed(ValueAfter(arguments, i, "an encoding")),
                    "--from");
        } else if (option) {
            throw UsageError{"unknown option " + std::string(argument)};
        } else if (inputPath) {
            throw UsageError{"only one input file can be given"};
        } else {
            inputPath = PathFromArgument(argument);
        }
    }
    if (options.candidates && form) {
        throw UsageError{"--candidates cannot be combined with --preview or --sjis"};
    }
    options.form = form.value_or(OutputForm::JapaneseCode);
    options.inputPath = inputPath.value_or("-");
    return options;
}

} // namespace pelmora
