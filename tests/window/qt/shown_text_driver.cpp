// Loaded into the real pelmora program (LD_PRELOAD) by the program test. Once the window is up,
// it tells on standard error the input box's text, line breaks written as "|", and closes the
// window.

#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>

namespace {

void TellTheInputText() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmMain")) {
            QString text =
                widget->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText();
            std::fprintf(stderr, "driver: Text1: %s\n", qPrintable(text.replace('\n', '|')));
            widget->close();
        }
    }
}

void TellWhenTheWindowIsUp() {
    QTimer::singleShot(0, QCoreApplication::instance(), TellTheInputText);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(TellWhenTheWindowIsUp)
