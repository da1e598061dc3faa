#pragma once

#include "frm_main.h"
#include "frm_main_view.h"

#include <QPoint>
#include <QWidget>

#include <array>
#include <filesystem>

class QCloseEvent;
class QEvent;
class QMenu;
class QPlainTextEdit;

namespace pelmora {

/// The main window drawn with Qt Widgets: makes the controls from the layout, with their
/// object names (Text1, cmdSwitch, ...), forwards the window's events to frmMain and carries
/// out what frmMain asks of its view.
class FrmMainWidget final : public QWidget, private FrmMainView {
    Q_OBJECT

public:
    /// The window converting with the tables in `tableDirectory`; loaded and ready to show.
    explicit FrmMainWidget(const std::filesystem::path& tableDirectory, QWidget* parent = nullptr);

    /// The window's behaviour, for the table paths of the last conversion.
    const frmMain& Form() const { return m_form; }
    /// Puts the text of the file at `path` into the input box (frmMain::OpenInputFile).
    void OpenInputFile(const std::filesystem::path& path) { m_form.OpenInputFile(path); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeControls();
    void SetTabOrder();
    void ConnectButtons();
    void FilterBoxKeys();
    void ConnectContextMenus();
    void ContextMenuAtTextCursor(Control box);
    QWidget& ControlWidget(Control control) const;
    QPlainTextEdit& TextBox(Control box) const;

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
    std::optional<std::size_t> PickFromMenu(QMenu& menu, const std::vector<MenuItem>& items);
    bool BoxHasSelection(Control box) override;
    void RunBoxCommand(Control box, BoxCommand command) override;
    std::string ClipboardText() override;
    void EndProgram() override;

    std::array<QWidget*, kControlCount> m_controls{};
    QPoint m_contextMenuAt; // where the context menu being asked for opens, in global coordinates
    frmMain m_form;
};

} // namespace pelmora
