#pragma once

#include "frm_main_layout.h"
#include "frm_main_view.h"

#include <array>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::testing {

/// A view without a toolkit: keeps each control's text and visibility and the client height,
/// records the messages shown and the box writes in order, and can fail on demand.
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
        Text(box) = text;
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
    void EndProgram() override { ++endings; }

    std::string& Text(Control control) { return m_texts[static_cast<std::size_t>(control)]; }
    bool Visible(Control control) const { return m_visible[static_cast<std::size_t>(control)]; }

    std::vector<Control> boxWrites;
    std::vector<Message> messages;
    int clientHeight = kExpandedClientHeightTwips;
    int endings = 0;
    std::optional<Control> failingBoxRead;
    std::optional<Control> failingBoxWrite;
    /// Runs while a message is up, as a user acting on the window behind the box would.
    std::function<void()> whileMessageShows;

private:
    std::array<std::string, kControlCount> m_texts;
    std::array<bool, kControlCount> m_visible{};
};

} // namespace pelmora::testing
