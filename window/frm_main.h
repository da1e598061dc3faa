#pragma once

#include "candidate_menu.h"
#include "char_tables.h"
#include "conversion.h"
#include "error_report.h"
#include "frm_main_view.h"
#include "reverse_run.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pelmora {

/// Pelmora's one window as behaviour, whatever the toolkit that draws it: its load handler,
/// the Convert, About, Exit and Hide/Show commands, the output boxes' context menu and the end
/// of the program. Each handler runs on the event thread, one at a time, and works only
/// through the view. Once the program has ended, every later event is ignored, so nothing
/// outlives the window.
class frmMain {
public:
    /// The window drawn by `view`, which must outlive it, converting with the tables at
    /// `tables`.
    frmMain(FrmMainView& view, TableLocation tables);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    /// Load of the window: empties Text1, Text2 and Text3. A failure is reported as
    /// "Error in FormLoad" and the window is shown anyway.
    void Form_Load();
    /// After the load: puts the text of the file at `path` into Text1, read as ReadInputFile
    /// reads it (the file the program was started with), or says in a message box titled
    /// kInputFileTitle why it cannot. A box that cannot take the text is "Error in FormLoad".
    void OpenInputFile(const std::filesystem::path& path);
    /// Convert: the text of Text1 into Text2 (Japanese code text) and Text3 (preview).
    void cmdSwitch_Click();
    /// About: the About message in a modal box.
    void cmdAbout_Click();
    /// Exit: ends the program at once.
    void Command3_Click();
    /// Hide/Show: hides or shows the preview box and shrinks or restores the window.
    void Command4_Click();
    /// The user closed the window: that too ends the program.
    void Form_Unload();

    /// The context menu of an output box over the character at `index` of its text (past the
    /// end: over no character). It offers the kanji that character's input character can take,
    /// from candidates.dat beside the tables, and picking one puts it into both boxes; then
    /// "按词语选字", "按人名选字", the box's way to read a game's text back from the clipboard
    /// (while it holds text) and the box's Copy and Select All. A failure is reported as
    /// "Error in Text2ContextMenu" (or Text3) and ends the handler.
    void Text2_ContextMenu(std::size_t index);
    void Text3_ContextMenu(std::size_t index);
    /// "按词语选字": the text of Text1 converted by the word-aware run into Text2 and Text3.
    void mnuByWords_Click();
    /// "按人名选字": the text of Text1, one Chinese personal name per line, converted by the
    /// names run into Text2 and Text3.
    void mnuByNames_Click();
    /// "粘贴乱码并还原" (the code box's menu): the clipboard's text, garbled text copied from a
    /// Japanese program on this desktop, into Text2, read back by the reverse run: the Japanese
    /// text into Text3 and the Simplified Chinese into Text1.
    void mnuReadBackCodeText_Click();
    /// "粘贴日文并还原" (the preview box's menu): the clipboard's Japanese text read back: the
    /// Simplified Chinese into Text1, and into Text2 and Text3 the code text and preview that
    /// show the Japanese text in a game, as a conversion would leave them.
    void mnuReadBackJapanese_Click();

    /// The context menu of the input box: the box's own editing commands, then the checkable
    /// kJisX0208Item, checked while the window gives JIS X 0208 kanji only. A failure is
    /// reported as "Error in Text1ContextMenu" and ends the handler.
    void Text1_ContextMenu();
    /// kJisX0208Item: turns JIS X 0208 only on or off, for this session only (the program keeps
    /// no settings). While on, Convert, "按词语选字" and "按人名选字" give only JIS X 0208
    /// kanji (KanjiSet::JisX0208) and the output boxes' menus offer no kanji beyond it; the
    /// boxes keep what they show until the next conversion.
    void mnuJisX0208_Click();

    /// A key pressed in the input box: Ctrl+Enter runs Convert, as the button does, so the
    /// user need not leave the box for it. True when the key was used; the view then drops it,
    /// so no line break is typed.
    bool Text1_KeyDown(BoxKey key, KeyModifiers modifiers);

    /// The Click of `button`, passed to its handler; a view forwards its buttons' clicks here.
    void Click(Control button);
    /// A key pressed in the text box `box`, passed to the box's handler; true when it used the
    /// key, which the view must then drop. A view forwards its text boxes' Enter keys here.
    bool KeyDown(Control box, BoxKey key, KeyModifiers modifiers);
    /// A context menu asked for in `box` over the character at `index` of its text, passed to
    /// the box's handler; a view forwards right-clicks in the boxes with the window's own menu
    /// (the input box and the output boxes) here.
    void ContextMenu(Control box, std::size_t index);

    /// The table paths the last conversion formed (pinfile, pjfile, jjfile).
    const pelmora::TablePaths& TablePaths() const { return m_tablePaths; }
    /// Whether the program has ended (Exit, or the window closed).
    bool Ended() const { return m_ended; }
    /// The kanji the window's conversions give now.
    KanjiSet Kanji() const { return m_kanji; }

private:
    // Every failure of the window in a message box, described in Chinese; silent once the
    // program has ended, so no box outlives the window.
    class ViewReport final : public ErrorReport {
    public:
        explicit ViewReport(frmMain& form) : m_form(form) {}
        void Show(std::string_view title, std::string_view text) override;
        std::string Describe(const ErrorInfo& error) const override;

    private:
        frmMain& m_form;
    };

    // What the last run that filled the output boxes read and wrote, one output character per
    // input character, so that a character in the boxes leads back to the input character it
    // came from, also after Text1 was edited.
    struct LastConversion {
        std::u32string input;
        std::u32string japaneseCode;
        std::u32string preview;
    };

    // One entry of an output box's context menu and what picking it does (nothing for an
    // entry that cannot be picked).
    struct MenuEntry {
        MenuItem item;
        std::function<void()> onPick;
    };

    void RunConversion(RunKind kind);
    void ReadBack(GameText kind);
    void OutputBoxMenu(Control box, std::size_t boxIndex);
    std::optional<std::size_t> ConvertedCharacterAt(Control box, std::size_t boxIndex);
    std::vector<CandidateEntry> LoadCandidateEntries(std::size_t at, std::string_view errorTitle);
    std::vector<MenuEntry> MenuEntries(Control box, std::optional<std::size_t> at,
                                       const std::vector<CandidateEntry>& candidates);
    void mnuCandidate_Click(std::size_t at, const KanjiChoice& kanji);
    void EndProgram();

    FrmMainView& m_view;
    TableLocation m_tables;
    ViewReport m_report{*this};
    pelmora::TablePaths m_tablePaths;
    std::optional<LastConversion> m_last;
    KanjiSet m_kanji = KanjiSet::CodePage932;
    std::uint64_t m_boxFillings = 0; // counts every change of the output boxes' text
    bool m_ended = false;
};

} // namespace pelmora
