#include "message_box.h"

#include <QMessageBox>

namespace pelmora {

void ShowPlainMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Error descriptions name files; plain text keeps a "<" in a path from being read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace pelmora
