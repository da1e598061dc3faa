#pragma once

#include "char_tables.h"
#include "error_report.h"
#include "walk.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pelmora {

/// The character both outputs get for a line break or a punctuation mark that the conversion
/// passes through as ASCII without asking the tables; nothing for any other code.
std::optional<char32_t> FixedPiece(CharCode code);

/// The per-character run's answer for one character: a fixed piece, a space, a miss, or the
/// Japanese-code and preview records of the key that Obtain finds. Tables read into memory
/// cannot change during the run, so there each character's pieces are looked up once and then
/// remembered (characters of the Basic Multilingual Plane, whose pieces are in it too); a lookup
/// that reported a failure is not remembered, so the report shows each time as before. A record
/// pair that breaks the tables' promise (RecordsAgree) throws.
class CharacterLookup {
public:
    CharacterLookup(TableSet& tables, const TablePaths& paths, ErrorReport& report,
                    TableReading reading);

    /// The pieces of `character`, whose code is `code` (nothing when the code page cannot
    /// represent it). Inline, because the run asks for every input character.
    Pieces PiecesFor(char32_t character, std::optional<CharCode> code) {
        const bool remember = character < m_known.size();
        if (remember && m_known[character] != 0) {
            const std::uint32_t known = m_known[character];
            return {known >> 16, known & 0xFFFF};
        }
        const int shownBefore = m_report.Shown();
        const Pieces pieces = FreshPiecesFor(character, code);
        if (remember && m_report.Shown() == shownBefore && pieces.japaneseCode < kRemembered &&
            pieces.preview < kRemembered) {
            m_known[character] = pieces.japaneseCode << 16 | pieces.preview;
        }
        return pieces;
    }

private:
    static constexpr std::size_t kRemembered = 0x10000;

    // Passes reports on and counts them, so a lookup knows whether it reported anything.
    class CountingReport final : public ErrorReport {
    public:
        explicit CountingReport(ErrorReport& report) : m_report(report) {}
        void Show(std::string_view title, std::string_view text) override {
            ++m_shown;
            m_report.Show(title, text);
        }
        std::string Describe(const ErrorInfo& error) const override {
            return m_report.Describe(error);
        }
        int Shown() const { return m_shown; }

    private:
        ErrorReport& m_report;
        int m_shown = 0;
    };

    Pieces FreshPiecesFor(char32_t character, std::optional<CharCode> code);
    Pieces LookedUpPieces(char32_t character);

    TableSet& m_tables;
    const TablePaths& m_paths;
    CountingReport m_report;
    RecordNumber m_keyCount;
    // Pieces of each character looked up so far, code text << 16 | preview; 0 for not yet.
    std::vector<std::uint32_t> m_known;
};

} // namespace pelmora
