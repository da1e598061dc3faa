#pragma once

#include "frm_main_layout.h"

#include <windows.h>

#include <vector>

namespace pelmora {

/// The height of a font of `points` at `dotsPerInch`, as CreateFontW takes it: negative, so
/// it is the height of the characters without the leading.
int FontHeight(double points, int dotsPerInch);

/// The window's fonts at one DPI: one per distinct text box font of the layout ("宋体" in the
/// GB2312 character set), and the system's message font for the labels and buttons. Owns them;
/// the controls that use them must be given others before these go.
class WindowFonts {
public:
    WindowFonts() = default;
    explicit WindowFonts(int dotsPerInch);
    ~WindowFonts();
    WindowFonts(WindowFonts&& other) noexcept;
    WindowFonts& operator=(WindowFonts&& other) noexcept;

    /// The font of `layout`'s control; null for the system font.
    HFONT For(const ControlLayout& layout) const;

private:
    struct BoxFontMade {
        BoxFont wanted;
        HFONT font;
    };
    void Delete();

    std::vector<BoxFontMade> m_boxFonts;
    HFONT m_uiFont = nullptr;
};

} // namespace pelmora
