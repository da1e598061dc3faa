#include "name_chooser.h"

namespace pelmora {

bool IsChineseCharacter(char32_t character) {
    return (character >= 0x3400 && character <= 0x4DBF) ||
           (character >= 0x4E00 && character <= 0x9FFF) ||
           (character >= 0xF900 && character <= 0xFAFF) ||
           (character >= 0x20000 && character <= 0x3FFFF);
}

} // namespace pelmora
