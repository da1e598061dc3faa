#pragma once

#include "error_report.h"

#include <QString>

class QWidget;

namespace pelmora {

/// Shows `text` under `title` in a modal message box with one OK button and no icon, and
/// returns when the user closes it.
void ShowPlainMessage(QWidget* parent, const QString& title, const QString& text);

/// The window's error report: every failure in a modal message box over the window.
class MessageBoxReport final : public ErrorReport {
public:
    explicit MessageBoxReport(QWidget* parent) : m_parent(parent) {}
    void Show(std::string_view title, std::string_view text) override;

private:
    QWidget* m_parent;
};

} // namespace pelmora
