#pragma once

#include "japanese_choice.h"
#include "table_records.h"
#include "word_spelling.h"

#include <string>
#include <vector>

namespace pelmora::tables {

// A character's form in a Chinese personal name, decided by hand, with the reason.
struct NameForm {
    UChar32 simplified = 0;
    UChar32 japanese = 0;
    const char* reason = "";
};

// Surname characters whose Japanese form differs from the character's everyday one.
const std::vector<NameForm>& SurnameForms();

// Characters whose form in a given name differs from the character's everyday one.
const std::vector<NameForm>& GivenNameForms();

// Compound surnames, matched before their first character alone.
const std::vector<std::u32string>& CompoundSurnames();

// One entry of names.dat: a surname (one or more characters) or a given-name character.
struct NameEntry {
    bool surname = false;
    std::vector<std::string> keys; // code page 936 bytes of each character
    std::vector<JapaneseCode> japanese;
};

// Every surname form, every compound surname (each character taking its surname form, else its
// per-character one) and every given-name form. A hand-made form the tables cannot ship
// (neither JIS X 0208 nor an extension kanji that round-trips) throws, so the lists stay honest.
std::vector<NameEntry> NameEntries(const JapaneseChooser& chooser, const PerCharacter& perChar,
                                   const StrictCodePage& desktop);

// names.dat: surnames first, then given-name characters.
std::string NameTableBytes(const std::vector<NameEntry>& entries);

} // namespace pelmora::tables
