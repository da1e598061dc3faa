#pragma once

#include "conversion.h"

#include <QString>

#include <string>

class QPlainTextEdit;

namespace pelmora {

/// UTF-8 of a text box's text for the conversion. A surrogate pair becomes its one code point;
/// a lone surrogate becomes U+FFFD, which code page 936 cannot represent, so it converts to "□"
/// instead of being looked up as some other character.
std::string Utf8FromBoxText(const QString& text);

/// The conversion's input: the text box's text, read when the run asks for it.
class BoxSource final : public TextSource {
public:
    explicit BoxSource(const QPlainTextEdit& box) : m_box(box) {}
    std::string_view Text() override;

private:
    const QPlainTextEdit& m_box;
    std::string m_utf8;
};

/// One output of a conversion bound for a text box. It collects the run's text and puts it into
/// the box once, when Show is called after the run, so a long text is not re-laid out once per
/// character. A sink that the run never emptied leaves its box as it was.
class BoxSink final : public TextSink {
public:
    explicit BoxSink(QPlainTextEdit& box) : m_box(box) {}
    void Clear() override;
    void Append(char32_t character) override { m_text.push_back(character); }
    /// Puts what the run wrote into the box, also after a failed run.
    void Show();

private:
    QPlainTextEdit& m_box;
    std::u32string m_text;
    bool m_cleared = false;
};

} // namespace pelmora
