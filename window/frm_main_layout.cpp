#include "frm_main_layout.h"

#include "window_texts.h"

namespace pelmora {

namespace {

constexpr std::string_view kSongFace = "宋体";
constexpr BoxFont kTextFont{kSongFace, kGb2312CharSet, 9.75};
constexpr BoxFont kHelpFont{kSongFace, kGb2312CharSet, 10.5};

ControlLayout Placed(Control id, std::string_view name, ControlKind kind, TwipRect place,
                     int tabIndex) {
    ControlLayout layout{};
    layout.id = id;
    layout.name = name;
    layout.kind = kind;
    layout.place = place;
    layout.tabIndex = tabIndex;
    return layout;
}

ControlLayout Label(Control id, std::string_view name, std::string caption, TwipRect place,
                    int tabIndex) {
    ControlLayout label = Placed(id, name, ControlKind::Label, place, tabIndex);
    label.text = std::move(caption);
    return label;
}

ControlLayout Button(Control id, std::string_view name, std::string caption, TwipRect place,
                     int tabIndex) {
    ControlLayout button = Placed(id, name, ControlKind::Button, place, tabIndex);
    button.text = std::move(caption);
    return button;
}

ControlLayout Box(Control id, std::string_view name, TwipRect place, int tabIndex) {
    ControlLayout box = Placed(id, name, ControlKind::TextBox, place, tabIndex);
    box.font = kTextFont;
    box.multiLine = true;
    return box;
}

// The input box: its context menu adds the window's setting to the box's editing commands.
ControlLayout InputBox(TwipRect place, int tabIndex) {
    ControlLayout box = Box(Control::Text1, "Text1", place, tabIndex);
    box.ownContextMenu = true;
    return box;
}

// An output box: read-only, with the window's context menu of candidates, which its tooltip
// tells of.
ControlLayout OutputBox(Control id, std::string_view name, TwipRect place, int tabIndex) {
    ControlLayout box = Box(id, name, place, tabIndex);
    box.readOnly = true;
    box.toolTip = kOutputBoxToolTip;
    box.ownContextMenu = true;
    return box;
}

ControlLayout HelpBox(TwipRect place, int tabIndex) {
    ControlLayout box = Box(Control::txtHelp, "txtHelp", place, tabIndex);
    box.text = HelpText();
    box.font = kHelpFont;
    box.scrollBars = ScrollBars::Vertical;
    return box;
}

std::array<ControlLayout, kControlCount> MakeControls() {
    using enum Control;
    return {
        Label(Label1, "Label1", "简体中文输入", {120, 120, 3255, 255}, 0),
        Label(Label2, "Label2", "日文汉字（简体显示状态）", {5280, 120, 3135, 255}, 1),
        InputBox({120, 600, 3255, 2415}, 2),
        OutputBox(Text2, "Text2", {5040, 600, 3975, 2415}, 3),
        OutputBox(Text3, "Text3", {5040, 3720, 3975, 2415}, 4),
        Label(Label3, "Label3", "日文汉字（日文显示状态）", {5280, 3240, 3135, 255}, 5),
        Button(cmdSwitch, "cmdSwitch", "转换-->", {3600, 1560, 1215, 615}, 6),
        Button(cmdAbout, "cmdAbout", "关于", {120, 3120, 855, 495}, 7),
        Button(Command3, "Command3", "退出", {2400, 3120, 975, 495}, 8),
        Button(Command4, "Command4", std::string(kHideCaption), {4200, 3120, 735, 495}, 9),
        HelpBox({120, 3720, 4695, 2535}, 10),
    };
}

} // namespace

const std::array<ControlLayout, kControlCount>& FrmMainControls() {
    static const std::array<ControlLayout, kControlCount> controls = MakeControls();
    return controls;
}

const ControlLayout& LayoutOf(Control control) {
    return FrmMainControls()[static_cast<std::size_t>(control)];
}

} // namespace pelmora
