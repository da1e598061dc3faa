#include "command_options.h"

#include "platform.h"

#include <algorithm>
#include <cctype>

namespace pelmora {

namespace {

constexpr std::string_view kUsage =
    "Usage: pelmora-convert [--tables DIR] [--from ENCODING] [--words | --names]\n"
    "                       [--jis-x0208] [--preview | --sjis | --candidates] [FILE]\n"
    "       pelmora-convert --reverse [--japanese] [--tables DIR] [--from ENCODING]\n"
    "                       [--preview] [FILE]\n"
    "Turns Simplified Chinese text (from FILE or standard input) into the Japanese code text:\n"
    "each character becomes the GBK character whose two bytes are the Shift-JIS code of its\n"
    "Japanese kanji. The result goes to standard output as UTF-8 with nothing added. A character\n"
    "the tables lack is \"□\" in the preview and 仩 in the code text, which a Japanese game\n"
    "reads as \"□\".\n"
    "\n"
    "  --tables DIR     read pin.dat, pj.dat and jj.dat from DIR (default: beside the program)\n"
    "  --from ENCODING  the input's encoding: utf-8 (the default), gbk (also cp936, gb2312),\n"
    "                   gb18030, utf-16le, utf-16be or shift-jis (also sjis, cp932); a byte\n"
    "                   order mark at the start says the encoding by itself and is dropped;\n"
    "                   utf-16 reads UTF-16 in the byte order its byte order mark gives, and\n"
    "                   refuses input without one\n"
    "  --words          choose each kanji by the word it stands in (头发 gives 頭髪, 发展\n"
    "                   gives 発展), using words.dat beside the tables\n"
    "  --names          read each line as a Chinese personal name and choose the kanji that\n"
    "                   names use\n"
    "  --jis-x0208      give only JIS X 0208 kanji, for games that reject the others: an\n"
    "                   extension kanji becomes the character's first JIS X 0208 candidate\n"
    "                   from candidates.dat, or \"□\" when it has none\n"
    "  --preview        write the preview text (the kanji's Japanese form) instead\n"
    "  --sjis           write the Japanese code text as code page 936 bytes, which are the\n"
    "                   Shift-JIS bytes a Japanese program reads\n"
    "  --candidates     list, for each character, the kanji it can stand for (from\n"
    "                   candidates.dat), the one the run picks first; * marks a kanji that\n"
    "                   only Japanese Windows fonts carry and some games cannot show\n"
    "  --reverse        read a Japanese program's text back as Simplified Chinese: the input\n"
    "                   is the code text (the unrelated Chinese characters a Chinese desktop\n"
    "                   shows for a Japanese game's names, menus, titles or file names), or,\n"
    "                   with --from shift-jis, the game's bytes themselves; --preview writes\n"
    "                   the Japanese text instead. Input that is not Shift-JIS shows as \"□\"\n"
    "                   and is counted on standard error\n"
    "  --japanese       with --reverse: the input is Japanese text (kanji and kana)\n"
    "  -h, --help       show this help and exit\n"
    "  --version        show the version and exit\n"
    "\n"
    "Options take their value as the next argument or after \"=\" (--tables=DIR). The output\n"
    "is written as the input arrives.\n"
    "\n"
    "Exit status: 0 on success, 1 when an error report was shown or the output could not be\n"
    "written, 2 for a usage error or input that cannot be read or decoded (after writing what\n"
    "came before the bad byte; with --reverse, after writing all of it, \"□\" in place of what\n"
    "is not Shift-JIS).\n";

// One spelling for a folder, so that D, D/ and ./D/ count as the same value.
std::filesystem::path NormalFolder(const std::filesystem::path& folder) {
    return (folder / "").lexically_normal();
}

// Sets an option's value once; the same value again is harmless, another value is an error.
template <typename Value>
void SetOnce(std::optional<Value>& slot, const Value& value, std::string_view what) {
    if (slot && *slot != value) {
        throw UsageError{std::string(what) + " given twice with different values"};
    }
    slot = value;
}

// An option and its value, from "--opt value" or "--opt=value".
struct Argument {
    std::string_view name;
    std::optional<std::string_view> value;
};

Argument Split(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (argument.rfind("--", 0) != 0 || equals == std::string_view::npos) {
        return {argument, std::nullopt};
    }
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

// An empty value names nothing: "--tables=" would read the current folder, "--from=" no
// encoding at all.
std::string_view ValueOf(const Argument& option, const std::vector<std::string>& arguments,
                         std::size_t& i, std::string_view needs) {
    if (!option.value && i + 1 == arguments.size()) {
        throw UsageError{std::string(option.name) + " needs " + std::string(needs)};
    }
    const std::string_view value = option.value ? *option.value : arguments[++i];
    if (value.empty()) {
        throw UsageError{std::string(option.name) + " needs " + std::string(needs) +
                         ", not an empty value"};
    }
    return value;
}

// The options that choose the run's kind; the per-character run needs none.
constexpr std::pair<std::string_view, RunKind> kRunKindOptions[] = {
    {"--words", RunKind::ByWords},
    {"--names", RunKind::ByNames},
};

// The options that choose what is written, and in which encoding.
struct OutputChoice {
    OutputText text;
    TextEncoding encoding;
};
constexpr std::pair<std::string_view, OutputChoice> kOutputOptions[] = {
    {"--preview", {OutputText::Preview, TextEncoding::Utf8}},
    {"--sjis", {OutputText::JapaneseCode, TextEncoding::Gbk}},
};

// The value `name` stands for in `options`, when it is one of them.
template <typename Value, std::size_t N>
std::optional<Value> Chosen(const std::pair<std::string_view, Value> (&options)[N],
                            std::string_view name) {
    for (const auto& [option, value] : options) {
        if (name == option) {
            return value;
        }
    }
    return std::nullopt;
}

// Options that choose among one set of values: giving another one of them than before is an
// error that names both.
void ChooseOnce(std::optional<std::string_view>& chosenBy, std::string_view name) {
    if (chosenBy && *chosenBy != name) {
        throw UsageError{std::string(*chosenBy) + " and " + std::string(name) +
                         " cannot be combined"};
    }
    chosenBy = name;
}

// UTF-16 without a byte order is read in the order the input's byte order mark gives.
constexpr std::string_view kUtf16ByMark = "utf-16";

AskedEncoding EncodingNamed(std::string_view name) {
    const auto sameLetter = [](char given, char known) {
        return std::tolower(static_cast<unsigned char>(given)) == known;
    };
    if (std::ranges::equal(name, kUtf16ByMark, sameLetter)) {
        return {TextEncoding::Utf16Le, true};
    }
    if (const std::optional<TextEncoding> encoding = EncodingByName(name)) {
        return {*encoding};
    }
    throw UsageError{"unknown encoding " + std::string(name) +
                     " (use utf-8, gbk, cp936, gb2312, gb18030, utf-16, utf-16le, utf-16be or "
                     "shift-jis)"};
}

// The reverse run reads the game's text one way and writes Chinese or, with --preview, the
// Japanese text: the options of the forward run's choices have no meaning there.
void CheckReverseOptions(const Options& options, std::optional<std::string_view> kindOption,
                         std::optional<std::string_view> outputOption) {
    if (options.japaneseText && !options.reverse) {
        throw UsageError{"--japanese is for --reverse"};
    }
    if (!options.reverse) {
        return;
    }
    for (const std::optional<std::string_view> other :
         {kindOption, outputOption == "--preview" ? std::nullopt : outputOption,
          options.candidates ? std::optional<std::string_view>("--candidates") : std::nullopt,
          options.kanji == KanjiSet::JisX0208 ? std::optional<std::string_view>("--jis-x0208")
                                              : std::nullopt}) {
        if (other) {
            throw UsageError{"--reverse and " + std::string(*other) + " cannot be combined"};
        }
    }
}

} // namespace

std::string_view UsageText() {
    return kUsage;
}

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    std::optional<std::filesystem::path> inputPath;
    std::optional<std::string_view> kindOption;
    std::optional<std::string_view> outputOption;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool option = !optionsEnded && argument.size() > 1 && argument.front() == '-';
        const Argument split = Split(argument);
        const std::string_view name = split.name;
        const bool takesValue = name == "--tables" || name == "--from";
        if (option && split.value && !takesValue) {
            throw UsageError{std::string(name) + " takes no value"};
        }
        if (option && argument == "--") {
            optionsEnded = true;
        } else if (option && (name == "--help" || name == "-h")) {
            options.help = true;
        } else if (option && name == "--version") {
            options.version = true;
        } else if (const std::optional<OutputChoice> output =
                       option ? Chosen(kOutputOptions, name) : std::nullopt) {
            ChooseOnce(outputOption, name);
            options.text = output->text;
            options.outputEncoding = output->encoding;
        } else if (const std::optional<RunKind> kind =
                       option ? Chosen(kRunKindOptions, name) : std::nullopt) {
            ChooseOnce(kindOption, name);
            options.kind = *kind;
        } else if (option && name == "--candidates") {
            options.candidates = true;
        } else if (option && name == "--reverse") {
            options.reverse = true;
        } else if (option && name == "--japanese") {
            options.japaneseText = true;
        } else if (option && name == "--jis-x0208") {
            options.kanji = KanjiSet::JisX0208;
        } else if (option && name == "--tables") {
            const std::filesystem::path folder =
                PathFromArgument(ValueOf(split, arguments, i, "a folder"));
            if (options.tableDirectory &&
                NormalFolder(*options.tableDirectory) != NormalFolder(folder)) {
                throw UsageError{"--tables given twice with different values"};
            }
            options.tableDirectory = folder;
        } else if (option && name == "--from") {
            SetOnce(options.inputEncoding,
                    EncodingNamed(ValueOf(split, arguments, i, "an encoding")), "--from");
        } else if (option) {
            throw UsageError{"unknown option " + std::string(argument)};
        } else if (inputPath) {
            throw UsageError{"only one input file can be given"};
        } else {
            inputPath = PathFromArgument(argument);
        }
    }
    if (options.candidates && outputOption) {
        throw UsageError{"--candidates cannot be combined with --preview or --sjis"};
    }
    CheckReverseOptions(options, kindOption, outputOption);
    options.inputPath = inputPath.value_or("-");
    return options;
}

} // namespace pelmora
