#include "fault_support.h"

#include <algorithm>
#include <random>

namespace pelmora::faults {

namespace fs = std::filesystem;

namespace {

std::string Shipped(const char* table) {
    return testing::ReadWholeFile(fs::path(PELMORA_DATA_DIR) / table);
}

// The key table with `change` done to its bytes.
std::function<void(const fs::path&)> Rewritten(std::function<void(std::string&)> change) {
    return [change](const fs::path& tables) {
        std::string keys = testing::ReadWholeFile(tables / kKeyTableName);
        change(keys);
        testing::WriteFile(tables / kKeyTableName, keys);
    };
}

std::string Records(std::size_t bytes) {
    return std::to_string(bytes / kRecordBytes) + " records";
}

} // namespace

std::string AllReports(const testing::RecordingReport& report) {
    std::string all;
    for (const auto& entry : report.Entries()) {
        all += entry.title + "|" + entry.text + "\n";
    }
    return all;
}

} // namespace pelmora::faults

namespace pelmora::faults {

void CopyShippedTables(const fs::path& directory) {
    for (const char* table : {kKeyTableName, kJapaneseCodeTableName, kPreviewTableName}) {
        testing::WriteFile(directory / table, Shipped(table));
    }
}

std::vector<KeyTableDamage> KeyTableDamages() {
    const std::size_t length = Shipped(kKeyTableName).size();
    // The last 368 bytes gone, as a download that stopped at 19,000 of 19,368 bytes lost them.
    const std::size_t cut = length - 368;
    constexpr std::int32_t kKey = 101;
    constexpr std::size_t kAt = (kKey - 1) * kRecordBytes;
    std::mt19937 random(22);
    std::vector<std::size_t> changed(50);
    for (std::size_t& at : changed) {
        at = std::uniform_int_distribution<std::size_t>(0, length - 1)(random);
    }
    const std::size_t firstChanged = *std::min_element(changed.begin(), changed.end());
    return {
        {"cut short", Rewritten([cut](std::string& keys) { keys.resize(cut); }),
         ": it holds " + Records(cut) + ", where pj.dat holds " + Records(length) + " and jj.dat " +
             Records(length),
         std::nullopt},
        {"one byte short", Rewritten([](std::string& keys) { keys.pop_back(); }),
         ": its " + std::to_string(length - 1) + " bytes are no whole number of 2-byte records",
         std::nullopt},
        {"50 random bytes changed", Rewritten([changed, random](std::string& keys) mutable {
             for (const std::size_t at : changed) {
                 keys[at] = static_cast<char>(keys[at] ^ (1 + random() % 255));
             }
         }),
         ", record ", static_cast<std::int32_t>(firstChanged / kRecordBytes + 1)},
        {"empty", Rewritten([](std::string& keys) { keys.clear(); }), ": it is empty",
         std::nullopt},
        {"swapped with pj.dat",
         [](const fs::path& tables) {
             fs::rename(tables / kKeyTableName, tables / "pin.away");
             fs::rename(tables / kJapaneseCodeTableName, tables / kKeyTableName);
             fs::rename(tables / "pin.away", tables / kJapaneseCodeTableName);
         },
         ", record ", 1},
        {"two keys out of order", Rewritten([](std::string& keys) {
             std::swap_ranges(keys.begin() + kAt - kRecordBytes, keys.begin() + kAt,
                              keys.begin() + kAt);
         }),
         ", record " + std::to_string(kKey) + ": its key is below the key before it", std::nullopt},
        {"a key repeated", Rewritten([](std::string& keys) {
             std::copy_n(keys.begin() + kAt - kRecordBytes, kRecordBytes, keys.begin() + kAt);
         }),
         ", record " + std::to_string(kKey) + ": its key repeats the key before it", std::nullopt},
    };
}

bool ReportsDamage(const std::string& report, const fs::path& keyTable,
                   const KeyTableDamage& damage) {
    const std::string number = "ErrorNo:321";
    const std::string start =
        "ErrorInfo:Invalid file format: " + keyTable.string() + damage.reported;
    const std::size_t at = report.find(start);
    if (report.find(number) == std::string::npos || at == std::string::npos) {
        return false;
    }
    if (!damage.firstTouched) {
        return true;
    }
    const std::int32_t record = std::stoi(report.substr(at + start.size()));
    return record >= *damage.firstTouched;
}

} // namespace pelmora::faults
