#include "frm_main_window.h"

#include "edit_text.h"
#include "editing_menu.h"
#include "error_descriptions.h"
#include "message_box.h"
#include "resource_ids.h"
#include "wide_text.h"
#include "window_texts.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace pelmora {

namespace {

// A fixed frame with a title bar, a system menu and a minimise box: the layout has one size.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

// The first menu identifier of the window's own entries: above the edit commands', which are
// their messages, and above 0, which TrackPopupMenu answers for a dismissed menu.
constexpr UINT kFirstItemId = 0x1000;

DWORD ControlStyle(const ControlLayout& layout) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (layout.kind) {
    case ControlKind::Label:
        return style | SS_LEFT | SS_NOPREFIX;
    case ControlKind::Button:
        return style | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::TextBox:
        style |= WS_TABSTOP | ES_LEFT | ES_AUTOVSCROLL | ES_NOHIDESEL;
        if (layout.multiLine) {
            // Enter starts a new line in a box the user types into, as in any editor.
            style |= ES_MULTILINE | (layout.readOnly ? 0 : ES_WANTRETURN);
        }
        if (layout.readOnly) {
            style |= ES_READONLY;
        }
        if (layout.scrollBars == ScrollBars::Vertical) {
            style |= WS_VSCROLL;
        }
        return style;
    }
    throw std::logic_error("unknown control kind");
}

const wchar_t* ControlClass(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return L"STATIC";
    case ControlKind::Button:
        return L"BUTTON";
    case ControlKind::TextBox:
        return L"EDIT";
    }
    throw std::logic_error("unknown control kind");
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(PELMORA_ICON), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(PELMORA_ICON), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFrmMainClassName;
    // A second window in the same process finds the class already there.
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("the window class could not be registered");
    }
}

// Shows a failure that escaped a message handler, so it never unwinds through Windows' own
// code; the handlers of frmMain trap their own failures before this.
class EscapedFailureReport final : public ErrorReport {
public:
    explicit EscapedFailureReport(HWND owner) : m_owner(owner) {}
    void Show(std::string_view title, std::string_view text) override {
        ShowPlainMessage(m_owner, title, text);
    }
    std::string Describe(const ErrorInfo& error) const override {
        return ChineseErrorDescription(error);
    }

private:
    HWND m_owner;
};

using PopupMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

PopupMenu MakePopupMenu() {
    PopupMenu menu(CreatePopupMenu(), &DestroyMenu);
    if (menu == nullptr) {
        throw std::bad_alloc();
    }
    return menu;
}

// The window's own entries, numbered from kFirstItemId.
void AppendMenuItems(HMENU menu, const std::vector<MenuItem>& items) {
    for (std::size_t at = 0; at < items.size(); ++at) {
        const MenuItem& item = items[at];
        if (item.separatorBefore && GetMenuItemCount(menu) > 0) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        }
        const UINT flags = MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED) |
                           (item.checked ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(menu, flags, kFirstItemId + at, WideFromUtf8(item.text).c_str());
    }
}

// The index in `items` of the entry whose identifier TrackPopupMenu answered (0 for a dismissed
// menu).
std::optional<std::size_t> PickedItem(UINT picked, const std::vector<MenuItem>& items) {
    if (picked < kFirstItemId || picked - kFirstItemId >= items.size()) {
        return std::nullopt;
    }
    return picked - kFirstItemId;
}

