#include "box_text.h"

#include "utf8.h"

namespace pelmora {

std::string_view BoxSource::NextPiece() {
    if (m_read) {
        return {};
    }
    m_read = true;
    m_utf8 = m_view.BoxText(m_box);
    return m_utf8;
}

void BoxSink::Clear() {
    m_text.clear();
    m_cleared = true;
}

void BoxSink::Append(char32_t character) {
    m_text.push_back(character);
}

void BoxSink::Show() {
    if (m_cleared) {
        m_view.SetBoxText(m_box, EncodeUtf8(m_text));
    }
}

} // namespace pelmora
