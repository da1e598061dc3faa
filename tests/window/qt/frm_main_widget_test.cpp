#include "application.h"
#include "frm_main_layout.h"
#include "frm_main_widget.h"
#include "message_box.h"
#include "table_fixture.h"
#include "window_texts.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using pelmora::testing::CandidateEntryBytes;
using pelmora::testing::Gbk;
using pelmora::testing::RecordBytes;
using pelmora::testing::SampleRows;
using pelmora::testing::TempDirectory;
using pelmora::testing::WriteFile;
using pelmora::testing::WriteTables;

namespace {

struct ShownMessage {
    int count = 0;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons;
    QString okText;
};

// Runs `open`, which should open a modal message box; records the box and closes it so the
// test goes on instead of waiting for a user.
ShownMessage CaptureMessageBox(const std::function<void()>& open) {
    ShownMessage shown;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++shown.count;
            shown.title = box->windowTitle();
            shown.text = box->text();
            shown.icon = box->icon();
            shown.buttons = box->standardButtons();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                shown.okText = ok->text();
            }
        }
        modal->close();
    });
    closer.start();
    open();
    return shown;
}

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The window's size in logical pixels at a client height of `twips`.
QSize WindowSize(int twips) {
    return {pelmora::PixelsFromTwips(pelmora::kClientWidthTwips), pelmora::PixelsFromTwips(twips)};
}

bool HasHanzi(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar unit) {
        return unit.unicode() >= 0x4E00 && unit.unicode() <= 0x9FFF;
    });
}

} // namespace

class FrmMainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsEmptyWithFocusInTheInputBox();
    void controlsAreMadeFromTheLayout();
    void boxesUseSongStyleFonts();
    void convertFillsBothBoxesAndReplacesThePreviousResult();
    void hideShowCollapsesAndRestoresTheWindow();
    void aboutShowsVersionAndCredits();
    void missingTableIsReportedAndLeavesTheBoxesAlone();
    void failureMidRunKeepsWhatWasConverted();
    void reportsArePlainMessageBoxes();
    void outputBoxIsCopyableButNotEditable();
    void buttonsPressOnEnterAndSpace_data();
    void buttonsPressOnEnterAndSpace();
    void ctrlEnterInTheInputBoxConverts();
    void qtOwnTextsAreChinese();
    void loneSurrogateConvertsToPlaceholder();
    void pastedTextTheCodePageCannotHoldShowsPlaceholders();
    void millionCharacterPasteConvertsWhole();
    void vanishedTablesAreReportedUntilTheyReturn();
    void rightClickOffersCandidatesAndAPickChangesBothBoxes();
    void keysOpenTheMenuAtTheTextCursor_data();
    void keysOpenTheMenuAtTheTextCursor();
    void pastingGarbledTextReadsItBack();
    void inputBoxMenuKeepsQtsCommandsAndTurnsJisX0208OnlyOn();
    // Last: QCoreApplication::exit leaves every later nested event loop returning at once.
    void exitOnEnterEndsTheEventLoop();

private:
    template <typename T> T* Control(const char* name) {
        auto* control = m_window->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr) {
            qFatal("no control %s", name);
        }
        return control;
    }
    QPlainTextEdit* Box(const char* name) { return Control<QPlainTextEdit>(name); }
    QPushButton* Button(const char* name) { return Control<QPushButton>(name); }
    void Click(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }
    void Convert(const QString& input) {
        Box("Text1")->setPlainText(input);
        Click("cmdSwitch");
    }
    QStringList PickSecondMenuEntry(const std::function<void()>& open, QPoint* menuAt = nullptr,
                                    int downs = 2);
    QStringList UseMenu(const std::function<void()>& open, const std::function<void(QMenu*)>& use,
                        QPoint* menuAt = nullptr);

    TempDirectory m_tables;
    const std::filesystem::path& m_tableDirectory = m_tables.Path();
    bool m_chineseQtTexts = false;
    std::unique_ptr<pelmora::FrmMainWidget> m_window;
};

void FrmMainTest::initTestCase() {
    // As the program does at start, whatever the system's language (the test runs under LANG=C).
    m_chineseQtTexts = pelmora::InstallChineseQtTranslations(*QCoreApplication::instance());
}

