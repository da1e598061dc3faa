#include "frm_main_layout.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

namespace pelmora {
namespace {

struct ExpectedControl {
    std::string_view name;
    ControlKind kind;
    std::string_view text;
    TwipRect place;
    int tabIndex;
};

bool SamePlace(const TwipRect& a, const TwipRect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

bool Overlap(const TwipRect& a, const TwipRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

TEST(FrmMainLayoutTest, ControlsAreTheLayoutTable) {
    const ExpectedControl expected[] = {
        {"Label1", ControlKind::Label, "简体中文输入", {120, 120, 3255, 255}, 0},
        {"Label2", ControlKind::Label, "日文汉字（简体显示状态）", {5280, 120, 3135, 255}, 1},
        {"Text1", ControlKind::TextBox, "", {120, 600, 3255, 2415}, 2},
        {"Text2", ControlKind::TextBox, "", {5040, 600, 3975, 2415}, 3},
        {"Text3", ControlKind::TextBox, "", {5040, 3720, 3975, 2415}, 4},
        {"Label3", ControlKind::Label, "日文汉字（日文显示状态）", {5280, 3240, 3135, 255}, 5},
        {"cmdSwitch", ControlKind::Button, "转换-->", {3600, 1560, 1215, 615}, 6},
        {"cmdAbout", ControlKind::Button, "关于", {120, 3120, 855, 495}, 7},
        {"Command3", ControlKind::Button, "退出", {2400, 3120, 975, 495}, 8},
        {"Command4", ControlKind::Button, "隐藏↑", {4200, 3120, 735, 495}, 9},
    };
    const auto& controls = FrmMainControls();
    for (std::size_t at = 0; at < std::size(expected); ++at) {
        SCOPED_TRACE(expected[at].name);
        EXPECT_EQ(controls[at].name, expected[at].name);
        EXPECT_EQ(controls[at].kind, expected[at].kind);
        EXPECT_EQ(controls[at].text, expected[at].text);
        EXPECT_TRUE(SamePlace(controls[at].place, expected[at].place));
        EXPECT_EQ(controls[at].tabIndex, expected[at].tabIndex);
    }
    const ControlLayout& help = LayoutOf(Control::txtHelp);
    EXPECT_EQ(help.name, "txtHelp");
    EXPECT_EQ(help.text, HelpText());
    EXPECT_TRUE(SamePlace(help.place, {120, 3720, 4695, 2535}));
    EXPECT_EQ(help.tabIndex, 10);
    EXPECT_EQ(help.scrollBars, ScrollBars::Vertical);
}

TEST(FrmMainLayoutTest, EveryControlIsWhereItsIdSaysAndTabOrderIsAPermutation) {
    std::set<std::string_view> names;
    std::set<int> tabIndices;
    for (std::size_t at = 0; at < kControlCount; ++at) {
        const auto id = static_cast<Control>(at);
        EXPECT_EQ(LayoutOf(id).id, id);
        names.insert(LayoutOf(id).name);
        tabIndices.insert(LayoutOf(id).tabIndex);
    }
    EXPECT_EQ(names.size(), kControlCount);
    EXPECT_EQ(tabIndices.size(), kControlCount);
    EXPECT_EQ(*tabIndices.begin(), 0);
    EXPECT_EQ(*tabIndices.rbegin(), static_cast<int>(kControlCount) - 1);
    EXPECT_NE(LayoutOf(kInitialFocus).kind, ControlKind::Label);
    EXPECT_EQ(LayoutOf(kInitialFocus).name, "Text1");
}

// The output boxes, read-only and alone with a context menu of their own, tell of it.
TEST(FrmMainLayoutTest, TextBoxesAloneHaveSongFontsAndOnlyTheOutputsAreReadOnly) {
    for (const ControlLayout& control : FrmMainControls()) {
        SCOPED_TRACE(control.name);
        const bool box = control.kind == ControlKind::TextBox;
        ASSERT_EQ(control.font.has_value(), box);
        EXPECT_EQ(control.multiLine, box);
        const bool output = control.id == Control::Text2 || control.id == Control::Text3;
        EXPECT_EQ(control.readOnly, output);
        EXPECT_EQ(control.toolTip, output ? kOutputBoxToolTip : "");
        EXPECT_EQ(control.ownContextMenu, output);
        EXPECT_EQ(control.scrollBars == ScrollBars::Vertical, control.id == Control::txtHelp);
        if (box) {
            EXPECT_EQ(control.font->face, "宋体");
            EXPECT_EQ(control.font->charSet, kGb2312CharSet);
            EXPECT_EQ(control.font->points, control.id == Control::txtHelp ? 10.5 : 9.75);
            if (control.id != Control::txtHelp) {
                EXPECT_EQ(control.text, "");
            }
        } else {
            EXPECT_FALSE(control.text.empty());
        }
    }
}

TEST(FrmMainLayoutTest, ControlsFitTheWindowAndNeverOverlap) {
    const auto& controls = FrmMainControls();
    for (const ControlLayout& control : controls) {
        SCOPED_TRACE(control.name);
        EXPECT_GE(control.place.left, 0);
        EXPECT_GE(control.place.top, 0);
        EXPECT_LE(control.place.left + control.place.width, kClientWidthTwips);
        EXPECT_LE(control.place.top + control.place.height, kExpandedClientHeightTwips);
        for (const ControlLayout& other : controls) {
            if (&other != &control) {
                EXPECT_FALSE(Overlap(control.place, other.place)) << other.name;
            }
        }
    }
}

// Collapsed, the window ends just below the row of buttons: the preview and help boxes (and
// only they) lie wholly outside it on a 96-dpi screen, every other control wholly inside.
TEST(FrmMainLayoutTest, CollapsedHeightCutsBelowTheButtonRow) {
    const int collapsed = PixelsFromTwips(kCollapsedClientHeightTwips);
    EXPECT_EQ(collapsed, 248);
    EXPECT_EQ(PixelsFromTwips(kClientWidthTwips), 611);
    EXPECT_EQ(PixelsFromTwips(kExpandedClientHeightTwips), 420);
    for (const ControlLayout& control : FrmMainControls()) {
        SCOPED_TRACE(control.name);
        const bool outside = control.id == Control::Text3 || control.id == Control::txtHelp;
        if (outside) {
            EXPECT_GE(PixelsFromTwips(control.place.top), collapsed);
        } else {
            EXPECT_LE(PixelsFromTwips(control.place.top + control.place.height), collapsed);
        }
    }
}

TEST(FrmMainLayoutTest, PixelsFromTwipsRoundsToTheNearestPixelAtEveryScale) {
    for (const int dpi : {72, 96, 120, 144, 168, 192, 240, 288}) {
        int previous = 0;
        for (int twips = 0; twips <= 20000; ++twips) {
            const int pixels = PixelsFromTwips(twips, dpi);
            ASSERT_LE(std::abs(pixels * kTwipsPerInch - twips * dpi), kTwipsPerInch / 2)
                << twips << " twips at " << dpi << " dpi";
            ASSERT_GE(pixels, previous);
            previous = pixels;
            ASSERT_EQ(PixelsFromTwips(-twips, dpi), -pixels);
        }
    }
    // At 96 dpi the layout is drawn in whole pixels: every value is a multiple of 15 twips.
    for (const ControlLayout& control : FrmMainControls()) {
        for (const int value :
             {control.place.left, control.place.top, control.place.width, control.place.height}) {
            EXPECT_EQ(PixelsFromTwips(value) * 15, value) << control.name;
        }
    }
}

} // namespace
} // namespace pelmora
