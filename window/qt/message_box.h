#pragma once

#include <QString>

class QWidget;

namespace pelmora {

/// Shows `text` under `title` in a modal message box with one OK button and no icon, and
/// returns when the user closes it.
void ShowPlainMessage(QWidget* parent, const QString& title, const QString& text);

} // namespace pelmora
