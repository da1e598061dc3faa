#include "window_fonts.h"

#include "wide_text.h"

#include <cmath>
#include <string>
#include <utility>

namespace pelmora {

namespace {

HFONT MakeBoxFont(const BoxFont& font, int dotsPerInch) {
    LOGFONTW wanted{};
    wanted.lfHeight = FontHeight(font.points, dotsPerInch);
    wanted.lfWeight = FW_NORMAL;
    wanted.lfCharSet = static_cast<BYTE>(font.charSet);
    wanted.lfOutPrecision = OUT_DEFAULT_PRECIS;
    wanted.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    wanted.lfQuality = DEFAULT_QUALITY;
    wanted.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = WideFromUtf8(font.face);
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&wanted);
}

// The font Windows uses for message boxes and dialogs at this DPI: the window's default font.
HFONT MakeUiFont(int dotsPerInch) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                    static_cast<UINT>(dotsPerInch))) {
        return nullptr;
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

bool SameFont(const BoxFont& a, const BoxFont& b) {
    return a.face == b.face && a.charSet == b.charSet && a.points == b.points;
}

} // namespace

int FontHeight(double points, int dotsPerInch) {
    return -MulDiv(static_cast<int>(std::lround(points * 100)), dotsPerInch, 7200);
}

WindowFonts::WindowFonts(int dotsPerInch) : m_uiFont(MakeUiFont(dotsPerInch)) {
    for (const ControlLayout& layout : FrmMainControls()) {
        if (layout.font && For(layout) == nullptr) {
            m_boxFonts.push_back({*layout.font, MakeBoxFont(*layout.font, dotsPerInch)});
        }
    }
}

WindowFonts::~WindowFonts() {
    Delete();
}

WindowFonts::WindowFonts(WindowFonts&& other) noexcept
    : m_boxFonts(std::move(other.m_boxFonts)), m_uiFont(std::exchange(other.m_uiFont, nullptr)) {
    other.m_boxFonts.clear();
}

WindowFonts& WindowFonts::operator=(WindowFonts&& other) noexcept {
    if (this != &other) {
        Delete();
        m_boxFonts = std::move(other.m_boxFonts);
        other.m_boxFonts.clear();
        m_uiFont = std::exchange(other.m_uiFont, nullptr);
    }
    return *this;
}

HFONT WindowFonts::For(const ControlLayout& layout) const {
    if (!layout.font) {
        return m_uiFont;
    }
    for (const BoxFontMade& made : m_boxFonts) {
        if (SameFont(made.wanted, *layout.font)) {
            return made.font;
        }
    }
    return nullptr;
}

void WindowFonts::Delete() {
    for (const BoxFontMade& made : m_boxFonts) {
        DeleteObject(made.font);
    }
    m_boxFonts.clear();
    if (m_uiFont != nullptr) {
        DeleteObject(m_uiFont);
        m_uiFont = nullptr;
    }
}

} // namespace pelmora
