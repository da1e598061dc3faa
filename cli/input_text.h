#pragma once

#include "command_options.h"
#include "conversion.h"
#include "stream_decoder.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

/// What a user is told when input is not valid in the encoding it is read as: the encoding, the
/// byte offset and the bytes there, and, for input read as UTF-8 that reads as another encoding
/// (LikelyEncoding, judged on `readSoFar`, the stream's first bytes, `complete` when they are
/// all of it), the --from that reads it.
std::string InvalidInputMessage(TextEncoding encoding, std::uint64_t offset,
                                std::string_view badBytes, std::string_view readSoFar,
                                bool complete);

/// The input of pelmora-convert, a file or standard input, read as it comes and handed to the
/// conversion a piece at a time, so the output keeps pace with the input and memory stays
/// bounded whatever its size. A read error or a byte that is not of the input's encoding ends
/// the text there; Failure then says what happened.
class InputText final : public TextSource {
public:
    /// Opens `path` ("-" for standard input); nothing after telling the user why it cannot be.
    static std::unique_ptr<InputText> Open(const std::filesystem::path& path);
    ~InputText() override;
    InputText(const InputText&) = delete;
    InputText& operator=(const InputText&) = delete;

    /// Reads the first bytes and settles the encoding: a byte order mark decides it, `asked`
    /// otherwise, UTF-8 without either. Throws UsageError when `asked` contradicts the mark, or
    /// asks for UTF-16 by its mark and there is none. `bad` says what a byte that is not of the
    /// encoding does: end the text there (Failure then says so), or stand as U+FFFD in it.
    void Start(std::optional<AskedEncoding> asked, BadBytes bad = BadBytes::Stop);

    /// Called before every read that may have to wait for input, so that what was converted
    /// is shown first; returning false ends the input there (the output has failed).
    void BeforeWaiting(std::function<bool()> flush) { m_beforeWaiting = std::move(flush); }

    /// Called with each piece as it is handed to the conversion.
    void OnPiece(std::function<void(std::string_view)> seen) { m_onPiece = std::move(seen); }

    std::string_view NextPiece() override;

    /// Why the input ended early, as a message for the user; nothing when it was read whole.
    const std::optional<std::string>& Failure() const { return m_failure; }

private:
    InputText(std::FILE* file, std::string name, bool standardInput);
    // Reads and decodes one more piece into m_piece; false at the end.
    bool ReadMore();
    std::optional<std::size_t> Read(char* buffer, std::size_t size);
    void Failed(bool atEnd);

    std::FILE* m_file;
    std::string m_name;
    bool m_standardInput;
    std::string m_start; // the stream's first bytes, kept for the byte order mark and hints
    std::uint64_t m_read = 0;
    std::size_t m_startUnread = 0; // bytes of m_start not yet handed to the decoder
    std::optional<StreamDecoder> m_decoder;
    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_marked = false;
    bool m_ended = false;
    std::string m_buffer;
    std::string m_piece;
    std::optional<std::string> m_failure;
    std::function<bool()> m_beforeWaiting;
    std::function<void(std::string_view)> m_onPiece;
};

} // namespace pelmora
