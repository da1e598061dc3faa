#include "error_descriptions.h"

#include "char_tables.h"
#include "runtime_error.h"
#include "temporary_folder.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace pelmora {

namespace {

std::optional<std::string_view> ChineseWording(int number) {
    switch (static_cast<ErrorNumber>(number)) {
    case ErrorNumber::Overflow:
        return "溢出";
    case ErrorNumber::OutOfMemory:
        return "内存不足";
    case ErrorNumber::InternalError:
        return "内部错误";
    case ErrorNumber::BadFileNameOrNumber:
        return "文件名或文件号错误";
    case ErrorNumber::FileNotFound:
        return "文件未找到";
    case ErrorNumber::DeviceIOError:
        return "设备输入输出错误";
    case ErrorNumber::InputPastEndOfFile:
        return "输入超出文件尾";
    case ErrorNumber::BadRecordNumber:
        return "记录号错误";
    case ErrorNumber::TooManyFiles:
        return "打开的文件太多";
    case ErrorNumber::PermissionDenied:
        return "没有权限";
    case ErrorNumber::PathFileAccessError:
        return "路径或文件访问错误";
    case ErrorNumber::InvalidFileFormat:
        return "文件格式无效";
    }
    return std::nullopt;
}

// A path as the engine gives it, split at its last separator; both separators count, so a
// Windows path splits the same way on every system.
struct SplitPath {
    std::string folder;
    std::string name;
};

SplitPath Split(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    if (separator == std::string::npos) {
        return {{}, path};
    }
    return {path.substr(0, separator == 0 ? 1 : separator), path.substr(separator + 1)};
}

bool IsTableName(std::string_view name) {
    return name == kKeyTableName || name == kJapaneseCodeTableName || name == kPreviewTableName;
}

// The folder goes on a line of its own: a message box breaks a long path wherever the line
// ends, mid-name, when it follows the sentence.
std::string OnItsOwnLine(const std::string& folder) {
    return "\r\n" + folder;
}

std::string TablesBelongIn(const std::string& folder) {
    return std::string(kKeyTableName) + "、" + kJapaneseCodeTableName + "、" + kPreviewTableName +
           " 三个码表文件应放在本程序所在的文件夹中：" + OnItsOwnLine(folder);
}

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// A program opened straight from its zip runs from a temporary folder that holds the program
// alone: none of the tables came with it.
bool RunsUnextracted(const std::string& folder) {
    const std::filesystem::path path = PathOf(folder);
    if (!IsTemporaryFolder(path)) {
        return false;
    }
    std::error_code error;
    for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        if (std::filesystem::exists(path / table, error) || error) {
            return false;
        }
    }
    return true;
}

// A record pair that breaks the tables' promise: its Japanese code would show a game another
// kanji than its preview.
std::string DamagedPairDescription(const ErrorInfo& error, std::string_view wording,
                                   const SplitPath& table) {
    const std::string paired =
        error.pairedFile.empty() ? std::string() : " 和 " + Split(PathText(error.pairedFile)).name;
    return "码表文件 " + table.name + paired + " 的第 " + std::to_string(*error.record) +
           " 条记录损坏（" + std::string(wording) +
           "：日文编码不是预览的汉字）。请重新复制完整的码表；" + TablesBelongIn(table.folder);
}

// A table that cannot serve a conversion as it stands: what is wrong with it, and the remedy.
std::optional<std::string> DamagedTableDescription(const ErrorInfo& error, std::string_view wording,
                                                   const SplitPath& table) {
    const std::string named = "码表文件 " + table.name;
    const std::string remedy = "。请重新复制完整的码表；" + TablesBelongIn(table.folder);
    const std::string invalid = "（" + std::string(wording) + "）";
    switch (error.damage) {
    case TableDamage::Empty:
        return named + " 是空的" + invalid + remedy;
    case TableDamage::PartRecord:
        return named + " 的长度不是整数条记录" + invalid + "，多半没有复制完整" + remedy;
    case TableDamage::LengthsDiffer:
        return named + " 的记录数与另外两个码表不同" + invalid +
               "，多半没有复制完整，或混用了不同版本的码表" + remedy;
    case TableDamage::KeysOutOfOrder:
        return named + " 的第 " + std::to_string(error.record.value_or(0)) + " 条记录损坏（" +
               std::string(wording) + "：没有按编码从小到大排列）" + remedy;
    case TableDamage::RecordPair:
        return DamagedPairDescription(error, wording, table);
    case TableDamage::Unknown:
        break;
    }
    return std::nullopt;
}

std::string TableDescription(const ErrorInfo& error, std::string_view wording,
                             const SplitPath& table) {
    const std::string named = "码表文件 " + table.name;
    const auto number = static_cast<ErrorNumber>(error.number);
    if (std::optional<std::string> damaged = DamagedTableDescription(error, wording, table)) {
        return *std::move(damaged);
    }
    switch (number) {
    case ErrorNumber::FileNotFound:
        if (RunsUnextracted(table.folder)) {
            return "找不到" + named +
                   "。本程序正在临时文件夹中运行，多半是直接从压缩包里打开的，码表文件没有一起"
                   "解压出来。请先把整个压缩包解压到一个文件夹中，再运行解压出来的程序。"
                   "本程序现在所在的文件夹：" +
                   OnItsOwnLine(table.folder);
        }
        return "找不到" + named + "。" + TablesBelongIn(table.folder);
    case ErrorNumber::InputPastEndOfFile:
        // A conversion checks the tables' lengths when it opens them, so a table can only end
        // early when it shrinks while it is read.
        return named + " 不完整（" + std::string(wording) +
               "），在读取时被截短。请重新复制完整的码表；" + TablesBelongIn(table.folder);
    default:
        return "无法读取" + named + "（" + std::string(wording) +
               "）。请确认它是能够读取的普通文件；" + TablesBelongIn(table.folder);
    }
}

} // namespace

std::string ChineseErrorDescription(const ErrorInfo& error) {
    const std::optional<std::string_view> wording = ChineseWording(error.number);
    if (!wording) {
        return EnglishDescription(error);
    }
    if (!error.file.empty()) {
        const std::string path = PathText(error.file);
        const SplitPath file = Split(path);
        if (IsTableName(file.name)) {
            return TableDescription(error, *wording, file);
        }
        const std::string record =
            error.record ? "（第 " + std::to_string(*error.record) + " 条记录）" : std::string();
        return std::string(*wording) + "：" + path + record;
    }
    return error.detail.empty() ? std::string(*wording)
                                : std::string(*wording) + "：" + error.detail;
}

} // namespace pelmora
