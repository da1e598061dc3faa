#pragma once

#include "frm_main.h"
#include "frm_main_view.h"
#include "window_fonts.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

namespace pelmora {

/// Name of the main window's window class, by which other programs and tests find it.
inline constexpr wchar_t kFrmMainClassName[] = L"PelmoraFrmMain";

/// The child-window identifier of a control, for GetDlgItem. Clear of IDOK and IDCANCEL, which
/// the dialog keys send on their own.
constexpr int ControlId(Control control) {
    return 1001 + static_cast<int>(control);
}

/// `place` in pixels at `dotsPerInch`, each edge rounded as the layout rounds it.
RECT PixelRect(const TwipRect& place, int dotsPerInch);

/// The main window drawn with native Win32 controls: makes the controls from the layout,
/// forwards the window's events to frmMain and carries out what frmMain asks of its view. The
/// window is created hidden, loaded and with the focus in Text1; Show puts it on screen. It
/// lays itself out at its monitor's DPI and again when the DPI changes.
class FrmMainWindow final : private FrmMainView {
public:
    /// The window converting with the tables in `tableDirectory`. `instance` holds the icon.
    /// Throws std::runtime_error when Windows cannot create the window.
    FrmMainWindow(HINSTANCE instance, const std::filesystem::path& tableDirectory);
    ~FrmMainWindow() override;
    FrmMainWindow(const FrmMainWindow&) = delete;
    FrmMainWindow& operator=(const FrmMainWindow&) = delete;

    void Show(int showCommand);

    /// The top-level window; null once the program has ended.
    HWND Handle() const { return m_window; }
    /// The window's behaviour, for the table paths of the last conversion.
    const frmMain& Form() const { return m_form; }
    /// Puts the text of the file at `path` into the input box (frmMain::OpenInputFile).
    void OpenInputFile(const std::filesystem::path& path) { m_form.OpenInputFile(path); }
    /// The DPI the window is laid out at.
    int Dpi() const { return m_dpi; }

    /// The window's own keys, taken before a message is dispatched: Enter presses a focused
    /// button, Enter in a text box goes to frmMain (Ctrl+Enter in the input box converts),
    /// Ctrl+A selects a whole box, Tab and Shift+Tab move through the tab order. True when
    /// `message` was handled and must not be dispatched.
    bool TranslateKeys(MSG& message);

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    static LRESULT CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void MakeControls();
    void MakeToolTips();
    void OnBoxContextMenu(HWND box, LPARAM screenPoint);
    void LayOut();
    SIZE OuterSize(int clientHeightTwips) const;
    void ResizeToClientHeight();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    bool OnBoxEnter(Control box);
    void OnDpiChanged(int dotsPerInch, const RECT& suggested);
    void MoveFocus(bool backwards);
    HWND ControlWindow(Control control) const;
    const ControlLayout* LayoutOfWindow(HWND control) const;

    std::string BoxText(Control box) override;
    void SetBoxText(Control box, std::string_view text) override;
    void SetCaption(Control control, std::string_view caption) override;
    bool IsControlVisible(Control control) override;
    void SetControlVisible(Control control, bool visible) override;
    void SetClientHeight(int twips) override;
    void ShowMessage(std::string_view title, std::string_view text) override;
    std::optional<std::size_t> ShowContextMenu(Control box,
                                               const std::vector<MenuItem>& items) override;
    std::optional<std::size_t> ShowEditingMenu(Control box,
                                               const std::vector<MenuItem>& items) override;
    UINT TrackMenu(HMENU menu);
    bool BoxHasSelection(Control box) override;
    void RunBoxCommand(Control box, BoxCommand command) override;
    std::string ClipboardText() override;
    void EndProgram() override;

    HWND m_window = nullptr;
    std::array<HWND, kControlCount> m_controls{};
    HWND m_lastFocus = nullptr;
    HWND m_toolTips = nullptr;
    POINT m_contextMenuAt{}; // screen point where the next context menu opens
    WindowFonts m_fonts;
    int m_dpi = 96;
    int m_clientHeightTwips = kExpandedClientHeightTwips;
    frmMain m_form;
};

/// Runs the thread's message loop for `window` until the program ends; returns the exit code.
int RunMessageLoop(FrmMainWindow& window);

} // namespace pelmora
