#include "window_texts.h"

#include <QStringList>

namespace pelmora {

namespace {

QString VersionNumber() {
    return QStringLiteral("%1.%2.%3")
        .arg(PELMORA_VERSION_MAJOR)
        .arg(PELMORA_VERSION_MINOR)
        .arg(PELMORA_VERSION_PATCH);
}

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

QString WindowTitle() {
    return QStringLiteral("PelmoraV%1.%2").arg(PELMORA_VERSION_MAJOR).arg(PELMORA_VERSION_MINOR);
}

QString AboutText() {
    return QStringList{
        QStringLiteral("Pelmora"),
        QStringLiteral("版本号:") + VersionNumber(),
        QStringLiteral("Pelmora 项目"),
        QStringLiteral("联系: ") + QString::fromLatin1(kContactAddress),
        QStringLiteral("© Pelmora 项目贡献者 保留所有权利"),
    }
        .join(kLineBreak);
}

QString HelpText() {
    return QStringList{
        QStringLiteral("使用方法："),
        QStringLiteral(
            "    在左上角的输入框中输入简体字,然后单击\"转换\",将右上角方框显示的字符复制到"
            "日文游戏中即可显示为正常的汉字,右下角的是预览效果."),
        QString(),
        QStringLiteral("说明："),
        QStringLiteral("    本程序靠与它放在同一目录下的三个码表工作：pin.dat 收录能转换的简体字，"
                       "pj.dat 是对应日文汉字的 Shift-JIS 编码，jj.dat 是日文汉字的字形，"
                       "供右下角预览使用。"),
        QStringLiteral("    右上角的字符是日文汉字的 Shift-JIS 编码按简体中文显示的样子，"
                       "看起来不像原来的字是正常的；粘贴到日文游戏中就会显示为正确的汉字。"),
        QStringLiteral("    显示为\"□\"的字表示码表中没有这个字，或者简体中文编码无法表示它，"
                       "游戏中不能正常显示，请换一个字。"),
        QStringLiteral(
            "    换行和空格原样保留；常用标点（！“”，。：；及其半角形式）变成对应的半角符号。"),
        QString(),
        QStringLiteral("    欢迎把意见和建议发送到 ") + QString::fromLatin1(kContactAddress),
    }
        .join(kLineBreak);
}

} // namespace pelmora
