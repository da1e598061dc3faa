#include "input_text.h"

#include "encoding_hint.h"
#include "output_stream.h"
#include "platform.h"
#include "runtime_error.h"
#include "utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pelmora {

namespace {

constexpr std::size_t kReadBytes = 1 << 16;
// How much of the stream's start is kept to judge what encoding a refused input is in.
constexpr std::size_t kStartBytes = 1 << 16;

} // namespace

std::string InvalidInputMessage(TextEncoding encoding, std::uint64_t offset,
                                std::string_view badBytes, std::string_view readSoFar,
                                bool complete) {
    std::string message = "the input is not valid " + std::string(EncodingDisplayName(encoding)) +
                          " (byte offset " + std::to_string(offset) + ": " + HexBytes(badBytes) +
                          ")";
    const std::optional<TextEncoding> likely =
        encoding == TextEncoding::Utf8 ? LikelyEncoding(readSoFar, offset, complete) : std::nullopt;
    if (likely) {
        const bool utf16 = *likely == TextEncoding::Utf16Le || *likely == TextEncoding::Utf16Be;
        message += "; it reads as " + std::string(EncodingDisplayName(*likely)) +
                   (utf16 ? " without a byte order mark" : "") + ", so try --from " +
                   std::string(EncodingName(*likely));
    }
    return message;
}

std::unique_ptr<InputText> InputText::Open(const std::filesystem::path& path) {
    const bool standardInput = path == "-";
    std::FILE* file = standardInput ? OpenStandardInput() : OpenForReading(path);
    const std::string name = standardInput ? "standard input" : PathText(path);
    if (file == nullptr) {
        // Some systems refuse to open a directory at all, others only to read it: either way
        // it is input that cannot be read.
        const int openError = errno;
        TellUser((openError == EISDIR ? "cannot read " : "cannot open ") + name + ": " +
                 std::strerror(openError));
        return nullptr;
    }
    if (standardInput && StandardInputIsTerminal()) {
        TellUser("reading from the terminal until " + std::string(EndOfInputKeys()) +
                 " (or give a FILE to convert)");
    }
    return std::unique_ptr<InputText>(new InputText(file, name, standardInput));
}

InputText::InputText(std::FILE* file, std::string name, bool standardInput)
    : m_file(file), m_name(std::move(name)), m_standardInput(standardInput) {}

InputText::~InputText() {
    if (!m_standardInput) {
        std::fclose(m_file);
    }
}

std::optional<std::size_t> InputText::Read(char* buffer, std::size_t size) {
    const std::optional<std::size_t> read = ReadAvailable(m_file, buffer, size);
    if (!read) {
        m_failure = "cannot read " + m_name + ": " + std::strerror(errno);
        m_ended = true;
    }
    return read;
}

namespace {

// Whether a byte order mark for `marked` agrees with what --from asked for.
bool MarkAgrees(TextEncoding marked, const AskedEncoding& asked) {
    const bool utf16 = marked == TextEncoding::Utf16Le || marked == TextEncoding::Utf16Be;
    return asked.byteOrderByMark ? utf16 : marked == asked.encoding;
}

std::string AskedName(const AskedEncoding& asked) {
    return asked.byteOrderByMark ? "UTF-16" : std::string(EncodingDisplayName(asked.encoding));
}

} // namespace

void InputText::Start(std::optional<AskedEncoding> asked, BadBytes bad) {
    // The first read of a terminal or a pipe may bring a single byte of a byte order mark.
    char buffer[kReadBytes];
    while (CouldBeginByteOrderMark(m_start) && !m_ended) {
        const std::optional<std::size_t> read = Read(buffer, sizeof buffer);
        if (!read || *read == 0) {
            break;
        }
        m_start.append(buffer, *read);
    }
    m_read = m_start.size();
    m_startUnread = m_start.size();
    std::uint64_t skipped = 0;
    if (const std::optional<TextEncoding> console = StandardInputTextEncoding();
        console && m_standardInput) {
        m_encoding = *console;
    } else if (const std::optional<ByteOrderMark> mark = FindByteOrderMark(m_start)) {
        if (asked && !MarkAgrees(mark->encoding, *asked)) {
            throw UsageError{"the input starts with a " +
                             std::string(EncodingDisplayName(mark->encoding)) +
                             " byte order mark, but --from names " + AskedName(*asked)};
        }
        m_encoding = mark->encoding;
        m_marked = true;
        skipped = mark->length;
        m_startUnread -= mark->length;
    } else if (asked && asked->byteOrderByMark) {
        throw UsageError{"--from utf-16 reads the byte order from a byte order mark, and the "
                         "input has none; give --from utf-16le or --from utf-16be instead"};
    } else {
        m_encoding = asked ? asked->encoding : TextEncoding::Utf8;
    }
    m_decoder.emplace(m_encoding, bad, skipped);
}

void InputText::Failed(bool atEnd) {
    const std::uint64_t offset = *m_decoder->InvalidAt();
    // Judged on the stream's start, when that is all that has been read.
    const bool startHeld = m_read <= m_start.size();
    const std::string_view readSoFar = startHeld && !m_marked ? std::string_view(m_start) : "";
    m_failure =
        InvalidInputMessage(m_encoding, offset, m_decoder->InvalidBytes(), readSoFar, atEnd);
    m_ended = true;
}

bool InputText::ReadMore() {
    if (m_ended) {
        return false;
    }
    std::string_view bytes;
    if (m_startUnread > 0) {
        bytes = std::string_view(m_start).substr(m_start.size() - m_startUnread);
        m_startUnread = 0;
    } else {
        if (m_beforeWaiting && !m_beforeWaiting()) {
            m_ended = true;
            return false;
        }
        m_buffer.resize(kReadBytes);
        const std::optional<std::size_t> read = Read(m_buffer.data(), m_buffer.size());
        if (!read) {
            return false;
        }
        if (*read == 0) {
            m_ended = true;
            if (!m_decoder->Finish(m_piece)) {
                Failed(true);
            }
            return false;
        }
        bytes = std::string_view(m_buffer).substr(0, *read);
        if (m_start.size() < kStartBytes) {
            m_start.append(bytes.substr(0, kStartBytes - m_start.size()));
        }
        m_read += *read;
    }
    if (!m_decoder->Decode(bytes, m_piece)) {
        Failed(false);
    }
    return true;
}

std::string_view InputText::NextPiece() {
    m_piece.clear();
    while (m_piece.empty() && ReadMore()) {
    }
    if (m_onPiece && !m_piece.empty()) {
        m_onPiece(m_piece);
    }
    return m_piece;
}

} // namespace pelmora
