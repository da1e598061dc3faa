#include "box_text.h"

#include "utf8.h"

#include <QPlainTextEdit>

namespace pelmora {

std::string Utf8FromBoxText(const QString& text) {
    std::string utf8;
    utf8.reserve(static_cast<std::size_t>(text.size()) * 3);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar unit = text.at(at);
        const bool pairs =
            unit.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate();
        if (pairs) {
            AppendUtf8(QChar::surrogateToUcs4(unit, text.at(++at)), utf8);
        } else {
            // A lone surrogate is written as U+FFFD by AppendUtf8.
            AppendUtf8(unit.unicode(), utf8);
        }
    }
    return utf8;
}

std::string_view BoxSource::Text() {
    m_utf8 = Utf8FromBoxText(m_box.toPlainText());
    return m_utf8;
}

void BoxSink::Clear() {
    m_text.clear();
    m_cleared = true;
}

void BoxSink::Show() {
    if (m_cleared) {
        m_box.setPlainText(QString::fromUcs4(m_text.data(), static_cast<qsizetype>(m_text.size())));
    }
}

} // namespace pelmora
