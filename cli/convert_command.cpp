#include "convert_command.h"

#include "conversion.h"
#include "program_directory.h"
#include "utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pelmora {

namespace {

constexpr std::string_view kProgramName = "pelmora-convert";

constexpr std::string_view kUsage =
    "Usage: pelmora-convert [--tables DIR] [--preview | --sjis] [FILE]\n"
    "Turns Simplified Chinese text (UTF-8, from FILE or standard input) into the Japanese\n"
    "code text: each character becomes the GBK character whose two bytes are the Shift-JIS\n"
    "code of its Japanese kanji. The result goes to standard output with nothing added.\n"
    "\n"
    "  --tables DIR  read pin.dat, pj.dat and jj.dat from DIR (default: beside the program)\n"
    "  --preview     write the preview text (the kanji's Japanese form) instead\n"
    "  --sjis        write the Japanese code text as code page 936 bytes, which are the\n"
    "                Shift-JIS bytes a Japanese program reads\n"
    "  --help        show this help and exit\n"
    "  --version     show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when an error report was shown or the output could not be\n"
    "written, 2 for a usage error or input that is not readable UTF-8.\n";

enum class OutputForm { JapaneseCode, Preview, ShiftJisBytes };

struct Options {
    std::optional<std::filesystem::path> tableDirectory;
    OutputForm form = OutputForm::JapaneseCode;
    std::string inputPath = "-";
    bool help = false;
    bool version = false;
};

struct UsageError {
    std::string message;
};

void WriteError(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

void SetForm(Options& options, OutputForm form, bool& formGiven) {
    if (formGiven) {
        throw UsageError{"--preview and --sjis cannot be combined"};
    }
    options.form = form;
    formGiven = true;
}

Options ParseOptions(const std::vector<std::string_view>& arguments) {
    Options options;
    bool formGiven = false;
    bool fileGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--help") {
            options.help = true;
        } else if (!optionsEnded && argument == "--version") {
            options.version = true;
        } else if (!optionsEnded && argument == "--preview") {
            SetForm(options, OutputForm::Preview, formGiven);
        } else if (!optionsEnded && argument == "--sjis") {
            SetForm(options, OutputForm::ShiftJisBytes, formGiven);
        } else if (!optionsEnded && argument == "--tables") {
            if (i + 1 == arguments.size()) {
                throw UsageError{"--tables needs a directory"};
            }
            options.tableDirectory = std::filesystem::path(arguments[++i]);
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            throw UsageError{"unknown option " + std::string(argument)};
        } else if (fileGiven) {
            throw UsageError{"only one input file can be given"};
        } else {
            options.inputPath = std::string(argument);
            fileGiven = true;
        }
    }
    return options;
}

// The size of `file` when it is a regular file, so its bytes can be read into one allocation.
std::optional<std::size_t> RegularFileSize(std::FILE* file) {
#ifdef _WIN32
    struct _stat64 info {};
    if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        return std::nullopt;
    }
#else
    struct stat info {};
    if (::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
#endif
    return static_cast<std::size_t>(info.st_size);
}

// Reads all of `file`; false when a read fails.
bool ReadAll(std::FILE* file, std::string& bytes) {
    if (const std::optional<std::size_t> size = RegularFileSize(file)) {
        bytes.reserve(*size + 1); // the one byte over lets the last read find the end in place
    }
    char buffer[1 << 16];
    for (;;) {
        const std::size_t read = std::fread(buffer, 1, sizeof buffer, file);
        bytes.append(buffer, read);
        if (read < sizeof buffer) {
            return std::ferror(file) == 0;
        }
    }
}

// The input bytes, or nothing after telling the user why they could not be read.
std::optional<std::string> ReadInput(const std::string& path) {
    std::string bytes;
    if (path == "-") {
#ifdef _WIN32
        _setmode(_fileno(stdin), _O_BINARY);
#endif
        if (!ReadAll(stdin, bytes)) {
            WriteError(std::string(kProgramName) +
                       ": cannot read standard input: " + std::strerror(errno) + "\n");
            return std::nullopt;
        }
        return bytes;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        WriteError(std::string(kProgramName) + ": cannot open " + path + ": " +
                   std::strerror(errno) + "\n");
        return std::nullopt;
    }
    const bool complete = ReadAll(file, bytes);
    const int readError = errno;
    std::fclose(file);
    if (!complete) {
        WriteError(std::string(kProgramName) + ": cannot read " + path + ": " +
                   std::strerror(readError) + "\n");
        return std::nullopt;
    }
    return bytes;
}

// Shows each report on standard error as three lines and counts them.
class StandardErrorReport final : public ErrorReport {
public:
    void Show(std::string_view title, std::string_view text) override {
        std::string lines(title);
        lines += '\n';
        for (const char character : text) {
            if (character != '\r') {
                lines += character;
            }
        }
        lines += '\n';
        WriteError(lines);
        ++m_shown;
    }
    int Shown() const { return m_shown; }

private:
    int m_shown = 0;
};

