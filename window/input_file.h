#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace pelmora {

/// The title of the message that says why a file given to the window cannot be opened.
inline constexpr char kInputFileTitle[] = "Pelmora";

/// A file given to the window program (`pelmora FILE`) as it goes into the input box: its text,
/// or why there is none.
struct InputFile {
    /// The text, with every line break as CR LF, which each toolkit's box reads as one break.
    std::optional<std::string> text;
    /// Why the file cannot be opened, in Chinese, with its path: it cannot be read (missing, a
    /// folder, no permission), it is too large for the box, or it is no text in the encoding it
    /// is read in (then also the encoding it reads as, if one does).
    std::string failure;
};

/// Reads the file at `path` as pelmora-convert reads its input without --from: in the encoding
/// its byte order mark names, UTF-8 without one.
InputFile ReadInputFile(const std::filesystem::path& path);

} // namespace pelmora
