#pragma once

#include <QString>

namespace pelmora {

/// Where users of Pelmora send questions and suggestions; a project address, never a person's.
inline constexpr char kContactAddress[] = "pelmora-project@example.org";

/// The caption of the main window: the product name and the major and minor version.
QString WindowTitle();

/// The text of the About message: product, version, project, contact and rights notice, one
/// per line, joined by CR LF without a final line break.
QString AboutText();

/// The help text shown in the help box: how to convert, how the tables work, what "□" means and
/// where to send suggestions. Lines end in CR LF.
QString HelpText();

} // namespace pelmora
