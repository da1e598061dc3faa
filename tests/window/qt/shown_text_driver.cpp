// Loaded into the real pelmora program (LD_PRELOAD) by the program test. Once the program runs,
// it tells on standard error what the user sees, one line each: the text of each message box
// (which it then closes, as OK would), then the text of the input box; then it closes the
// window. Line breaks (CR LF or LF) are written as "|".

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>

namespace {

void Tell(const char* what, QString text) {
    text.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char('|'));
    std::fprintf(stderr, "driver: %s: %s\n", what, qPrintable(text));
}

void TellWhatIsShown() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Tell("message", box->text());
        box->done(QMessageBox::Ok);
        // The window's own loop takes over once the box has gone.
        QTimer::singleShot(200, QCoreApplication::instance(), TellWhatIsShown);
        return;
    }
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmMain")) {
            Tell("Text1",
                 widget->findChild<QPlainTextEdit*>(QStringLiteral("Text1"))->toPlainText());
            widget->close();
        }
    }
}

void TellWhenShown() {
    QTimer::singleShot(0, QCoreApplication::instance(), TellWhatIsShown);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(TellWhenShown)