void FrmMainTest::init() {
    WriteTables(m_tableDirectory, SampleRows());
    m_window = std::make_unique<pelmora::FrmMainWidget>(m_tableDirectory);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void FrmMainTest::cleanup() {
    m_window.reset();
}

void FrmMainTest::startsEmptyWithFocusInTheInputBox() {
    QCOMPARE(m_window->windowTitle(),
             QStringLiteral("PelmoraV%1.%2").arg(PELMORA_VERSION_MAJOR).arg(PELMORA_VERSION_MINOR));
    for (const char* name : {"Text1", "Text2", "Text3"}) {
        QCOMPARE(Box(name)->toPlainText(), QString());
    }
    QCOMPARE(m_window->focusWidget(), Box("Text1"));
    QCOMPARE(Button("Command4")->text(), QStringLiteral("隐藏↑"));
    QVERIFY(Box("Text3")->isVisible());
    QCOMPARE(m_window->size(), WindowSize(pelmora::kExpandedClientHeightTwips));
    QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
    QVERIFY(Box("Text1")->testAttribute(Qt::WA_InputMethodEnabled));

    QStringList tabOrder;
    QWidget* widget = Box("Text1");
    do {
        if (widget->focusPolicy() & Qt::TabFocus) {
            tabOrder << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != Box("Text1"));
    // Every control but the labels, in the layout's tab order.
    std::vector<const pelmora::ControlLayout*> focusable;
    for (const pelmora::ControlLayout& layout : pelmora::FrmMainControls()) {
        if (layout.kind != pelmora::ControlKind::Label) {
            focusable.push_back(&layout);
        }
    }
    std::sort(focusable.begin(), focusable.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    QStringList layoutOrder;
    for (const pelmora::ControlLayout* layout : focusable) {
        layoutOrder << FromUtf8(std::string(layout->name));
    }
    QCOMPARE(tabOrder, layoutOrder);

    const QList<QSize> iconSizes = m_window->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(32, 32)));
    QVERIFY(iconSizes.contains(QSize(16, 16)));
}

// Every control of the neutral layout, made as its kind says, with the layout's flags.
void FrmMainTest::controlsAreMadeFromTheLayout() {
    QCOMPARE(m_window->objectName(), QStringLiteral("frmMain"));
    for (const pelmora::ControlLayout& layout : pelmora::FrmMainControls()) {
        const QString name = FromUtf8(std::string(layout.name));
        auto* control = m_window->findChild<QWidget*>(name);
        QVERIFY2(control != nullptr, qPrintable(name));
        QCOMPARE(control->geometry(), QRect(pelmora::PixelsFromTwips(layout.place.left),
                                            pelmora::PixelsFromTwips(layout.place.top),
                                            pelmora::PixelsFromTwips(layout.place.width),
                                            pelmora::PixelsFromTwips(layout.place.height)));
        switch (layout.kind) {
        case pelmora::ControlKind::Label:
            QCOMPARE(qobject_cast<QLabel*>(control)->text(), FromUtf8(layout.text));
            QCOMPARE(control->focusPolicy(), Qt::NoFocus);
            break;
        case pelmora::ControlKind::Button:
            QCOMPARE(qobject_cast<QPushButton*>(control)->text(), FromUtf8(layout.text));
            break;
        case pelmora::ControlKind::TextBox: {
            auto* box = qobject_cast<QPlainTextEdit*>(control);
            QVERIFY(box != nullptr);
            // A text box shows CR LF as one line break.
            QCOMPARE(box->toPlainText(), FromUtf8(layout.text).replace("\r\n", "\n"));
            QCOMPARE(box->isReadOnly(), layout.readOnly);
            QVERIFY(box->tabChangesFocus());
            QCOMPARE(box->verticalScrollBarPolicy(),
                     layout.scrollBars == pelmora::ScrollBars::Vertical ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAlwaysOff);
            QCOMPARE(box->font().pointSizeF(), layout.font->points);
            QVERIFY(box->font().families().contains(FromUtf8(std::string(layout.font->face))));
            break;
        }
        }
    }
}

void FrmMainTest::boxesUseSongStyleFonts() {
    const QStringList songStyle{"SimSun", "宋体", "Noto Serif CJK SC", "AR PL UMing CN"};
    const QStringList installed = QFontDatabase::families();
    const auto expected =
        std::find_if(songStyle.begin(), songStyle.end(),
                     [&](const QString& family) { return installed.contains(family); });
    if (expected == songStyle.end()) {
        QSKIP("no Song-style CJK font installed");
    }
    for (const auto& [name, points] : {std::pair{"Text1", 9.75}, std::pair{"Text2", 9.75},
                                       std::pair{"Text3", 9.75}, std::pair{"txtHelp", 10.5}}) {
        const QFont font = Box(name)->font();
        QCOMPARE(QFontInfo(font).family(), *expected);
        QCOMPARE(font.pointSizeF(), points);
        QCOMPARE(font.weight(), QFont::Normal);
    }
    QCOMPARE(Control<QLabel>("Label1")->font(), QApplication::font(Control<QLabel>("Label1")));
    QCOMPARE(Button("cmdSwitch")->font(), QApplication::font(Button("cmdSwitch")));
}

void FrmMainTest::convertFillsBothBoxesAndReplacesThePreviousResult() {
    // Chinese arrives as an input method's commit, as fcitx or ibus deliver it.
    QInputMethodEvent typedChinese;
    typedChinese.setCommitString(QStringLiteral("发东"));
    QApplication::sendEvent(Box("Text1"), &typedChinese);
    QTest::keyClicks(Box("Text1"), QStringLiteral("A"));
    QCOMPARE(Box("Text1")->toPlainText(), QStringLiteral("发东A"));
    Click("cmdSwitch");
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("敪搶A"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("発東A"));

    const ShownMessage none = CaptureMessageBox([this] { Convert(QStringLiteral("东\n发 一！")); });
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("搶\n敪 仩!"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("東\n発 □!"));
    QCOMPARE(none.count, 0);

    const pelmora::TablePaths& paths = m_window->Form().TablePaths();
    QCOMPARE(paths.pinfile, m_tableDirectory / "pin.dat");
    QCOMPARE(paths.pjfile, m_tableDirectory / "pj.dat");
    QCOMPARE(paths.jjfile, m_tableDirectory / "jj.dat");
}

void FrmMainTest::hideShowCollapsesAndRestoresTheWindow() {
    Convert(QStringLiteral("发"));
    Click("Command4");
    QVERIFY(Box("Text3")->isHidden());
    QCOMPARE(Button("Command4")->text(), QStringLiteral("显示↓"));
    const QSize collapsed = WindowSize(pelmora::kCollapsedClientHeightTwips);
    QCOMPARE(m_window->maximumSize(), collapsed);
    QTRY_COMPARE(m_window->size(), collapsed);
    QVERIFY(Control<QLabel>("Label3")->isVisible());
    QVERIFY(Control<QLabel>("Label3")->geometry().bottom() < m_window->height());
    QVERIFY(Box("txtHelp")->isVisible()); // still shown, only outside the window
    QVERIFY(Box("txtHelp")->y() >= m_window->height());

    Convert(QStringLiteral("东"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("東"));

    Click("Command4");
    QVERIFY(Box("Text3")->isVisible());
    QCOMPARE(Button("Command4")->text(), QStringLiteral("隐藏↑"));
    const QSize expanded = WindowSize(pelmora::kExpandedClientHeightTwips);
    QCOMPARE(m_window->minimumSize(), expanded);
    QTRY_COMPARE(m_window->size(), expanded);
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("東"));
}

void FrmMainTest::aboutShowsVersionAndCredits() {
    const ShownMessage about = CaptureMessageBox([this] { Click("cmdAbout"); });
    QCOMPARE(about.count, 1);
    QCOMPARE(about.title, QStringLiteral("关于"));
    QCOMPARE(about.icon, QMessageBox::NoIcon);
    QCOMPARE(about.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(about.text, FromUtf8(pelmora::AboutText()));

    const QStringList lines = about.text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0], QStringLiteral("Pelmora"));
    QCOMPARE(lines[1], QStringLiteral("版本号:%1.%2.%3")
                           .arg(PELMORA_VERSION_MAJOR)
                           .arg(PELMORA_VERSION_MINOR)
                           .arg(PELMORA_VERSION_PATCH));
    QVERIFY(lines[3].contains(QString::fromLatin1(pelmora::kContactAddress)));
    for (const QString& line : lines) {
        QVERIFY(!line.isEmpty());
        QVERIFY(!line.contains('\n') && !line.contains('\r'));
    }
}

