#pragma once

#include "char_tables.h"
#include "conversion.h"
#include "error_report.h"
#include "frm_main_view.h"

namespace pelmora {

/// Pelmora's one window as behaviour, whatever the toolkit that draws it: its load handler,
/// the Convert, About, Exit and Hide/Show commands and the end of the program. Each handler
/// runs on the event thread, one at a time, and works only through the view. Once the program
/// has ended, every later event is ignored, so nothing outlives the window.
class frmMain {
public:
    /// The window drawn by `view`, which must outlive it, converting with the tables at
    /// `tables`.
    frmMain(FrmMainView& view, TableLocation tables);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    /// Load of the window: empties Text1, Text2 and Text3. A failure is reported as
    /// "Error in FormLoad" and the window is shown anyway.
    void Form_Load();
    /// Convert: the text of Text1 into Text2 (Japanese code text) and Text3 (preview).
    void cmdSwitch_Click();
    /// About: the About message in a modal box.
    void cmdAbout_Click();
    /// Exit: ends the program at once.
    void Command3_Click();
    /// Hide/Show: hides or shows the preview box and shrinks or restores the window.
    void Command4_Click();
    /// The user closed the window: that too ends the program.
    void Form_Unload();

    /// The Click of `button`, passed to its handler; a view forwards its buttons' clicks here.
    void Click(Control button);

    /// The table paths the last conversion formed (pinfile, pjfile, jjfile).
    const pelmora::TablePaths& TablePaths() const { return m_tablePaths; }
    /// Whether the program has ended (Exit, or the window closed).
    bool Ended() const { return m_ended; }

private:
    // Every failure of the window in a message box, described in Chinese; silent once the
    // program has ended, so no box outlives the window.
    class ViewReport final : public ErrorReport {
    public:
        explicit ViewReport(frmMain& form) : m_form(form) {}
        void Show(std::string_view title, std::string_view text) override;
        std::string Describe(const ErrorInfo& error) const override;

    private:
        frmMain& m_form;
    };

    void EndProgram();

    FrmMainView& m_view;
    TableLocation m_tables;
    ViewReport m_report{*this};
    pelmora::TablePaths m_tablePaths;
    bool m_ended = false;
};

} // namespace pelmora
