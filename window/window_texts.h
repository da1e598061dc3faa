#pragma once

#include <string>
#include <string_view>

namespace pelmora {

/// Where users of Pelmora send questions and suggestions; a project address, never a person's.
inline constexpr char kContactAddress[] = "pelmora-project@example.org";

/// Captions of the Hide/Show button in the window's two states.
inline constexpr std::string_view kHideCaption = "隐藏↑";
inline constexpr std::string_view kShowCaption = "显示↓";

/// Title of the About message.
inline constexpr std::string_view kAboutTitle = "关于";

/// The caption of the main window: the product name and the major and minor version.
std::string WindowTitle();

/// The text of the About message: product, version, project, contact and rights notice, one
/// per line, joined by CR LF without a final line break.
std::string AboutText();

/// The help text shown in the help box: how to convert, how the tables work, what a character
/// the tables lack looks like in each box and in the game, and where to send suggestions.
/// Lines end in CR LF.
std::string HelpText();

} // namespace pelmora