void FrmMainTest::missingTableIsReportedAndLeavesTheBoxesAlone() {
    Convert(QStringLiteral("发"));
    std::filesystem::remove(m_tableDirectory / "pj.dat");
    const ShownMessage error = CaptureMessageBox([this] { Convert(QStringLiteral("东")); });

    QCOMPARE(error.count, 1);
    QCOMPARE(error.title, QStringLiteral("Error in Command1Click"));
    const QString& text = error.text;
    QVERIFY2(text.startsWith(QStringLiteral("ErrorNo:53\r\nErrorInfo:找不到码表文件 pj.dat")),
             qPrintable(text));
    QVERIFY(text.contains(FromUtf8(m_tableDirectory.string())));
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("敪"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("発"));
}

void FrmMainTest::failureMidRunKeepsWhatWasConverted() {
    // 发's preview record shows 東, which its Shift-JIS code is not: the run fails on 发.
    WriteFile(m_tableDirectory / "jj.dat", RecordBytes(Gbk("　")) + RecordBytes(Gbk("東")) +
                                               RecordBytes(Gbk("東")) + RecordBytes("A"));
    const ShownMessage error = CaptureMessageBox([this] { Convert(QStringLiteral("东发东")); });

    QCOMPARE(error.count, 1);
    QVERIFY2(error.text.startsWith("ErrorNo:321\r\n"), qPrintable(error.text));
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("搶"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("東"));
}

