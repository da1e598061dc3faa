#pragma once

#include "conversion.h"
#include "error_report.h"
#include "stream_encoder.h"

#include <array>
#include <string>
#include <string_view>

namespace pelmora {

/// Tells the user something on standard error: "pelmora-convert: " `message`, then a line break.
void TellUser(std::string_view message);

/// Shows each report on standard error as three lines (title, ErrorNo, ErrorInfo) and counts
/// them; descriptions stay in the runtime's English wording. A missing table's report gets a
/// fourth line, in Chinese and English, that says where the tables must be.
class StandardErrorReport final : public ErrorReport {
public:
    std::string Describe(const ErrorInfo& error) const override;
    void Show(std::string_view title, std::string_view text) override;
    int Shown() const { return m_shown; }

private:
    int m_shown = 0;
};

/// Writes one output text to standard output while the conversion runs, a buffer at a time and
/// whenever the input has to be waited for, so a long input's result is never held whole and a
/// reader sees each result as soon as its input is there. The first piece that cannot be written (a
/// full disk, a broken pipe, a character code page 936 lacks) stops the output there, after what
/// was written before it.
class StandardOutputSink final : public TextSink {
public:
    /// Writes the text in `encoding`; a console shows the bytes as text in `shownAs`.
    StandardOutputSink(TextEncoding encoding, TextEncoding shownAs);
    /// The conversion empties its outputs before the first piece, when nothing is written yet.
    void Clear() override { m_used = 0; }
    // In the header, and into a plain array, so that the build can inline the per-character
    // path into the run.
    void Append(char32_t character) override {
        if (m_stopped) {
            return;
        }
        const std::size_t written = m_encoder.Write(character, m_bytes.data() + m_used);
        if (written == 0) {
            StopUnencodable();
            return;
        }
        m_used += written;
        if (m_used >= kBufferBytes) {
            Flush();
        }
    }
    /// Appends UTF-8 text as it is (the --candidates lines).
    void AppendBytes(std::string_view utf8);
    /// Sends on what was appended so far, so a reader sees it now; false once the output has
    /// failed, so there is no point converting more.
    bool SendNow();
    /// Writes what is left; false after telling the user why the output is incomplete.
    bool Finish();

private:
    static constexpr std::size_t kBufferBytes = 1 << 16;

    void Flush();
    void StopUnencodable();

    StreamEncoder m_encoder;
    // Room for one more character when full.
    std::array<char, kBufferBytes + StreamEncoder::kMostBytes> m_bytes{};
    std::size_t m_used = 0;
    bool m_stopped = false;
    bool m_unencodable = false;
    int m_writeError = 0;
};

/// The sink for the output not asked for.
class DiscardSink final : public TextSink {
public:
    void Clear() override {}
    void Append(char32_t) override {}
};

/// Writes `bytes` to standard output at once (help, version); false after telling the user why
/// they could not be written.
bool WriteOutput(std::string_view bytes);

} // namespace pelmora
