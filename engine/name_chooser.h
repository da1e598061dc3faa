#pragma once

#include "walk.h"
#include "word_chooser.h"
#include "word_tables.h"

#include <array>
#include <cstddef>
#include <span>

namespace pelmora {

/// True for the characters Chinese names are made of; anything else (a line break, a space,
/// "、") ends a name.
bool IsChineseCharacter(char32_t character);

/// The names run's chooser: reads the text as Chinese personal names. A name begins at the start
/// of the text and after any character that is no Chinese character, and runs to the next such
/// character. Its surname, the longest surname of names.dat at its start, takes the surname's
/// kanji; a name whose start names.dat does not list takes its first character as its surname,
/// a word of its own. The rest of the name, the given name, goes through the word-aware chooser
/// (which starts afresh after the surname), whose kanji a given-name form of names.dat
/// overrides. So
/// outside names' surnames and given-name forms it is the word-aware run. It holds back a name's
/// first characters until its surname is settled (at most kLongestSurname), besides what the
/// word-aware chooser holds.
class NameChooser {
public:
    NameChooser(WordModel words, NameTable names)
        : m_words(std::move(words)), m_names(std::move(names)) {}

    template <typename Output> void Take(const WalkedCharacter& character, Output& output) {
        if (m_surnameEnd > 0) {
            HoldForSurname(character, output);
        } else if (!m_inName && IsChineseCharacter(character.character)) {
            // A name begins: the word-aware chooser starts afresh at it.
            GivenNameForms<Output> given{output, m_names};
            m_words.Finish(given);
            m_inName = true;
            HoldForSurname(character, output);
        } else {
            TakeOutsideSurname(character, output);
        }
    }

    template <typename Output> void Finish(Output& output) {
        if (m_surnameEnd > 0) {
            SettleSurname(output);
        }
        GivenNameForms<Output> given{output, m_names};
        m_words.Finish(given);
    }

private:
    // What the word-aware chooser emits inside a name, with the given-name forms over it.
    template <typename Output> struct GivenNameForms {
        Output& output;
        const NameTable& names;
        void Emit(const WalkedCharacter& character, const Pieces& pieces) {
            const KanjiChoice* form = character.code && IsChineseCharacter(character.character)
                                          ? names.GivenNameForm(*character.code)
                                          : nullptr;
            output.Emit(character, form != nullptr ? PiecesOf(*form) : pieces);
        }
    };

    template <typename Output>
    void HoldForSurname(const WalkedCharacter& character, Output& output) {
        m_surname[m_surnameEnd] = character;
        m_surnameCodes[m_surnameEnd] = character.code;
        ++m_surnameEnd;
        const bool surnameCanGrow = IsChineseCharacter(character.character) && character.code &&
                                    m_names.Surnames().Holds(*character.code);
        if (m_surnameEnd == kLongestSurname || !surnameCanGrow) {
            SettleSurname(output);
        }
    }

    // The held characters of a name's start: its surname's take the surname's kanji, the rest
    // go on as the given name.
    template <typename Output> void SettleSurname(Output& output) {
        const std::size_t held = m_surnameEnd;
        m_surnameEnd = 0;
        const Word* surname =
            m_names.Surnames().LongestWordAt(std::span(m_surnameCodes).first(held));
        const std::size_t length = surname != nullptr ? surname->keys.size() : 0;
        // Without names.dat every character goes to the word-aware chooser, as ByWords does.
        const bool firstIsSurname = length == 0 && !m_names.Empty();
        if (firstIsSurname) {
            // A surname names.dat does not list is still a word of its own: the given name is
            // not read into one word with it (向明 is 向 and 明, not the word 嚮明).
            TakeOutsideSurname(m_surname[0], output);
            GivenNameForms<Output> given{output, m_names};
            m_words.Finish(given);
        }
        for (std::size_t i = firstIsSurname ? 1 : 0; i < held; ++i) {
            if (i < length) {
                output.Emit(m_surname[i], PiecesOf(surname->kanji[i]));
            } else {
                TakeOutsideSurname(m_surname[i], output);
            }
        }
    }

    template <typename Output>
    void TakeOutsideSurname(const WalkedCharacter& character, Output& output) {
        m_inName = m_inName && IsChineseCharacter(character.character);
        GivenNameForms<Output> given{output, m_names};
        m_words.Take(character, given);
    }

    WordChooser m_words;
    NameTable m_names;
    bool m_inName = false; // the last character taken was part of a name
    std::array<WalkedCharacter, kLongestSurname> m_surname{};
    std::array<std::optional<CharCode>, kLongestSurname> m_surnameCodes{};
    std::size_t m_surnameEnd = 0; // characters held while a name's surname is settled
};

} // namespace pelmora