void FrmMainTest::reportsArePlainMessageBoxes() {
    std::filesystem::remove(m_tableDirectory / "pin.dat");
    const ShownMessage error = CaptureMessageBox([this] { Convert(QStringLiteral("发")); });
    QCOMPARE(error.count, 1);
    QCOMPARE(error.title, QStringLiteral("Error in Command1Click"));
    QVERIFY2(error.text.startsWith("ErrorNo:53\r\nErrorInfo:"), qPrintable(error.text));
    QCOMPARE(error.icon, QMessageBox::NoIcon);
    QCOMPARE(error.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // A description that looks like markup is shown as it is.
    const ShownMessage plain = CaptureMessageBox([] {
        pelmora::ShowPlainMessage(nullptr, QStringLiteral("T"), QStringLiteral("<b>x</b>"));
    });
    QCOMPARE(plain.text, QStringLiteral("<b>x</b>"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void FrmMainTest::outputBoxIsCopyableButNotEditable() {
    Convert(QStringLiteral("发东"));
    QPlainTextEdit* text2 = Box("Text2");
    QClipboard* clipboard = QGuiApplication::clipboard();

    clipboard->clear();
    text2->setFocus();
    QTest::keySequence(text2, QKeySequence::SelectAll);
    QTest::keySequence(text2, QKeySequence::Copy);
    QCOMPARE(clipboard->text(), QStringLiteral("敪搶"));

    clipboard->clear();
    std::unique_ptr<QMenu> menu(text2->createStandardContextMenu());
    QAction* copy = menu->findChild<QAction*>("edit-copy");
    QVERIFY(copy != nullptr && copy->isEnabled());
    copy->trigger();
    QCOMPARE(clipboard->text(), QStringLiteral("敪搶"));
    // Selecting by keyboard works as well as by mouse.
    text2->moveCursor(QTextCursor::Start);
    QTest::keyClick(text2, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(text2->textCursor().selectedText(), QStringLiteral("敪"));

    QTest::keyClicks(text2, QStringLiteral("xyz"));
    QTest::keyClick(text2, Qt::Key_Backspace);
    QTest::keySequence(text2, QKeySequence::Cut);
    QTest::keySequence(text2, QKeySequence::Paste);
    QCOMPARE(text2->toPlainText(), QStringLiteral("敪搶"));

    // The help box, unlike the outputs, takes typing.
    QTest::keyClicks(Box("txtHelp"), QStringLiteral("x"));
    QVERIFY(Box("txtHelp")->toPlainText() != FromUtf8(pelmora::HelpText()).replace("\r\n", "\n"));
}

void FrmMainTest::buttonsPressOnEnterAndSpace_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
}

void FrmMainTest::buttonsPressOnEnterAndSpace() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    const auto press = [&](const char* name) {
        Button(name)->setFocus();
        QTest::keyClick(Button(name), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    };
    Box("Text1")->setPlainText(QStringLiteral("发"));
    press("cmdSwitch");
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("敪"));
    press("Command4");
    QVERIFY(Box("Text3")->isHidden());
    QCOMPARE(CaptureMessageBox([&] { press("cmdAbout"); }).count, 1);
    // In a text box Enter is a line break, not a click.
    Box("Text1")->setFocus();
    QTest::keyClick(Box("Text1"), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("敪"));
}

// Ctrl and either Enter key in the input box convert there and then, with no line break typed
// and the focus left in the box; with Shift held too they do not.
void FrmMainTest::ctrlEnterInTheInputBoxConverts() {
    Box("Text1")->setFocus();
    QTest::keyClicks(Box("Text1"), QStringLiteral("A"));
    QTest::keyClick(Box("Text1"), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("A"));
    QTest::keyClicks(Box("Text1"), QStringLiteral("A"));
    QTest::keyClick(Box("Text1"), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(Box("Text1")->toPlainText(), QStringLiteral("AA"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("AA"));
    QCOMPARE(m_window->focusWidget(), Box("Text1"));

    QTest::keyClicks(Box("Text1"), QStringLiteral("A"));
    QTest::keyClick(Box("Text1"), Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("AA"));
}

// Qt's own texts in the window (the message box's button, the text boxes' context menus) are
// Chinese like the rest of it, when Qt's Chinese translations are installed.
void FrmMainTest::qtOwnTextsAreChinese() {
    const QString installed =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm");
    if (!QFileInfo::exists(installed)) {
        QVERIFY(!m_chineseQtTexts);
        QSKIP("Qt's Chinese translations are not installed (qt6-translations-l10n)");
    }
    QVERIFY(m_chineseQtTexts);
    std::unique_ptr<QMenu> menu(Box("Text1")->createStandardContextMenu());
    for (const char* action : {"edit-undo", "edit-cut", "edit-copy", "edit-paste", "select-all"}) {
        QAction* item = menu->findChild<QAction*>(action);
        QVERIFY2(item != nullptr, action);
        QVERIFY2(HasHanzi(item->text()), qPrintable(item->text()));
    }
    const ShownMessage about = CaptureMessageBox([this] { Click("cmdAbout"); });
    QVERIFY2(HasHanzi(about.okText), qPrintable(about.okText));
}

void FrmMainTest::loneSurrogateConvertsToPlaceholder() {
    Convert(QString(QChar(0xD83D)) + QStringLiteral("发"));
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("仩敪"));
    Convert(QStringLiteral("😀发"));
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("仩敪"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("□発"));
}

void FrmMainTest::pastedTextTheCodePageCannotHoldShowsPlaceholders() {
    // A lone low surrogate, an emoji, an ideograph beyond GBK, the replacement character and a
    // GBK character the tables lack, each one character in and one miss out: "仩" in the code
    // text, "□" in the preview.
    const QString pasted = QString(QChar(0xDE00)) + QStringLiteral("😀𠀀\uFFFD丂发");
    QGuiApplication::clipboard()->setText(pasted);
    Box("Text1")->paste();
    QCOMPARE(Box("Text1")->toPlainText(), pasted);
    Click("cmdSwitch");
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("仩仩仩仩仩敪"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("□□□□□発"));
}

// `line` repeated to exactly `size` UTF-16 units (every character here is one unit).
static QString Repeated(const QString& line, qsizetype size) {
    QString text;
    text.reserve(size + line.size());
    while (text.size() < size) {
        text += line;
    }
    text.truncate(size);
    return text;
}

void FrmMainTest::millionCharacterPasteConvertsWhole() {
    constexpr qsizetype kPasted = 1000000;
    QGuiApplication::clipboard()->setText(Repeated(QStringLiteral("发东A 中，。\n"), kPasted));
    Box("Text1")->paste();
    QCOMPARE(Box("Text1")->toPlainText().size(), kPasted);

    QElapsedTimer clock;
    clock.start();
    const ShownMessage none = CaptureMessageBox([this] { Click("cmdSwitch"); });
    qInfo("1,000,000 pasted characters converted in %lld ms", clock.elapsed());

    QCOMPARE(none.count, 0);
    QVERIFY(Box("Text2")->toPlainText() == Repeated(QStringLiteral("敪搶A 仩,.\n"), kPasted));
    QVERIFY(Box("Text3")->toPlainText() == Repeated(QStringLiteral("発東A □,.\n"), kPasted));
}

void FrmMainTest::vanishedTablesAreReportedUntilTheyReturn() {
    Convert(QStringLiteral("发"));
    const std::filesystem::path away = m_tableDirectory / "tables-away";
    std::filesystem::create_directory(away);
    for (const char* table : {"pin.dat", "pj.dat", "jj.dat"}) {
        std::filesystem::rename(m_tableDirectory / table, away / table);
    }
    const ShownMessage error = CaptureMessageBox([this] { Convert(QStringLiteral("东")); });
    QCOMPARE(error.count, 1);
    const QString& text = error.text;
    QVERIFY2(text.startsWith(QStringLiteral("ErrorNo:53\r\nErrorInfo:找不到码表文件 pin.dat")),
             qPrintable(text));
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("敪"));
    QVERIFY2(!std::filesystem::exists(m_tableDirectory / "pin.dat"), "no table is created");

    for (const char* table : {"pin.dat", "pj.dat", "jj.dat"}) {
        std::filesystem::rename(away / table, m_tableDirectory / table);
    }
    std::filesystem::remove(away);
    QCOMPARE(CaptureMessageBox([this] { Convert(QStringLiteral("东")); }).count, 0);
    QCOMPARE(Box("Text2")->toPlainText(), QStringLiteral("搶"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("東"));
}

// A right-click on a character of Text2, as the platform delivers it to the window, opens the
// window's menu; picking a kanji from it changes that character in both boxes.
void FrmMainTest::rightClickOffersCandidatesAndAPickChangesBothBoxes() {
    WriteFile(m_tableDirectory / "candidates.dat",
              CandidateEntryBytes(Gbk("发"), {"\x94\xAD", "\x94\xAF"}, {Gbk("発"), Gbk("髪")}));
    Convert(QStringLiteral("东发\n东"));
    QPlainTextEdit* text2 = Box("Text2");
    QCOMPARE(text2->toolTip(), FromUtf8(std::string(pelmora::kOutputBoxToolTip)));

    // The right half of 发's character in Text2, where the nearest gap is after it.
    QTextCursor cursor(text2->document());
    cursor.setPosition(2);
    const QPoint over = text2->cursorRect(cursor).center() - QPoint(2, 0);
    const QStringList offered = PickSecondMenuEntry([&] {
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {},
                          text2->viewport()->mapTo(m_window.get(), over));
    });

    QCOMPARE(offered, (QStringList{"発", "髪", "按词语选字", "按人名选字", "粘贴乱码并还原", "复制",
                                   "全选"}));
    const QChar hairCode(static_cast<char16_t>(pelmora::RecordCharacter({0x94, 0xAF})));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("東髪\n東"));
    QCOMPARE(text2->toPlainText(), QStringLiteral("搶") + hairCode + QStringLiteral("\n搶"));
}

// Shift+F10, pressed as the platform delivers keys, and the Menu key, which the platform
// delivers to the focused box as a context menu asked for from the keyboard, open the same menu
// over the character after the text cursor, beside it.
void FrmMainTest::keysOpenTheMenuAtTheTextCursor_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    QTest::newRow("Menu") << int(Qt::Key_Menu) << int(Qt::NoModifier);
}

void FrmMainTest::keysOpenTheMenuAtTheTextCursor() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    WriteFile(m_tableDirectory / "candidates.dat",
              CandidateEntryBytes(Gbk("发"), {"\x94\xAD", "\x94\xAF"}, {Gbk("発"), Gbk("髪")}));
    Convert(QStringLiteral("东\n东发"));
    QPlainTextEdit* text3 = Box("Text3");
    text3->setFocus();
    QTest::keyClick(text3, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(text3, Qt::Key_Left);
    const QPoint cursorAt = text3->viewport()->mapToGlobal(text3->cursorRect().bottomLeft());
    QPoint menuAt;
    const QStringList offered = PickSecondMenuEntry(
        [&] {
            if (key == Qt::Key_Menu) {
                QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(),
                                          text3->mapToGlobal(QPoint()));
                QApplication::sendEvent(text3, &menuKey);
            } else {
                QTest::keyClick(m_window->windowHandle(), Qt::Key(key),
                                Qt::KeyboardModifiers(modifiers));
            }
        },
        &menuAt);
    QCOMPARE(offered, (QStringList{"発", "髪", "按词语选字", "按人名选字", "粘贴日文并还原", "复制",
                                   "全选"}));
    QCOMPARE(text3->toPlainText(), QStringLiteral("東\n東髪"));
    QCOMPARE(menuAt, cursorAt);
}