// Writes one output text to standard output while the conversion runs, a buffer at a time, so
// a long input's result is never held whole. The first piece that cannot be written (a full
// disk, a broken pipe, a character code page 936 lacks) stops the output there, after what
// was written before it.
class StandardOutputSink final : public TextSink {
public:
    explicit StandardOutputSink(bool codePage936) : m_codePage936(codePage936) {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    }
    // The conversion empties its outputs before the first piece, when nothing is written yet.
    void Clear() override {
        m_buffer.clear();
    }
    void Append(char32_t character) override {
        if (m_stopped) {
            return;
        }
        if (!m_codePage936) {
            AppendUtf8(character, m_buffer);
        } else if (!AppendCodePage936(character, m_buffer)) {
            Flush();
            m_stopped = m_unencodable = true;
            return;
        }
        if (m_buffer.size() >= kBufferBytes) {
            Flush();
        }
    }
    // Writes what is left; false after telling the user why the output is incomplete.
    bool Finish() {
        Flush();
        if (!m_stopped && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
            m_stopped = true;
            m_writeError = errno;
        }
        if (m_unencodable) {
            WriteError(std::string(kProgramName) +
                       ": the output holds characters that code page 936 cannot write\n");
        } else if (m_stopped) {
            WriteError(std::string(kProgramName) +
                       ": cannot write the output: " + std::strerror(m_writeError) + "\n");
        }
        return !m_stopped;
    }

private:
    static constexpr std::size_t kBufferBytes = 1 << 16;

    void Flush() {
        if (!m_stopped && !m_buffer.empty() &&
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout) != m_buffer.size()) {
            m_stopped = true;
            m_writeError = errno;
        }
        m_buffer.clear();
    }

    bool m_codePage936;
    std::string m_buffer;
    bool m_stopped = false;
    bool m_unencodable = false;
    int m_writeError = 0;
};

// The sink for the output not asked for.
class DiscardSink final : public TextSink {
public:
    void Clear() override {}
    void Append(char32_t) override {}
};

bool WriteOutput(std::string_view bytes) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    if (std::fflush(stdout) != 0 || !written || std::ferror(stdout)) {
        WriteError(std::string(kProgramName) +
                   ": cannot write the output: " + std::strerror(errno) + "\n");
        return false;
    }
    return true;
}

// False when the program was started with standard output closed. Checked before anything is
// opened, because the next file opened would take its place, and because an empty result
// written nowhere must not pass for success.
bool StandardOutputIsOpen() {
#ifdef _WIN32
    return _get_osfhandle(_fileno(stdout)) >= 0;
#else
    return ::fcntl(STDOUT_FILENO, F_GETFD) != -1;
#endif
}

int Convert(const Options& options) {
    std::optional<std::string> input = ReadInput(options.inputPath);
    if (!input) {
        return kExitUsage;
    }
    if (const std::optional<std::size_t> invalid = FindInvalidUtf8(*input)) {
        WriteError(std::string(kProgramName) + ": the input is not valid UTF-8 (byte offset " +
                   std::to_string(*invalid) + ")\n");
        return kExitUsage;
    }
    StringSource source(std::move(*input));
    StandardOutputSink output(options.form == OutputForm::ShiftJisBytes);
    DiscardSink unused;
    const bool previewAsked = options.form == OutputForm::Preview;
    TablePaths paths;
    StandardErrorReport report;
    const TableLocation location{options.tableDirectory.value_or(ProgramDirectory()),
                                 TableReading::InMemory};
    ConvertText(source, previewAsked ? static_cast<TextSink&>(unused) : output,
                previewAsked ? static_cast<TextSink&>(output) : unused, paths, location, report);
    const bool written = output.Finish();
    return written && report.Shown() == 0 ? kExitSuccess : kExitReported;
}

} // namespace

int RunConvertCommand(int argc, char** argv) {
    if (!StandardOutputIsOpen()) {
        WriteError(std::string(kProgramName) + ": standard output is closed\n");
        return kExitReported;
    }
    try {
        const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
        const Options options = ParseOptions(arguments);
        if (options.help) {
            return WriteOutput(kUsage) ? kExitSuccess : kExitReported;
        }
        if (options.version) {
            const std::string version = std::string(kProgramName) + " " +
                                        std::to_string(PELMORA_VERSION_MAJOR) + "." +
                                        std::to_string(PELMORA_VERSION_MINOR) + "." +
                                        std::to_string(PELMORA_VERSION_PATCH) + "\n";
            return WriteOutput(version) ? kExitSuccess : kExitReported;
        }
        return Convert(options);
    } catch (const UsageError& error) {
        WriteError(std::string(kProgramName) + ": " + error.message + "\n" + std::string(kUsage));
        return kExitUsage;
    } catch (const std::exception& error) {
        WriteError(std::string(kProgramName) + ": " + error.what() + "\n");
        return kExitReported;
    }
}

} // namespace pelmora
