#pragma once

#include "frm_main_layout.h"
#include "frm_main_view.h"

#include <array>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::testing {

/// A view without a toolkit: keeps each control's text and visibility and the client height,
/// records the messages and context menus shown and the box writes in order, picks from a menu
/// as told, and can fail on demand.
class FakeView final : public FrmMainView {
public:
    struct Message {
        std::string title;
        std::string text;
    };

    FakeView() {
        for (const ControlLayout& layout : FrmMainControls()) {
            Text(layout.id) = layout.text;
        }
        m_visible.fill(true);
    }

    std::string BoxText(Control box) override {
        if (failingBoxRead == box) {
            throw std::bad_alloc();
        }
        return Text(box);
    }
    void SetBoxText(Control box, std::string_view text) override {
        if (failingBoxWrite == box) {
            throw std::bad_alloc();
        }
        boxWrites.push_back(box);
        Text(box) = keptLineBreak.empty() ? std::string(text) : KeptLineBreaks(text, keptLineBreak);
    }
    void SetCaption(Control control, std::string_view caption) override { Text(control) = caption; }
    bool IsControlVisible(Control control) override { return Visible(control); }
    void SetControlVisible(Control control, bool visible) override {
        m_visible[static_cast<std::size_t>(control)] = visible;
    }
    void SetClientHeight(int twips) override { clientHeight = twips; }
    void ShowMessage(std::string_view title, std::string_view text) override {
        messages.push_back({std::string(title), std::string(text)});
        if (whileMessageShows) {
            whileMessageShows();
        }
    }
    std::optional<std::size_t> ShowContextMenu(Control box,
                                               const std::vector<MenuItem>& items) override {
        menus.push_back({box, items});
        return pickFromMenu ? pickFromMenu(items) : std::nullopt;
    }
    std::optional<std::size_t> ShowEditingMenu(Control box,
                                               const std::vector<MenuItem>& items) override {
        menus.push_back({box, items, true});
        return pickFromMenu ? pickFromMenu(items) : std::nullopt;
    }
    bool BoxHasSelection(Control box) override { return selected == box; }
    void RunBoxCommand(Control box, BoxCommand command) override {
        boxCommands.push_back({box, command});
    }
    std::string ClipboardText() override { return clipboard; }
    void EndProgram() override { ++endings; }

    /// `text` with every line break (CR LF, LF or CR) written as `lineBreak`.
    static std::string KeptLineBreaks(std::string_view text, std::string_view lineBreak) {
        std::string kept;
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text[at] == '\r' || text[at] == '\n') {
                at += text.substr(at, 2) == "\r\n" ? 1 : 0;
                kept += lineBreak;
            } else {
                kept += text[at];
            }
        }
        return kept;
    }

    std::string& Text(Control control) { return m_texts[static_cast<std::size_t>(control)]; }
    bool Visible(Control control) const { return m_visible[static_cast<std::size_t>(control)]; }

    struct Menu {
        Control box;
        std::vector<MenuItem> items;
        bool withBoxCommands = false; ///< after the box's own editing commands
    };

    std::vector<Control> boxWrites;
    std::vector<Menu> menus;
    std::vector<std::pair<Control, BoxCommand>> boxCommands;
    /// The box whose text is selected, if any.
    std::optional<Control> selected;
    /// What the user picks from a context menu, given its entries; nothing dismisses it.
    std::function<std::optional<std::size_t>(const std::vector<MenuItem>&)> pickFromMenu;
    std::vector<Message> messages;
    /// The text on the clipboard.
    std::string clipboard;
    int clientHeight = kExpandedClientHeightTwips;
    int endings = 0;
    std::optional<Control> failingBoxRead;
    std::optional<Control> failingBoxWrite;
    /// When set, the boxes keep every line break (CR LF, LF or CR) in this form, as a toolkit's
    /// boxes may.
    std::string keptLineBreak;
    /// Runs while a message is up, as a user acting on the window behind the box would.
    std::function<void()> whileMessageShows;

private:
    std::array<std::string, kControlCount> m_texts;
    std::array<bool, kControlCount> m_visible{};
};

} // namespace pelmora::testing
