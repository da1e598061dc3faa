#pragma once

#include "conversion.h"
#include "frm_main_view.h"
#include "utf16.h"

#include <string>
#include <string_view>

namespace pelmora {

/// The conversion's input: a text box's text, read when the run asks for it and given as one
/// piece.
class BoxSource final : public TextSource {
public:
    BoxSource(FrmMainView& view, Control box) : m_view(view), m_box(box) {}
    std::string_view NextPiece() override;
    /// The text the run read, empty before it asked.
    const std::string& ReadText() const { return m_utf8; }

private:
    FrmMainView& m_view;
    Control m_box;
    std::string m_utf8;
    bool m_read = false;
};

/// One output of a conversion bound for a text box. It collects the run's characters and puts
/// them into the box once, as UTF-8, when Show is called after the run, so a long text is not
/// laid out anew once per character. A sink that the run never emptied leaves its box as it
/// was.
class BoxSink final : public TextSink {
public:
    BoxSink(FrmMainView& view, Control box) : m_view(view), m_box(box) {}
    void Clear() override;
    void Append(char32_t character) override;
    /// Puts what the run wrote into the box, also after a failed run.
    void Show();
    /// Whether the run emptied this output, so that Show replaces the box's text.
    bool Cleared() const { return m_cleared; }
    /// What the run wrote, one character per input character.
    const std::u32string& WrittenText() const { return m_text; }

private:
    FrmMainView& m_view;
    Control m_box;
    std::u32string m_text;
    bool m_cleared = false;
};

} // namespace pelmora
