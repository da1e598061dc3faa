#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora::fuzz {

/// What stands in a table's place: a file with some bytes, nothing at all, or a directory.
struct TableContents {
    enum class Kind { File, Missing, Directory };
    Kind kind = Kind::File;
    std::string bytes;
};

/// One fuzz case: pin.dat, pj.dat, jj.dat, words.dat and candidates.dat (in that order) and
/// the input text.
struct FuzzCase {
    std::array<TableContents, 5> tables;
    std::string text;
};

/// Length values that stand for something other than a file of that many bytes.
inline constexpr std::uint16_t kMissingTable = 0xFFFF;
inline constexpr std::uint16_t kDirectoryTable = 0xFFFE;

/// Splits fuzz input: five times a 2-byte little-endian length and that many table bytes (cut
/// short where the input ends; 0xFFFF = no such file, 0xFFFE = a directory), then the text.
FuzzCase SplitFuzzInput(std::string_view data);

} // namespace pelmora::fuzz
