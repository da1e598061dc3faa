#include "frm_main_layout.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

namespace pelmora {
namespace {

bool Overlap(const TwipRect& a, const TwipRect& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

int Right(Control control) {
    return LayoutOf(control).place.left + LayoutOf(control).place.width;
}

int Bottom(Control control) {
    return LayoutOf(control).place.top + LayoutOf(control).place.height;
}

// The window reads in the order it is used: input at top left, the Convert button between it
// and the code text at top right, the preview at bottom right and the help at bottom left, each
// box under its caption, and one row of buttons below the upper boxes: About and Exit under the
// input box, Hide/Show under Convert.
TEST(FrmMainLayoutTest, ReadsInTheOrderItIsUsed) {
    using enum Control;
    const auto place = [](Control control) { return LayoutOf(control).place; };
    EXPECT_EQ(place(Text1).top, place(Text2).top);
    EXPECT_LT(Right(Text1), place(cmdSwitch).left);
    EXPECT_LT(Right(cmdSwitch), place(Text2).left);
    EXPECT_GT(place(cmdSwitch).top, place(Text1).top);
    EXPECT_LT(Bottom(cmdSwitch), Bottom(Text1));
    EXPECT_EQ(place(Text3).left, place(Text2).left);
    EXPECT_EQ(place(txtHelp).left, place(Text1).left);
    EXPECT_EQ(place(txtHelp).top, place(Text3).top);
    for (const auto& [label, box] :
         {std::pair{Label1, Text1}, std::pair{Label2, Text2}, std::pair{Label3, Text3}}) {
        EXPECT_LE(Bottom(label), place(box).top) << LayoutOf(label).name;
    }
    for (const Control button : {cmdAbout, Command3, Command4}) {
        SCOPED_TRACE(LayoutOf(button).name);
        EXPECT_EQ(place(button).top, place(cmdAbout).top);
        EXPECT_GT(place(button).top, Bottom(Text1));
        EXPECT_LT(Bottom(button), place(Text3).top);
        // Hide/Show starts under Convert; About and Exit lie wholly under the input box.
        const Control over = button == Command4 ? cmdSwitch : Text1;
        EXPECT_GE(place(button).left, place(over).left);
        EXPECT_LE(button == Command4 ? place(button).left : Right(button), Right(over));
    }
    EXPECT_EQ(LayoutOf(txtHelp).text, HelpText());
    EXPECT_EQ(LayoutOf(Command4).text, kHideCaption);
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

// The output boxes, read-only and with a context menu of the window's own, tell of it; the
// input box's menu is the window's too, around the box's own commands.
TEST(FrmMainLayoutTest, TextBoxesAloneHaveSongFontsAndOnlyTheOutputsAreReadOnly) {
    for (const ControlLayout& control : FrmMainControls()) {
        SCOPED_TRACE(control.name);
        const bool box = control.kind == ControlKind::TextBox;
        ASSERT_EQ(control.font.has_value(), box);
        EXPECT_EQ(control.multiLine, box);
        const bool output = control.id == Control::Text2 || control.id == Control::Text3;
        EXPECT_EQ(control.readOnly, output);
        EXPECT_EQ(control.toolTip, output ? kOutputBoxToolTip : "");
        EXPECT_EQ(control.ownContextMenu, output || control.id == Control::Text1);
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
