#include "error_descriptions.h"

#include "char_tables.h"
#include "runtime_error.h"
#include "table_fixture.h"
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmora {
namespace {

const ErrorNumber kAllNumbers[] = {
    ErrorNumber::Overflow,
    ErrorNumber::OutOfMemory,
    ErrorNumber::InternalError,
    ErrorNumber::BadFileNameOrNumber,
    ErrorNumber::FileNotFound,
    ErrorNumber::DeviceIOError,
    ErrorNumber::InputPastEndOfFile,
    ErrorNumber::BadRecordNumber,
    ErrorNumber::TooManyFiles,
    ErrorNumber::PermissionDenied,
    ErrorNumber::PathFileAccessError,
    ErrorNumber::InvalidFileFormat,
};

// Folders a program may sit in, as the engine names them on either system.
const std::string kFolders[] = {
    "/opt/pelmora",
    "/home/张三/下载/pelmora 0.3",
    "C:\\Users\\张三\\下载\\pelmora 0.3",
    "/",
};

bool HasHanzi(const std::string& utf8) {
    for (const char32_t character : DecodeUtf8(utf8)) {
        if (character >= 0x4E00 && character <= 0x9FFF) {
            return true;
        }
    }
    return false;
}

ErrorInfo Failure(ErrorNumber number, const std::string& fileName) {
    return ErrorInfo(static_cast<int>(number),
                     std::filesystem::path(std::u8string(fileName.begin(), fileName.end())));
}

std::string Joined(const std::string& folder, const char* name) {
    const char separator = folder.find('\\') != std::string::npos ? '\\' : '/';
    return folder.back() == separator ? folder + name : folder + separator + name;
}

TEST(ErrorDescriptionsTest, EveryNumberIsWordedInChineseWithoutTheEnglishOne) {
    for (const ErrorNumber number : kAllNumbers) {
        for (const std::string& file : {std::string(), std::string("/tmp/other.txt")}) {
            const std::string description = ChineseErrorDescription(Failure(number, file));
            SCOPED_TRACE(description);
            EXPECT_TRUE(HasHanzi(description));
            EXPECT_EQ(description.find(StandardDescription(number)), std::string::npos);
            EXPECT_FALSE(FindInvalidUtf8(description).has_value());
            // Another file is named as it is, after the wording.
            EXPECT_EQ(description.ends_with(file), true);
        }
    }
}

// For each table, folder and failure: the description names the table, says what is wrong with
// it, names all three tables and the program's folder they belong in.
TEST(ErrorDescriptionsTest, TableFailuresNameTheTableTheFaultAndWhereTheTablesBelong) {
    for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        for (const std::string& folder : kFolders) {
            for (const ErrorNumber number : kAllNumbers) {
                const std::string description =
                    ChineseErrorDescription(Failure(number, Joined(folder, table)));
                SCOPED_TRACE(description);
                const std::string named = std::string("码表文件 ") + table;
                if (number == ErrorNumber::FileNotFound) {
                    EXPECT_EQ(description.rfind("找不到" + named, 0), 0u);
                } else if (number == ErrorNumber::InputPastEndOfFile) {
                    EXPECT_EQ(description.rfind(named + " 不完整", 0), 0u);
                } else {
                    EXPECT_EQ(description.rfind("无法读取" + named, 0), 0u);
                }
                for (const char* each :
                     {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
                    EXPECT_NE(description.find(each), std::string::npos) << each;
                }
                EXPECT_NE(description.find("本程序所在的文件夹"), std::string::npos);
                EXPECT_TRUE(description.ends_with("：\r\n" + folder));
                EXPECT_EQ(description.find(StandardDescription(number)), std::string::npos);
            }
        }
    }
}

// A damaged table, whatever the damage: named with what is wrong, the record at fault when
// there is one, and the remedy, without the English detail.
TEST(ErrorDescriptionsTest, DamagedTablesSayWhatIsWrongAndTheRemedy) {
    const std::pair<TableDamage, std::string> damages[] = {
        {TableDamage::Empty, " 是空的"},
        {TableDamage::PartRecord, " 的长度不是整数条记录"},
        {TableDamage::LengthsDiffer, " 的记录数与另外两个码表不同"},
        {TableDamage::KeysOutOfOrder, " 的第 101 条记录损坏"},
    };
    for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        for (const std::string& folder : kFolders) {
            for (const auto& [damage, said] : damages) {
                ErrorInfo error = Failure(ErrorNumber::InvalidFileFormat, Joined(folder, table));
                error.damage = damage;
                error.detail = "what is wrong, in English";
                if (damage == TableDamage::KeysOutOfOrder) {
                    error.record = 101;
                }
                const std::string description = ChineseErrorDescription(error);
                SCOPED_TRACE(description);
                EXPECT_TRUE(description.starts_with(std::string("码表文件 ") + table + said));
                EXPECT_NE(description.find("请重新复制完整的码表"), std::string::npos);
                EXPECT_TRUE(description.ends_with("：\r\n" + folder));
                EXPECT_EQ(description.find("English"), std::string::npos);
            }
        }
    }
}

// A program opened inside its zip runs from a temporary folder that holds none of its tables:
// it says to extract the whole zip. A folder that holds some of them is not such a case.
TEST(ErrorDescriptionsTest, MissingTablesInATemporaryFolderAskToExtractTheZipFirst) {
    const testing::TempDirectory temporary;
    const std::string folder = PathText(temporary.Path());
    const ErrorInfo missing =
        Failure(ErrorNumber::FileNotFound, PathText(temporary.Path() / "pin.dat"));
    const std::string unextracted = ChineseErrorDescription(missing);
    EXPECT_EQ(unextracted.rfind("找不到码表文件 pin.dat。", 0), 0u) << unextracted;
    EXPECT_NE(unextracted.find("请先把整个压缩包解压"), std::string::npos) << unextracted;
    EXPECT_TRUE(unextracted.ends_with("：\r\n" + folder)) << unextracted;

    testing::WriteFile(temporary.Path() / kPreviewTableName, "");
    const std::string misplaced = ChineseErrorDescription(missing);
    EXPECT_EQ(misplaced.find("压缩包"), std::string::npos) << misplaced;
    EXPECT_NE(misplaced.find("本程序所在的文件夹"), std::string::npos) << misplaced;
}

TEST(ErrorDescriptionsTest, DetailsRecordsAndUnknownNumbersAreKept) {
    ErrorInfo internal(51);
    internal.detail = "converter gone";
    EXPECT_EQ(ChineseErrorDescription(internal), "内部错误：converter gone");
    EXPECT_EQ(ChineseErrorDescription(ErrorInfo(7)), "内存不足");
    // A file that merely ends like a table is not one.
    EXPECT_EQ(ChineseErrorDescription(Failure(ErrorNumber::FileNotFound, "/x/mypin.dat")),
              "文件未找到：/x/mypin.dat");
    ErrorInfo damaged = Failure(ErrorNumber::InvalidFileFormat, "/x/words.dat");
    damaged.record = 12;
    EXPECT_EQ(ChineseErrorDescription(damaged), "文件格式无效：/x/words.dat（第 12 条记录）");
    for (const int unknown : {0, 1, 5, 99, 1000, -3}) {
        EXPECT_EQ(ChineseErrorDescription(ErrorInfo(unknown, "/x/pin.dat")),
                  "Application-defined or object-defined error: /x/pin.dat");
    }
}

// A record pair of pj.dat and jj.dat that breaks the tables' promise names both tables, the
// record and where the tables belong.
TEST(ErrorDescriptionsTest, ADamagedRecordPairNamesBothTablesAndTheRecord) {
    for (const std::string& folder : kFolders) {
        ErrorInfo pair = Failure(ErrorNumber::InvalidFileFormat, Joined(folder, "pj.dat"));
        pair.pairedFile = Failure(ErrorNumber::InvalidFileFormat, Joined(folder, "jj.dat")).file;
        pair.record = 3;
        pair.damage = TableDamage::RecordPair;
        pair.detail = "its Shift-JIS code is not its preview's kanji";
        const std::string description = ChineseErrorDescription(pair);
        EXPECT_EQ(description.rfind("码表文件 pj.dat 和 jj.dat 的第 3 条记录损坏", 0), 0u)
            << description;
        EXPECT_TRUE(description.ends_with("：\r\n" + folder)) << description;
        EXPECT_EQ(description.find("Shift-JIS code"), std::string::npos) << description;
    }
}

} // namespace
} // namespace pelmora
