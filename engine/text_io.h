#pragma once

#include <string_view>

// The seams through which a conversion reads its input and writes its two outputs; each front
// end plugs in its own (a text box, a file, standard output).
namespace pelmora {

/// Where a conversion reads its input text from (the window's input box, a file, a stream).
class TextSource {
public:
    virtual ~TextSource() = default;
    /// The next piece of the text as UTF-8; an empty view once the text has ended. A piece
    /// ends between two characters (a source never splits a UTF-8 sequence); the view stays
    /// valid until the next call. Bytes that are not UTF-8 are walked as one unrepresentable
    /// character each.
    virtual std::string_view NextPiece() = 0;
};

/// Where a conversion writes one of its two output texts. A conversion empties it once and then
/// only appends, one character per input character.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void Clear() = 0;
    virtual void Append(char32_t character) = 0;
};

} // namespace pelmora
