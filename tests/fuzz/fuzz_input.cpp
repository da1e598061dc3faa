#include "fuzz_input.h"

#include <algorithm>

namespace pelmora::fuzz {

namespace {

// Takes up to `count` bytes off the front of `data`.
std::string_view Take(std::string_view& data, std::size_t count) {
    const std::string_view taken = data.substr(0, std::min(count, data.size()));
    data.remove_prefix(taken.size());
    return taken;
}

std::uint16_t TakeLength(std::string_view& data) {
    const std::string_view bytes = Take(data, 2);
    const auto byteAt = [&](std::size_t i) {
        return i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0u;
    };
    return static_cast<std::uint16_t>(byteAt(0) | byteAt(1) << 8);
}

} // namespace

FuzzCase SplitFuzzInput(std::string_view data) {
    FuzzCase fuzzCase;
    for (TableContents& table : fuzzCase.tables) {
        const std::uint16_t length = TakeLength(data);
        if (length == kMissingTable) {
            table.kind = TableContents::Kind::Missing;
        } else if (length == kDirectoryTable) {
            table.kind = TableContents::Kind::Directory;
        } else {
            table.bytes = std::string(Take(data, length));
        }
    }
    fuzzCase.text = std::string(data);
    return fuzzCase;
}

} // namespace pelmora::fuzz
