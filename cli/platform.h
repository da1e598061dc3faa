#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "text_encoding.h"

// What differs between systems for pelmora-convert: how arguments become paths, how files and
// the standard streams are opened, and how messages reach the user. One implementation per
// platform, chosen by the build.
namespace pelmora {

/// The path an argument names. Arguments are UTF-8 on Windows (made from the wide command
/// line) and the bytes as given elsewhere.
std::filesystem::path PathFromArgument(std::string_view argument);

/// Opens a file for reading bytes; nullptr with errno set when it cannot.
std::FILE* OpenForReading(const std::filesystem::path& path);

/// Standard input, set to read bytes as they are.
std::FILE* OpenStandardInput();

/// Reads what `file` has, up to `size` bytes, waiting only while it has nothing yet (a pipe or
/// a terminal gives what was written or typed so far); 0 at its end, nothing with errno set
/// when the read fails. Standard input on a Windows console comes as the console's UTF-16 text
/// (in UTF-16LE bytes) and ends at a Ctrl+Z at the start of a line.
std::optional<std::size_t> ReadAvailable(std::FILE* file, char* buffer, std::size_t size);

/// The encoding of what ReadAvailable gives for standard input when the system, not the bytes,
/// decides it (a Windows console: UTF-16LE); nothing elsewhere.
std::optional<TextEncoding> StandardInputTextEncoding();

/// True when standard input is a terminal (a user typing, not a file or a pipe).
bool StandardInputIsTerminal();

/// The keys that end typed input on this system ("Ctrl-D").
std::string_view EndOfInputKeys();

/// False when the program was started with standard output closed.
bool StandardOutputIsOpen();

/// Sets standard output to write bytes as they are (no line-end translation). Where standard
/// output is a console, it shows them as text in `shownAs` instead: UTF-8, or Shift-JIS for
/// the code text's code page 936 bytes (--sjis), as a Japanese program reads them.
void UseBinaryStandardOutput(TextEncoding shownAs);

/// Writes `bytes` to standard output; false, with errno set, when not all could be written.
bool WriteStandardOutput(std::string_view bytes);

/// Sends what standard output holds on; false, with errno set, when it cannot.
bool FlushStandardOutput();

/// Writes UTF-8 text to standard error: as bytes, or as text on a console.
void WriteStandardError(std::string_view utf8);

} // namespace pelmora
