#include "frm_main.h"

#include "box_text.h"
#include "conversion.h"
#include "message_box_report.h"
#include "program_directory.h"
#include "ui_frm_main.h"
#include "window_texts.h"

#include <QCoreApplication>
#include <QFont>
#include <QIcon>

// The window's icon lives in the library's resources; a static library has to load them itself.
static void LoadWindowResources() {
    Q_INIT_RESOURCE(pelmora);
}

namespace {

// The layout is drawn in twips; Qt places widgets in logical pixels, 15 twips each.
constexpr int kTwipsPerPixel = 15;

constexpr int PixelsFromTwips(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

constexpr int kClientWidth = PixelsFromTwips(9165);
constexpr int kExpandedHeight = PixelsFromTwips(6300);
// Ends just below the row of buttons: the help box and the preview's place fall outside.
constexpr int kCollapsedHeight = PixelsFromTwips(3725);

const QString kHideCaption = QStringLiteral("隐藏↑");
const QString kShowCaption = QStringLiteral("显示↓");

// SimSun where the system has it, else a Song-style CJK font that looks like it.
QFont SongFont(qreal pointSize) {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

// The program's icon in the two sizes desktops ask for.
QIcon WindowIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/pelmora_32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/pelmora_16.xpm"), QSize(16, 16));
    return icon;
}

} // namespace

frmMain::frmMain(QWidget* parent)
    : frmMain(std::make_unique<pelmora::MessageBoxReport>(this), nullptr, parent) {}

frmMain::frmMain(pelmora::ErrorReport& report, QWidget* parent)
    : frmMain(nullptr, &report, parent) {}

frmMain::frmMain(std::unique_ptr<pelmora::ErrorReport> ownReport, pelmora::ErrorReport* report,
                 QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::frmMain>()), m_ownReport(std::move(ownReport)),
      m_report(report != nullptr ? *report : *m_ownReport) {
    LoadWindowResources();
    m_ui->setupUi(this);
    setWindowTitle(pelmora::WindowTitle());
    setWindowIcon(WindowIcon());
    setFixedSize(kClientWidth, kExpandedHeight);
    ApplyBoxFonts();
    m_ui->txtHelp->setPlainText(pelmora::HelpText());
    ConnectHandlers();
    Form_Load();
    m_ui->Text1->setFocus();
}

frmMain::~frmMain() = default;

void frmMain::ApplyBoxFonts() {
    const QFont boxFont = SongFont(9.75);
    m_ui->Text1->setFont(boxFont);
    m_ui->Text2->setFont(boxFont);
    m_ui->Text3->setFont(boxFont);
    m_ui->txtHelp->setFont(SongFont(10.5));
}

void frmMain::ConnectHandlers() {
    connect(m_ui->cmdSwitch, &QPushButton::clicked, this, &frmMain::cmdSwitch_Click);
    connect(m_ui->cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
    connect(m_ui->Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(m_ui->Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
}

void frmMain::Form_Load() {
    try {
        m_ui->Text1->clear();
        m_ui->Text2->clear();
        m_ui->Text3->clear();
    } catch (...) {
        pelmora::ReportCurrentException(m_report, pelmora::kFormLoadErrorTitle);
    }
}

void frmMain::cmdSwitch_Click() {
    pelmora::BoxSource input(*m_ui->Text1);
    pelmora::BoxSink japaneseCode(*m_ui->Text2);
    pelmora::BoxSink preview(*m_ui->Text3);
    const pelmora::TableLocation tables{pelmora::ProgramDirectory(),
                                        pelmora::TableReading::PerRecord};
    pelmora::ConvertText(input, japaneseCode, preview, m_tablePaths, tables, m_report);
    japaneseCode.Show();
    preview.Show();
}

void frmMain::cmdAbout_Click() {
    pelmora::ShowPlainMessage(this, QStringLiteral("关于"), pelmora::AboutText());
}

void frmMain::Command3_Click() {
    // Ends the program at once: exit() leaves the event loop without asking any window.
    QCoreApplication::exit(0);
}

void frmMain::Command4_Click() {
    m_ui->Text3->setHidden(!m_ui->Text3->isHidden());
    const bool previewShown = !m_ui->Text3->isHidden();
    setFixedSize(kClientWidth, previewShown ? kExpandedHeight : kCollapsedHeight);
    m_ui->Command4->setText(previewShown ? kHideCaption : kShowCaption);
}
