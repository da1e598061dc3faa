#include "message_box_report.h"

#include <QMessageBox>

namespace pelmora {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

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

void MessageBoxReport::Show(std::string_view title, std::string_view text) {
    ShowPlainMessage(m_parent, FromUtf8(title), FromUtf8(text));
}

} // namespace pelmora
