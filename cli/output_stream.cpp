#include "output_stream.h"

#include "platform.h"
#include "table_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pelmora {

namespace {

constexpr std::string_view kProgramName = "pelmora-convert";

// Where the tables belong, said after a missing table's report, in both languages of our users.
constexpr std::string_view kWhereTablesBelong =
    "码表文件 pin.dat、pj.dat、jj.dat 应放在 pelmora-convert 所在的文件夹中，或用 --tables DIR "
    "指明它们所在的文件夹。The tables pin.dat, pj.dat and jj.dat must lie beside "
    "pelmora-convert, or in the folder given with --tables DIR.";

bool IsMissingTable(const ErrorInfo& error) {
    const std::filesystem::path name = error.file.filename();
    return error.number == static_cast<int>(ErrorNumber::FileNotFound) &&
           (name == kKeyTableName || name == kJapaneseCodeTableName || name == kPreviewTableName);
}

} // namespace

void TellUser(std::string_view message) {
    WriteStandardError(std::string(kProgramName) + ": " + std::string(message) + "\n");
}

std::string StandardErrorReport::Describe(const ErrorInfo& error) const {
    const std::string description = EnglishDescription(error);
    return IsMissingTable(error) ? description + "\r\n" + std::string(kWhereTablesBelong)
                                 : description;
}

void StandardErrorReport::Show(std::string_view title, std::string_view text) {
    std::string lines(title);
    lines += '\n';
    for (const char character : text) {
        if (character != '\r') {
            lines += character;
        }
    }
    lines += '\n';
    WriteStandardError(lines);
    ++m_shown;
}

StandardOutputSink::StandardOutputSink(TextEncoding encoding, TextEncoding shownAs)
    : m_encoder(encoding) {
    UseBinaryStandardOutput(shownAs);
}

void StandardOutputSink::StopUnencodable() {
    Flush();
    m_stopped = m_unencodable = true;
}

void StandardOutputSink::AppendBytes(std::string_view utf8) {
    while (!m_stopped && !utf8.empty()) {
        const std::size_t part = std::min(utf8.size(), kBufferBytes - m_used);
        std::copy_n(utf8.data(), part, m_bytes.data() + m_used);
        m_used += part;
        utf8.remove_prefix(part);
        if (m_used >= kBufferBytes) {
            Flush();
        }
    }
}

bool StandardOutputSink::SendNow() {
    Flush();
    if (!m_stopped && !FlushStandardOutput()) {
        m_stopped = true;
        m_writeError = errno;
    }
    return !m_stopped;
}

bool StandardOutputSink::Finish() {
    Flush();
    if (!m_stopped && !FlushStandardOutput()) {
        m_stopped = true;
        m_writeError = errno;
    }
    if (m_unencodable) {
        TellUser("the output holds characters that code page 936 cannot write");
    } else if (m_stopped) {
        TellUser(std::string("cannot write the output: ") + std::strerror(m_writeError));
    }
    return !m_stopped;
}

void StandardOutputSink::Flush() {
    if (!m_stopped && m_used > 0 &&
        !WriteStandardOutput(std::string_view(m_bytes.data(), m_used))) {
        m_stopped = true;
        m_writeError = errno;
    }
    m_used = 0;
}

bool WriteOutput(std::string_view bytes) {
    UseBinaryStandardOutput(TextEncoding::Utf8);
    const bool written = WriteStandardOutput(bytes) && FlushStandardOutput();
    if (!written) {
        TellUser(std::string("cannot write the output: ") + std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace pelmora
