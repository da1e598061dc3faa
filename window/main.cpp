#include "frm_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmora"));
    // Lets Wayland desktops match the window to pelmora.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pelmora"));
    frmMain window;
    window.show();
    return app.exec();
}
