#include "text_encoding.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

namespace pelmora {

namespace {

constexpr std::pair<std::string_view, TextEncoding> kByteOrderMarks[] = {
    {"\xEF\xBB\xBF", TextEncoding::Utf8},
    {"\xFF\xFE", TextEncoding::Utf16Le},
    {"\xFE\xFF", TextEncoding::Utf16Be},
};

constexpr std::pair<std::string_view, TextEncoding> kNames[] = {
    {"utf-8", TextEncoding::Utf8},
    {"utf8", TextEncoding::Utf8},
    {"gbk", TextEncoding::Gbk},
    {"cp936", TextEncoding::Gbk},
    {"gb2312", TextEncoding::Gbk},
    {"gb18030", TextEncoding::Gb18030},
    {"utf-16le", TextEncoding::Utf16Le},
    {"utf-16be", TextEncoding::Utf16Be},
    {"shift-jis", TextEncoding::ShiftJis},
    {"shift_jis", TextEncoding::ShiftJis},
    {"sjis", TextEncoding::ShiftJis},
    {"cp932", TextEncoding::ShiftJis},
};

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

} // namespace

std::optional<TextEncoding> EncodingByName(std::string_view name) {
    const std::string lower = Lowercase(name);
    for (const auto& [known, encoding] : kNames) {
        if (lower == known) {
            return encoding;
        }
    }
    return std::nullopt;
}

std::string_view EncodingName(TextEncoding encoding) {
    for (const auto& [name, named] : kNames) {
        if (named == encoding) {
            return name;
        }
    }
    return EncodingDisplayName(encoding);
}

std::string_view EncodingDisplayName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Gbk:
        return "GBK";
    case TextEncoding::Gb18030:
        return "GB18030";
    case TextEncoding::Utf16Le:
        return "UTF-16LE";
    case TextEncoding::Utf16Be:
        return "UTF-16BE";
    case TextEncoding::ShiftJis:
        return "Shift-JIS";
    }
    return "?";
}

std::optional<ByteOrderMark> FindByteOrderMark(std::string_view start) {
    for (const auto& [mark, encoding] : kByteOrderMarks) {
        if (start.starts_with(mark)) {
            return ByteOrderMark{encoding, mark.size()};
        }
    }
    return std::nullopt;
}

bool CouldBeginByteOrderMark(std::string_view start) {
    return std::any_of(std::begin(kByteOrderMarks), std::end(kByteOrderMarks),
                       [&](const auto& mark) {
                           return start.size() < mark.first.size() && mark.first.starts_with(start);
                       });
}

} // namespace pelmora
