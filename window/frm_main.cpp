#include "frm_main.h"

#include "box_text.h"
#include "error_descriptions.h"
#include "window_texts.h"

namespace pelmora {

frmMain::frmMain(FrmMainView& view, TableLocation tables)
    : m_view(view), m_tables(std::move(tables)) {}

void frmMain::Form_Load() {
    if (m_ended) {
        return;
    }
    try {
        m_view.SetBoxText(Control::Text1, "");
        m_view.SetBoxText(Control::Text2, "");
        m_view.SetBoxText(Control::Text3, "");
    } catch (...) {
        ReportCurrentException(m_report, kFormLoadErrorTitle);
    }
}

void frmMain::cmdSwitch_Click() {
    if (m_ended) {
        return;
    }
    BoxSource input(m_view, Control::Text1);
    BoxSink japaneseCode(m_view, Control::Text2);
    BoxSink preview(m_view, Control::Text3);
    ConvertText(input, japaneseCode, preview, m_tablePaths, m_tables, m_report);
    // Setting a box's text is a step of the run, so its failure is the run's report.
    try {
        japaneseCode.Show();
        preview.Show();
    } catch (...) {
        ReportCurrentException(m_report, kConversionErrorTitle);
    }
}

void frmMain::cmdAbout_Click() {
    if (!m_ended) {
        m_view.ShowMessage(kAboutTitle, AboutText());
    }
}

void frmMain::Command3_Click() {
    EndProgram();
}

void frmMain::Command4_Click() {
    if (m_ended) {
        return;
    }
    m_view.SetControlVisible(Control::Text3, !m_view.IsControlVisible(Control::Text3));
    const bool previewShown = m_view.IsControlVisible(Control::Text3);
    m_view.SetClientHeight(previewShown ? kExpandedClientHeightTwips : kCollapsedClientHeightTwips);
    m_view.SetCaption(Control::Command4, previewShown ? kHideCaption : kShowCaption);
}

void frmMain::Form_Unload() {
    EndProgram();
}

void frmMain::Click(Control button) {
    switch (button) {
    case Control::cmdSwitch:
        cmdSwitch_Click();
        break;
    case Control::cmdAbout:
        cmdAbout_Click();
        break;
    case Control::Command3:
        Command3_Click();
        break;
    case Control::Command4:
        Command4_Click();
        break;
    default:
        break;
    }
}

void frmMain::EndProgram() {
    if (!m_ended) {
        m_ended = true;
        m_view.EndProgram();
    }
}

void frmMain::ViewReport::Show(std::string_view title, std::string_view text) {
    if (!m_form.m_ended) {
        m_form.m_view.ShowMessage(title, text);
    }
}

std::string frmMain::ViewReport::Describe(const ErrorInfo& error) const {
    return ChineseErrorDescription(error);
}

} // namespace pelmora