bool IsKeyDown(int virtualKey) {
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

RECT PixelRect(const TwipRect& place, int dotsPerInch) {
    const int left = PixelsFromTwips(place.left, dotsPerInch);
    const int top = PixelsFromTwips(place.top, dotsPerInch);
    return {left, top, left + PixelsFromTwips(place.width, dotsPerInch),
            top + PixelsFromTwips(place.height, dotsPerInch)};
}

FrmMainWindow::FrmMainWindow(HINSTANCE instance, const std::filesystem::path& tableDirectory)
    : m_form(*this, {tableDirectory, TableReading::PerRecord}) {
    RegisterWindowClass(instance, &FrmMainWindow::WindowProcedure);
    CreateWindowExW(kWindowExStyle, kFrmMainClassName, WideFromUtf8(WindowTitle()).c_str(),
                    kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    nullptr, nullptr, instance, this);
    if (m_window == nullptr) {
        throw std::runtime_error("the window could not be created");
    }
    m_dpi = static_cast<int>(GetDpiForWindow(m_window));
    m_fonts = WindowFonts(m_dpi);
    MakeControls();
    LayOut();
    MakeToolTips();
    m_form.Form_Load();
    m_lastFocus = ControlWindow(kInitialFocus);
}

FrmMainWindow::~FrmMainWindow() {
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

void FrmMainWindow::Show(int showCommand) {
    if (m_window == nullptr) {
        return;
    }
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    SetFocus(m_lastFocus);
}

void FrmMainWindow::MakeControls() {
    // Windows takes the tab order from the order in which the controls are made.
    std::vector<const ControlLayout*> inTabOrder;
    for (const ControlLayout& layout : FrmMainControls()) {
        inTabOrder.push_back(&layout);
    }
    std::stable_sort(
        inTabOrder.begin(), inTabOrder.end(),
        [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    for (const ControlLayout* layout : inTabOrder) {
        HWND control = CreateWindowExW(
            layout->kind == ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0, ControlClass(layout->kind),
            WideFromUtf8(layout->text).c_str(), ControlStyle(*layout), 0, 0, 0, 0, m_window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(layout->id))), instance,
            nullptr);
        if (control == nullptr) {
            throw std::runtime_error("a control could not be created");
        }
        if (layout->kind == ControlKind::TextBox) {
            // Without this a box takes about 32,000 characters; a pasted book must fit whole.
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
        }
        if (layout->ownContextMenu) {
            SetWindowSubclass(control, &FrmMainWindow::BoxProcedure, 0,
                              reinterpret_cast<DWORD_PTR>(this));
        }
        m_controls[static_cast<std::size_t>(layout->id)] = control;
    }
}

void FrmMainWindow::MakeToolTips() {
    m_toolTips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 m_window, nullptr, nullptr, nullptr);
    if (m_toolTips == nullptr) {
        return; // the window works without its tooltips
    }
    for (const ControlLayout& layout : FrmMainControls()) {
        if (layout.toolTip.empty()) {
            continue;
        }
        std::wstring text = WideFromUtf8(layout.toolTip);
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(ControlWindow(layout.id));
        tool.lpszText = text.data();
        SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // Several lines of help rather than one line across the screen.
    SendMessageW(m_toolTips, TTM_SETMAXTIPWIDTH, 0, PixelsFromTwips(kClientWidthTwips / 2, m_dpi));
}

void FrmMainWindow::LayOut() {
    for (const ControlLayout& layout : FrmMainControls()) {
        HWND control = ControlWindow(layout.id);
        const RECT place = PixelRect(layout.place, m_dpi);
        MoveWindow(control, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_fonts.For(layout)), FALSE);
    }
    ResizeToClientHeight();
    InvalidateRect(m_window, nullptr, TRUE);
}

SIZE FrmMainWindow::OuterSize(int clientHeightTwips) const {
    RECT outer{0, 0, PixelsFromTwips(kClientWidthTwips, m_dpi),
               PixelsFromTwips(clientHeightTwips, m_dpi)};
    AdjustWindowRectExForDpi(&outer, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(m_dpi));
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void FrmMainWindow::ResizeToClientHeight() {
    const int width = PixelsFromTwips(kClientWidthTwips, m_dpi);
    const int height = PixelsFromTwips(m_clientHeightTwips, m_dpi);
    const SIZE outer = OuterSize(m_clientHeightTwips);
    SetWindowPos(m_window, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A frame drawn other than the metrics say (a theme, a window manager) is measured and
    // made up for, so the client area is the layout's.
    RECT client{};
    GetClientRect(m_window, &client);
    const int missingWidth = width - (client.right - client.left);
    const int missingHeight = height - (client.bottom - client.top);
    if (missingWidth != 0 || missingHeight != 0) {
        RECT frame{};
        GetWindowRect(m_window, &frame);
        SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left + missingWidth,
                     frame.bottom - frame.top + missingHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND FrmMainWindow::ControlWindow(Control control) const {
    return m_controls[static_cast<std::size_t>(control)];
}

const ControlLayout* FrmMainWindow::LayoutOfWindow(HWND control) const {
    for (const ControlLayout& layout : FrmMainControls()) {
        if (ControlWindow(layout.id) == control) {
            return &layout;
        }
    }
    return nullptr;
}

bool FrmMainWindow::TranslateKeys(MSG& message) {
    if (m_window == nullptr || (message.hwnd != m_window && !IsChild(m_window, message.hwnd))) {
        return false;
    }
    if (message.message == WM_KEYDOWN) {
        const ControlLayout* target = LayoutOfWindow(message.hwnd);
        const bool plain = !IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU);
        if (message.wParam == VK_RETURN && plain && target != nullptr &&
            target->kind == ControlKind::Button) {
            SendMessageW(message.hwnd, BM_CLICK, 0, 0);
            return true;
        }
        // Taken before TranslateMessage, so a key frmMain uses types no line break.
        if (message.wParam == VK_RETURN && target != nullptr &&
            target->kind == ControlKind::TextBox && OnBoxEnter(target->id)) {
            return true;
        }
        if (message.wParam == 'A' && IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU) &&
            target != nullptr && target->kind == ControlKind::TextBox) {
            SendMessageW(message.hwnd, EM_SETSEL, 0, -1);
            return true;
        }
    }
    return IsDialogMessageW(m_window, &message) != 0;
}

LRESULT CALLBACK FrmMainWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FrmMainWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<FrmMainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->m_window = nullptr;
        self->m_controls.fill(nullptr);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        EscapedFailureReport report(window);
        ReportCurrentException(report, WindowTitle());
        return 0;
    }
}

LRESULT CALLBACK FrmMainWindow::BoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self) {
    switch (message) {
    case WM_CONTEXTMENU:
        try {
            reinterpret_cast<FrmMainWindow*>(self)->OnBoxContextMenu(box, lParam);
        } catch (...) {
            EscapedFailureReport report(GetParent(box));
            ReportCurrentException(report, WindowTitle());
        }
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(box, &FrmMainWindow::BoxProcedure, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

LRESULT FrmMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_CLOSE:
        m_form.Form_Unload();
        return 0;
    case WM_NEXTDLGCTL:
        // Sent by the dialog keys (Tab in a box, Tab anywhere) to a window that is no dialog.
        if (LOWORD(lParam) != 0) {
            SetFocus(reinterpret_cast<HWND>(wParam));
        } else {
            MoveFocus(wParam != 0);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(m_window, focus)) {
                m_lastFocus = focus;
            }
        } else if (m_lastFocus != nullptr) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_SETFOCUS:
        if (m_lastFocus != nullptr) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_CTLCOLORSTATIC: {
        // Read-only boxes draw as boxes, white like the others, not in the window's grey.
        const auto* layout = LayoutOfWindow(reinterpret_cast<HWND>(lParam));
        if (layout != nullptr && layout->kind == ControlKind::TextBox) {
            auto* context = reinterpret_cast<HDC>(wParam);
            SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(context, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    }
    case WM_GETMINMAXINFO: {
        // The layout's size, even where it is larger than the screen Windows would allow for.
        const SIZE largest = OuterSize(kExpandedClientHeightTwips);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxTrackSize.x = std::max(limits->ptMaxTrackSize.x, largest.cx);
        limits->ptMaxTrackSize.y = std::max(limits->ptMaxTrackSize.y, largest.cy);
        return 0;
    }
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void FrmMainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) != BN_CLICKED || lParam == 0) {
        return;
    }
    const ControlLayout* layout = LayoutOfWindow(reinterpret_cast<HWND>(lParam));
    if (layout == nullptr || layout->kind != ControlKind::Button) {
        return;
    }
    // The window takes no event until a conversion ends; on a long text the hourglass says so.
    const bool converting = layout->id == Control::cmdSwitch;
    const HCURSOR previous = converting ? SetCursor(LoadCursorW(nullptr, IDC_WAIT)) : nullptr;
    m_form.Click(layout->id);
    if (converting) {
        SetCursor(previous);
    }
}

bool FrmMainWindow::OnBoxEnter(Control box) {
    const KeyModifiers modifiers{IsKeyDown(VK_CONTROL), IsKeyDown(VK_SHIFT), IsKeyDown(VK_MENU)};
    // The key may start a conversion (Ctrl+Enter in the input box): the hourglass, as for a click.
    const HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const bool used = m_form.KeyDown(box, BoxKey::Enter, modifiers);
    SetCursor(previous);
    return used;
}

void FrmMainWindow::OnDpiChanged(int dotsPerInch, const RECT& suggested) {
    m_dpi = dotsPerInch;
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The old fonts go only once every control has the new ones.
    const WindowFonts previous = std::exchange(m_fonts, WindowFonts(dotsPerInch));
    LayOut();
}

// A context menu asked for in an output box: by the mouse over the character under the
// pointer, from the keyboard (no point) at the text cursor.
void FrmMainWindow::OnBoxContextMenu(HWND box, LPARAM screenPoint) {
    const ControlLayout* layout = LayoutOfWindow(box);
    if (layout == nullptr) {
        return;
    }
    std::size_t index = 0;
    if (screenPoint == -1) {
        const CaretPlace caret = CaretOf(box);
        index = caret.index;
        m_contextMenuAt = caret.screen;
    } else {
        m_contextMenuAt = {GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
        POINT inBox = m_contextMenuAt;
        ScreenToClient(box, &inBox);
        index = CharacterIndexAt(box, inBox);
    }
    m_form.ContextMenu(layout->id, index);
}

void FrmMainWindow::MoveFocus(bool backwards) {
    HWND from = GetFocus();
    if (from == nullptr || !IsChild(m_window, from)) {
        from = m_lastFocus;
    }
    HWND to = GetNextDlgTabItem(m_window, from, backwards ? TRUE : FALSE);
    if (to != nullptr) {
        SetFocus(to);
    }
}

std::string FrmMainWindow::BoxText(Control box) {
    return Utf8FromWide(WideTextOf(ControlWindow(box)));
}

void FrmMainWindow::SetBoxText(Control box, std::string_view text) {
    // A box refuses a text only when it cannot allocate the room for it.
    if (!SetWindowTextW(ControlWindow(box), WideFromUtf8(text).c_str())) {
        throw std::bad_alloc();
    }
}

void FrmMainWindow::SetCaption(Control control, std::string_view caption) {
    SetWindowTextW(ControlWindow(control), WideFromUtf8(caption).c_str());
}

bool FrmMainWindow::IsControlVisible(Control control) {
    return (GetWindowLongPtrW(ControlWindow(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void FrmMainWindow::SetControlVisible(Control control, bool visible) {
    HWND window = ControlWindow(control);
    if (!visible && GetFocus() == window) {
        MoveFocus(false);
    }
    ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

void FrmMainWindow::SetClientHeight(int twips) {
    m_clientHeightTwips = twips;
    ResizeToClientHeight();
}

void FrmMainWindow::ShowMessage(std::string_view title, std::string_view text) {
    ShowPlainMessage(m_window, title, text);
}

std::optional<std::size_t> FrmMainWindow::ShowContextMenu(Control,
                                                          const std::vector<MenuItem>& items) {
    const PopupMenu menu = MakePopupMenu();
    AppendMenuItems(menu.get(), items);
    return PickedItem(TrackMenu(menu.get()), items);
}

std::optional<std::size_t> FrmMainWindow::ShowEditingMenu(Control box,
                                                          const std::vector<MenuItem>& items) {
    HWND edit = ControlWindow(box);
    // As the box's own menu does: its commands act on the box, which the user then types into.
    SetFocus(edit);
    const PopupMenu menu = MakePopupMenu();
    const std::vector<EditingCommand> commands = SystemEditingCommands();
    for (const EditingCommand& command : commands) {
        if (command.separatorBefore) {
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        }
        const UINT state = CanRunEditingCommand(edit, command) ? MF_ENABLED : MF_GRAYED;
        AppendMenuW(menu.get(), MF_STRING | state, command.message, command.text.c_str());
    }
    AppendMenuItems(menu.get(), items);
    const UINT picked = TrackMenu(menu.get());
    for (const EditingCommand& command : commands) {
        if (picked == command.message) {
            RunEditingCommand(edit, command);
            return std::nullopt;
        }
    }
    return PickedItem(picked, items);
}

UINT FrmMainWindow::TrackMenu(HMENU menu) {
    // The menu closes as a user expects (a click elsewhere, Esc) only over the foreground window.
    SetForegroundWindow(m_window);
    return static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                            m_contextMenuAt.x, m_contextMenuAt.y, 0, m_window,
                                            nullptr));
}

bool FrmMainWindow::BoxHasSelection(Control box) {
    DWORD start = 0, end = 0;
    SendMessageW(ControlWindow(box), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return start != end;
}

void FrmMainWindow::RunBoxCommand(Control box, BoxCommand command) {
    switch (command) {
    case BoxCommand::Copy:
        SendMessageW(ControlWindow(box), WM_COPY, 0, 0);
        break;
    case BoxCommand::SelectAll:
        SendMessageW(ControlWindow(box), EM_SETSEL, 0, -1);
        break;
    }
}

// The clipboard's Unicode text, which Windows makes from text a program put there in its code
// page: that is how garbled text copied from a Japanese program arrives.
std::string FrmMainWindow::ClipboardText() {
    if (!OpenClipboard(m_window)) {
        return {};
    }
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = locked;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return Utf8FromWide(text);
}

void FrmMainWindow::EndProgram() {
    // Destroying the window ends every box it owns; the quit message then ends the loop, and
    // messages still queued for the window are dropped with it.
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
    PostQuitMessage(0);
}

int RunMessageLoop(FrmMainWindow& window) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(message.wParam);
        }
        if (got == -1) {
            return 1;
        }
        if (!window.TranslateKeys(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace pelmora