// Garbled text on the clipboard, read back from the code box's menu: it goes into the code box,
// the Japanese text into the preview and the Simplified Chinese into the input box.
void FrmMainTest::pastingGarbledTextReadsItBack() {
    QGuiApplication::clipboard()->setText(QStringLiteral("敪搶 A仩"));
    QPlainTextEdit* text2 = Box("Text2");
    const QStringList offered = PickSecondMenuEntry(
        [&] {
            QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {},
                              text2->viewport()->mapTo(m_window.get(), QPoint(4, 4)));
        },
        nullptr, 3);
    QCOMPARE(offered, (QStringList{"按词语选字", "按人名选字", "粘贴乱码并还原", "复制", "全选"}));
    QCOMPARE(text2->toPlainText(), QStringLiteral("敪搶 A仩"));
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("発東 A□"));
    QCOMPARE(Box("Text1")->toPlainText(), QStringLiteral("发东 A□"));
}

// The input box's menu: Qt's own editing entries, which still act on the box, then the window's
// JIS X 0208 setting, the last entry; once it is picked, Convert gives an extension kanji without
// a JIS X 0208 candidate as a miss, and the entry shows checked.
void FrmMainTest::inputBoxMenuKeepsQtsCommandsAndTurnsJisX0208OnlyOn() {
    std::vector<pelmora::testing::TableRow> rows = SampleRows();
    rows.insert(rows.end() - 1, {Gbk("琪"), "\xEE\x4C", Gbk("琪")});
    WriteTables(m_tableDirectory, rows);
    QPlainTextEdit* text1 = Box("Text1");
    text1->setPlainText(QStringLiteral("琪发"));
    const auto rightClick = [&] {
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {},
                          text1->viewport()->mapTo(m_window.get(), QPoint(40, 8)));
    };
    const QStringList offered = UseMenu(rightClick, [](QMenu* menu) {
        menu->findChild<QAction*>(QStringLiteral("select-all"))->trigger();
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    QCOMPARE(text1->textCursor().selectedText(), QStringLiteral("琪发"));
    QCOMPARE(offered.last(), FromUtf8(std::string(pelmora::kJisX0208Item)));
    QVERIFY(offered.size() > 6);
    QCOMPARE(HasHanzi(offered.first()), m_chineseQtTexts);

    UseMenu(rightClick, [](QMenu* menu) {
        QVERIFY(!menu->actions().last()->isChecked());
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    Click("cmdSwitch");
    QCOMPARE(Box("Text3")->toPlainText(), QStringLiteral("□発"));
    bool checked = false;
    UseMenu(rightClick, [&checked](QMenu* menu) {
        checked = menu->actions().last()->isChecked();
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    QVERIFY(checked);
}

// Runs `open`, which should open the window's context menu; returns its entries and where it
// opened, and picks the second entry (or the one `downs` keys down), as a user picks it with the
// keyboard.
QStringList FrmMainTest::PickSecondMenuEntry(const std::function<void()>& open, QPoint* menuAt,
                                             int downs) {
    return UseMenu(
        open,
        [downs](QMenu* menu) {
            for (int down = 0; down < downs; ++down) {
                QTest::keyClick(menu, Qt::Key_Down);
            }
            QTest::keyClick(menu, Qt::Key_Return);
        },
        menuAt);
}

// Runs `open`, which should open a context menu, and `use` on the menu once it is up; returns
// its entries and where it opened.
QStringList FrmMainTest::UseMenu(const std::function<void()>& open,
                                 const std::function<void(QMenu*)>& use, QPoint* menuAt) {
    QStringList offered;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || !offered.isEmpty()) {
            return;
        }
        if (menuAt != nullptr) {
            *menuAt = menu->pos();
        }
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                offered << action->text();
            }
        }
        use(menu);
    });
    user.start();
    open();
    // The caller compares what was offered, empty when no menu opened.
    static_cast<void>(QTest::qWaitFor([&] { return !offered.isEmpty(); }));
    return offered;
}

void FrmMainTest::exitOnEnterEndsTheEventLoop() {
    QEventLoop loop;
    QTimer::singleShot(0, this, [this] {
        Button("Command3")->setFocus();
        QTest::keyClick(Button("Command3"), Qt::Key_Return);
    });
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    QCOMPARE(loop.exec(), 0);
}

QTEST_MAIN(FrmMainTest)
#include "frm_main_widget_test.moc"
