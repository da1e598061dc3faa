#include "window_texts.h"

#include <initializer_list>

namespace pelmora {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string JoinLines(std::initializer_list<std::string> lines) {
    std::string joined;
    bool first = true;
    for (const std::string& line : lines) {
        if (!first) {
            joined += kLineBreak;
        }
        first = false;
        joined += line;
    }
    return joined;
}

std::string VersionNumber() {
    return std::to_string(PELMORA_VERSION_MAJOR) + "." + std::to_string(PELMORA_VERSION_MINOR) +
           "." + std::to_string(PELMORA_VERSION_PATCH);
}

} // namespace

std::string WindowTitle() {
    return "PelmoraV" + std::to_string(PELMORA_VERSION_MAJOR) + "." +
           std::to_string(PELMORA_VERSION_MINOR);
}

std::string AboutText() {
    return JoinLines({
        "Pelmora",
        "版本号:" + VersionNumber(),
        "Pelmora 项目",
        std::string("联系: ") + kContactAddress,
        "© Pelmora 项目贡献者，依照 Apache 许可证 2.0 版发布",
    });
}

std::string ProgramUsageText() {
    // Each line is whole, so that a message box, which wraps lines by itself, shows no ragged
    // breaks.
    return "Usage: pelmora [--help | --version] [FILE]\n"
           "Opens the window that turns Simplified Chinese into the codes of Japanese kanji.\n"
           "FILE, a text in UTF-8 (or UTF-16 with a byte order mark), goes into its input box.\n"
           "pelmora-convert converts without a window (pelmora-convert --help).\n"
           "打开把简体中文转换为日文汉字编码的窗口；给出的文件（FILE，UTF-8 编码）放进输入框。\n"
           "不开窗口转换请用 pelmora-convert。\n"
           "\n"
           "  -h, --help   show this help and exit（显示帮助）\n"
           "  --version    show the version and exit（显示版本号）\n";
}

std::string ProgramVersionLine() {
    return "pelmora " + VersionNumber() + "\n";
}

std::string ContextMenuErrorTitle(std::string_view boxName) {
    return "Error in " + std::string(boxName) + "ContextMenu";
}

std::string HelpText() {
    // A character the tables lack shows in the top-right box as 仩, whose code page 936 bytes
    // (81 A0) are the Shift-JIS code of □, so the game shows □ where the preview shows □.
    // An extension kanji whose Shift-JIS code has lead byte FA to FC and a trail byte from A1
    // reads through code page 936 as a user-defined character, which Chinese fonts draw as a
    // box; its bytes are still the right ones.
    return JoinLines({
        "使用方法：",
        "    在左上角的输入框中输入简体字,然后单击\"转换\",将右上角方框显示的字符复制到"
        "日文游戏中即可显示为正常的汉字,右下角的是预览效果.",
        "",
        "说明：",
        "    在输入框中按 Ctrl+Enter 也能转换，不必离开输入框。",
        "    本程序靠与它放在同一目录下的三个码表工作：pin.dat 收录能转换的简体字，"
        "pj.dat 是对应日文汉字的 Shift-JIS 编码，jj.dat 是日文汉字的字形，供右下角预览使用。",
        "    右上角的字符是日文汉字的 Shift-JIS 编码按简体中文显示的样子，"
        "看起来不像原来的字是正常的；粘贴到日文游戏中就会显示为正确的汉字。",
        "    少数字（例如\"邓\"）对应的是日文扩展区汉字，它的编码在右上角显示为方框，"
        "复制粘贴到游戏中仍然正确。",
        "    如果粘贴后游戏中显示的是别的字：右上角的编码文字只适用于读取 Shift-JIS 字节的游戏"
        "（较老的、直接在中文系统上运行的游戏）；读取 Unicode 文字的游戏（多数较新的游戏）"
        "要用右下角预览框中的文字：在预览框中按 Ctrl+A 全选，再按 Ctrl+C 复制。",
        "    码表中没有的字，或者简体中文编码无法表示的字，在右上角显示为\"仩\"，"
        "在右下角的预览中显示为\"□\"，粘贴到日文游戏中显示为\"□\"，"
        "表示游戏中不能显示这个字，请换一个字。",
        "    在右边两个框中右键单击一个字，菜单会列出它能对应的其他日文汉字（括号中是用到这个"
        "写法的词语），选一个就会同时替换两个框中的这个字；选\"按词语选字\"则按词语重新转换"
        "整段输入，例如\"头发\"转换为\"頭髪\"。",
        "    选\"按人名选字\"则把输入框中的每一行当作一个中文人名重新转换，姓和名都用日文报道"
        "中国人名时的写法，例如\"钟汉良\"转换为\"鍾漢良\"；\"转换\"按钮仍是逐字转换。",
        "    有些游戏只接受 JIS X 0208 的汉字（第一、第二水准）：在输入框中右键单击，勾选"
        "\"只用 JIS X 0208 汉字\"，之后\"转换\"、\"按词语选字\"和\"按人名选字\"只给出这些字，"
        "原本要用扩展区的字改用它在 JIS X 0208 中的其他写法，没有其他写法的按码表中没有的字处理，"
        "右边两个框的菜单也不再列出扩展区的字。关闭程序后这个选项不保留。",
        "    从日文游戏或日文程序中复制来的乱码（例如\"棲摽壺\"），在右上角方框中右键单击选"
        "\"粘贴乱码并还原\"，就会还原成日文（右下角，\"劉徳華\"）和简体中文（左上角，"
        "\"刘德华\"）；复制来的日文则在右下角方框中选\"粘贴日文并还原\"。",
        "    换行和空格原样保留；常用标点（！“”，。：；及其半角形式）变成对应的半角符号。",
        "",
        std::string("    欢迎把意见和建议发送到 ") + kContactAddress,
    });
}

} // namespace pelmora
