#include "input_text.h"

#include "code_page.h"
#include "output_stream.h"
#include "platform.h"
#include "utf8.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pelmora {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeByteOrderMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeByteOrderMark = "\xFE\xFF";

bool StartsWith(std::string_view bytes, std::string_view start) {
    return bytes.substr(0, start.size()) == start;
}

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The byte order mark that begins text of `encoding`, if it has one.
std::string_view ByteOrderMarkOf(InputEncoding encoding) {
    switch (encoding) {
    case InputEncoding::Utf8:
        return kUtf8ByteOrderMark;
    case InputEncoding::Utf16Le:
        return kUtf16LeByteOrderMark;
    case InputEncoding::Utf16Be:
        return kUtf16BeByteOrderMark;
    case InputEncoding::Gbk:
        break;
    }
    return {};
}

InputEncoding RecognisedEncoding(std::string_view bytes) {
    if (StartsWith(bytes, kUtf16LeByteOrderMark)) {
        return InputEncoding::Utf16Le;
    }
    if (StartsWith(bytes, kUtf16BeByteOrderMark)) {
        return InputEncoding::Utf16Be;
    }
    return InputEncoding::Utf8;
}

// Appends the code page 936 character that starts at `at`; false when the bytes there are no
// character of the code page (a lead byte without a valid trail byte, or an unassigned pair).
bool AppendCodePage936Character(std::string_view bytes, std::size_t& at, std::string& utf8) {
    const auto first = static_cast<std::uint8_t>(bytes[at]);
    if (first < 0x80) {
        utf8.push_back(static_cast<char>(first));
        ++at;
        return true;
    }
    Record record{first, 0};
    std::size_t length = 1;
    if (IsLeadByte(first)) {
        if (at + 1 == bytes.size()) {
            return false;
        }
        record.second = static_cast<std::uint8_t>(bytes[at + 1]);
        length = 2;
    }
    const char32_t character = RecordCharacter(record);
    // RecordCharacter shows bytes that are no character as the placeholder; the placeholder's
    // own bytes are the one pair that truly stands for it.
    const bool placeholderItself = record.first == 0xA1 && record.second == 0xF5;
    if (character == kPlaceholder && !placeholderItself) {
        return false;
    }
    AppendUtf8(character, utf8);
    at += length;
    return true;
}

void DecodeCodePage936(std::string_view bytes, DecodedInput& decoded) {
    decoded.text.reserve(bytes.size() * 3 / 2);
    for (std::size_t at = 0; at < bytes.size();) {
        if (!AppendCodePage936Character(bytes, at, decoded.text)) {
            decoded.invalidAt = at;
            return;
        }
    }
}

char16_t Utf16Unit(std::string_view bytes, std::size_t at, bool bigEndian) {
    const auto first = static_cast<std::uint8_t>(bytes[at]);
    const auto second = static_cast<std::uint8_t>(bytes[at + 1]);
    return static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
}

void DecodeUtf16(std::string_view bytes, std::size_t start, bool bigEndian, DecodedInput& decoded) {
    decoded.text.reserve(bytes.size() * 3 / 2);
    for (std::size_t at = start; at < bytes.size();) {
        if (bytes.size() - at < 2) {
            decoded.invalidAt = at;
            return;
        }
        const char16_t unit = Utf16Unit(bytes, at, bigEndian);
        char32_t character = unit;
        std::size_t length = 2;
        if (unit >= 0xD800 && unit <= 0xDBFF && bytes.size() - at >= 4) {
            const char16_t low = Utf16Unit(bytes, at + 2, bigEndian);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                character = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                length = 4;
            }
        }
        if (character >= 0xD800 && character <= 0xDFFF) {
            decoded.invalidAt = at;
            return;
        }
        AppendUtf8(character, decoded.text);
        at += length;
    }
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

} // namespace

std::optional<InputEncoding> EncodingByName(std::string_view name) {
    const std::string lower = Lowercase(name);
    if (lower == "utf-8") {
        return InputEncoding::Utf8;
    }
    if (lower == "gbk" || lower == "cp936" || lower == "gb2312") {
        return InputEncoding::Gbk;
    }
    if (lower == "utf-16le") {
        return InputEncoding::Utf16Le;
    }
    if (lower == "utf-16be") {
        return InputEncoding::Utf16Be;
    }
    return std::nullopt;
}

std::string_view EncodingDisplayName(InputEncoding encoding) {
    switch (encoding) {
    case InputEncoding::Utf8:
        return "UTF-8";
    case InputEncoding::Gbk:
        return "GBK";
    case InputEncoding::Utf16Le:
        return "UTF-16LE";
    case InputEncoding::Utf16Be:
        return "UTF-16BE";
    }
    return "?";
}

DecodedInput DecodeInput(std::string bytes, std::optional<InputEncoding> asked) {
    DecodedInput decoded;
    decoded.encoding = asked.value_or(RecognisedEncoding(bytes));
    const std::string_view mark = ByteOrderMarkOf(decoded.encoding);
    const std::size_t start = !mark.empty() && StartsWith(bytes, mark) ? mark.size() : 0;
    const std::string_view view = bytes;
    switch (decoded.encoding) {
    case InputEncoding::Utf8:
        if (const std::optional<std::size_t> invalid = FindInvalidUtf8(view.substr(start))) {
            decoded.invalidAt = start + *invalid;
        } else {
            bytes.erase(0, start);
            decoded.text = std::move(bytes);
        }
        break;
    case InputEncoding::Gbk:
        DecodeCodePage936(view, decoded);
        break;
    case InputEncoding::Utf16Le:
    case InputEncoding::Utf16Be:
        DecodeUtf16(view, start, decoded.encoding == InputEncoding::Utf16Be, decoded);
        break;
    }
    if (decoded.invalidAt) {
        decoded.text = std::move(bytes);
    }
    return decoded;
}

std::string InvalidInputMessage(const DecodedInput& decoded) {
    std::string message = "the input is not valid " +
                          std::string(EncodingDisplayName(decoded.encoding)) + " (byte offset " +
                          std::to_string(decoded.invalidAt.value_or(0)) + ")";
    if (decoded.encoding == InputEncoding::Utf8 &&
        !DecodeInput(decoded.text, InputEncoding::Gbk).invalidAt) {
        message += "; it reads as GBK, so try --from gbk";
    }
    return message;
}

std::optional<std::string> ReadInputBytes(const std::filesystem::path& path) {
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? OpenStandardInput() : OpenForReading(path);
    const std::string name = standardInput ? "standard input" : DisplayPath(path);
    if (file == nullptr) {
        // Some systems refuse to open a directory at all, others only to read it: either way
        // it is input that cannot be read.
        const int openError = errno;
        TellUser((openError == EISDIR ? "cannot read " : "cannot open ") + name + ": " +
                 std::strerror(openError));
        return std::nullopt;
    }
    if (standardInput && StandardInputIsTerminal()) {
        TellUser("reading from the terminal until " + std::string(EndOfInputKeys()) +
                 " (or give a FILE to convert)");
    }
    std::string bytes;
    const bool complete = ReadAll(file, bytes);
    const int readError = errno;
    if (!standardInput) {
        std::fclose(file);
    }
    if (!complete) {
        TellUser("cannot read " + name + ": " + std::strerror(readError));
        return std::nullopt;
    }
    return bytes;
}

} // namespace pelmora
