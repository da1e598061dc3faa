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

/// Entries of the output boxes' context menu: redo the input with the word-aware run or as
/// names, the boxes' own editing commands, and what stands in place of the candidates of a
/// character that has none.
inline constexpr std::string_view kByWordsItem = "按词语选字";
inline constexpr std::string_view kByNamesItem = "按人名选字";
inline constexpr std::string_view kCopyItem = "复制";
inline constexpr std::string_view kSelectAllItem = "全选";
inline constexpr std::string_view kNoCandidatesItem = "这个字没有其他可选的日文汉字";

/// Entries that read a game's text back from the clipboard: the garbled code text (the code
/// box's menu) or Japanese text (the preview box's menu).
inline constexpr std::string_view kReadBackCodeTextItem = "粘贴乱码并还原";
inline constexpr std::string_view kReadBackJapaneseItem = "粘贴日文并还原";
/// The input box's context menu entry that turns JIS X 0208 only on or off.
inline constexpr std::string_view kJisX0208Item = "只用 JIS X 0208 汉字（部分游戏只接受这些字）";

/// Comes before a word of words.dat that shows a candidate in use but is not in the user's text.
inline constexpr std::string_view kExampleWordMark = "如：";

/// Follows a candidate from code page 932's extension rows in the menu.
inline constexpr std::string_view kExtensionKanjiNote = "扩展区汉字，部分游戏不能显示";

/// The tooltip of the two output boxes, which tells of their context menu.
inline constexpr std::string_view kOutputBoxToolTip =
    "右键单击一个字，可以换成它的其他日文汉字，或按词语、按人名选字";

/// Title of the error report of an output box's context menu, after the box: "Error in
/// Text2ContextMenu".
std::string ContextMenuErrorTitle(std::string_view boxName);

/// The caption of the main window: the product name and the major and minor version.
std::string WindowTitle();

/// The text of the About message: product, version, project, contact and rights notice, one
/// per line, joined by CR LF without a final line break.
std::string AboutText();

/// The window program's usage, for `pelmora --help`: its options and FILE, how the window is
/// used and where to convert without a window. Lines end in LF.
std::string ProgramUsageText();

/// The window program's name and version, for `pelmora --version`: "pelmora 0.3.0" and LF.
std::string ProgramVersionLine();

/// The help text shown in the help box: how to convert (also with Ctrl+Enter), how the tables
/// work, what an extension kanji and a character the tables lack look like in each box and in
/// the game, the menus and the JIS X 0208 only setting, and where to send suggestions.
/// Lines end in CR LF.
std::string HelpText();

} // namespace pelmora
