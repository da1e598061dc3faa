#pragma once

#include "char_tables.h"
#include "error_report.h"

#include <QWidget>

#include <memory>

namespace Ui {
class frmMain;
}

/// Pelmora's one window: the input box, the Japanese code and preview boxes, the help box and
/// the Convert, About, Exit and Hide/Show buttons. Every handler runs on the event thread, one
/// at a time.
class frmMain final : public QWidget {
    Q_OBJECT

public:
    /// The window as the program shows it: failures appear in modal message boxes.
    explicit frmMain(QWidget* parent = nullptr);
    /// The window with failures shown through `report`, which must outlive the window.
    explicit frmMain(pelmora::ErrorReport& report, QWidget* parent = nullptr);
    ~frmMain() override;

    /// The table paths the last conversion formed (pinfile, pjfile, jjfile).
    const pelmora::TablePaths& TablePaths() const { return m_tablePaths; }

private slots:
    void cmdSwitch_Click();
    void cmdAbout_Click();
    void Command3_Click();
    void Command4_Click();

private:
    frmMain(std::unique_ptr<pelmora::ErrorReport> ownReport, pelmora::ErrorReport* report,
            QWidget* parent);
    void ApplyBoxFonts();
    void ConnectHandlers();
    void Form_Load();

    std::unique_ptr<Ui::frmMain> m_ui;
    std::unique_ptr<pelmora::ErrorReport> m_ownReport;
    pelmora::ErrorReport& m_report;
    pelmora::TablePaths m_tablePaths;
};
