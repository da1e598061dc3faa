#include "input_file.h"

#include "encoding_hint.h"
#include "error_descriptions.h"
#include "runtime_error.h"
#include "stream_decoder.h"
#include "table_file_access.h"

#include <cstdint>

namespace pelmora {

namespace {

// Larger than anyone types or pastes; a larger file would hold up the window for minutes.
constexpr std::int64_t kLargestInputFile = std::int64_t{16} * 1024 * 1024;

constexpr std::string_view kCannotOpen = "无法打开要转换的文件";

std::string WithLineBreaksForTheBox(std::string_view utf8) {
    std::string text;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        if (utf8[at] == '\r' || utf8[at] == '\n') {
            text += "\r\n";
            at += utf8[at] == '\r' && at + 1 < utf8.size() && utf8[at + 1] == '\n' ? 1 : 0;
        } else {
            text += utf8[at];
        }
    }
    return text;
}

// The bytes of the file, or nothing after putting why into `failure`.
std::optional<std::string> ReadBytes(const std::filesystem::path& path, std::string& failure) {
    try {
        const ReadOnlyFile file(path);
        const std::int64_t length = file.RegularFileLength();
        if (length > kLargestInputFile) {
            failure = std::string(kCannotOpen) + "：它太大了（超过 16 MB），输入框放不下。\r\n" +
                      PathText(path);
            return std::nullopt;
        }
        std::string bytes(static_cast<std::size_t>(length), '\0');
        bytes.resize(file.ReadAt(0, bytes.data(), bytes.size()));
        return bytes;
    } catch (const RuntimeError& error) {
        failure = std::string(kCannotOpen) + "。\r\n" + ChineseErrorDescription(error.Facts());
        return std::nullopt;
    }
}

// A text read as UTF-8 that reads as another encoding is best saved again in UTF-8, which the
// window reads, or converted by pelmora-convert, which reads the other encoding.
std::string SaveAgainHint(std::string_view bytes, const DecodedText& decoded) {
    const std::optional<TextEncoding> likely = decoded.encoding == TextEncoding::Utf8
                                                   ? LikelyEncoding(bytes, *decoded.invalidAt, true)
                                                   : std::nullopt;
    if (!likely) {
        return "";
    }
    const std::string name(EncodingDisplayName(*likely));
    return "\r\n它看起来是 " + name +
           " 编码的文本：请把它另存为 UTF-8 编码后再打开，或用 "
           "pelmora-convert --from " +
           std::string(EncodingName(*likely)) + " 转换它。";
}

} // namespace

InputFile ReadInputFile(const std::filesystem::path& path) {
    InputFile file;
    const std::optional<std::string> bytes = ReadBytes(path, file.failure);
    if (!bytes) {
        return file;
    }
    const DecodedText decoded = DecodeWholeText(*bytes);
    if (decoded.invalidAt) {
        file.failure = std::string(kCannotOpen) + "：它不是有效的 " +
                       std::string(EncodingDisplayName(decoded.encoding)) + " 文本（字节偏移 " +
                       std::to_string(*decoded.invalidAt) + "：" + HexBytes(decoded.invalidBytes) +
                       "）。\r\n" + PathText(path) + SaveAgainHint(*bytes, decoded);
        return file;
    }
    file.text = WithLineBreaksForTheBox(decoded.utf8);
    return file;
}

} // namespace pelmora
