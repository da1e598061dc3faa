#include "frm_main.h"

#include "box_text.h"
#include "error_descriptions.h"
#include "input_file.h"
#include "utf8.h"
#include "window_texts.h"
#include "word_chooser.h"

namespace pelmora {

frmMain::frmMain(FrmMainView& view, TableLocation tables)
    : m_view(view), m_tables(std::move(tables)) {}

void frmMain::Form_Load() {
    if (m_ended) {
        return;
    }
    try {
        m_last.reset();
        ++m_boxFillings;
        m_view.SetBoxText(Control::Text1, "");
        m_view.SetBoxText(Control::Text2, "");
        m_view.SetBoxText(Control::Text3, "");
    } catch (...) {
        ReportCurrentException(m_report, kFormLoadErrorTitle);
    }
}

void frmMain::OpenInputFile(const std::filesystem::path& path) {
    if (m_ended) {
        return;
    }
    const InputFile file = ReadInputFile(path);
    try {
        if (file.text) {
            m_view.SetBoxText(Control::Text1, *file.text);
        } else {
            m_view.ShowMessage(kInputFileTitle, file.failure);
        }
    } catch (...) {
        ReportCurrentException(m_report, kFormLoadErrorTitle);
    }
}

void frmMain::cmdSwitch_Click() {
    if (!m_ended) {
        RunConversion(RunKind::PerCharacter);
    }
}

void frmMain::mnuByWords_Click() {
    if (!m_ended) {
        RunConversion(RunKind::ByWords);
    }
}

void frmMain::mnuByNames_Click() {
    if (!m_ended) {
        RunConversion(RunKind::ByNames);
    }
}

void frmMain::RunConversion(RunKind kind) {
    BoxSource input(m_view, Control::Text1);
    BoxSink japaneseCode(m_view, Control::Text2);
    BoxSink preview(m_view, Control::Text3);
    ConvertText(kind, input, japaneseCode, preview, m_tablePaths, m_tables, m_report, m_kanji);
    // Setting a box's text is a step of the run, so its failure is the run's report.
    try {
        if (japaneseCode.Cleared()) {
            ++m_boxFillings;
            m_last = LastConversion{DecodeUtf8(input.ReadText()), japaneseCode.WrittenText(),
                                    preview.WrittenText()};
        }
        japaneseCode.Show();
        preview.Show();
    } catch (...) {
        ReportCurrentException(m_report, kConversionErrorTitle);
    }
}

void frmMain::mnuReadBackCodeText_Click() {
    if (!m_ended) {
        ReadBack(GameText::CodeText);
    }
}

void frmMain::mnuReadBackJapanese_Click() {
    if (!m_ended) {
        ReadBack(GameText::JapaneseText);
    }
}

// The clipboard's text goes into the box it was pasted in and is read back from there. After
// Japanese text the three boxes are as a conversion of the Chinese leaves them, one character
// each, so the candidate menu works on them; after code text they are not.
void frmMain::ReadBack(GameText kind) {
    try {
        const std::string pasted = m_view.ClipboardText();
        if (pasted.empty()) {
            return;
        }
        const Control pastedInto = kind == GameText::CodeText ? Control::Text2 : Control::Text3;
        m_last.reset();
        ++m_boxFillings;
        m_view.SetBoxText(pastedInto, pasted);
        BoxSource input(m_view, pastedInto);
        BoxSink chinese(m_view, Control::Text1);
        BoxSink codeText(m_view, Control::Text2);
        BoxSink japanese(m_view, Control::Text3);
        ReadBackOutputs outputs{nullptr, &chinese};
        if (kind == GameText::CodeText) {
            outputs.japanese = &japanese;
        } else {
            outputs.codeText = &codeText;
            outputs.preview = &japanese;
        }
        ReadBackText(kind, input, outputs, m_tables, m_report);
        if (kind == GameText::JapaneseText && codeText.Cleared()) {
            m_last = LastConversion{chinese.WrittenText(), codeText.WrittenText(),
                                    japanese.WrittenText()};
        }
        for (BoxSink* box : {&chinese, &codeText, &japanese}) {
            box->Show();
        }
    } catch (...) {
        ReportCurrentException(m_report, kReadBackErrorTitle);
    }
}

void frmMain::cmdAbout_Click() {
    if (!m_ended) {
        m_view.ShowMessage(kAboutTitle, AboutText());
    }
}

void frmMain::Command3_Click() {
    EndProgram();
}

void frmMain::Command4_Click() {
    if (m_ended) {
        return;
    }
    m_view.SetControlVisible(Control::Text3, !m_view.IsControlVisible(Control::Text3));
    const bool previewShown = m_view.IsControlVisible(Control::Text3);
    m_view.SetClientHeight(previewShown ? kExpandedClientHeightTwips : kCollapsedClientHeightTwips);
    m_view.SetCaption(Control::Command4, previewShown ? kHideCaption : kShowCaption);
}

void frmMain::Form_Unload() {
    EndProgram();
}

void frmMain::Text2_ContextMenu(std::size_t index) {
    OutputBoxMenu(Control::Text2, index);
}

void frmMain::Text3_ContextMenu(std::size_t index) {
    OutputBoxMenu(Control::Text3, index);
}

void frmMain::Text1_ContextMenu() {
    if (m_ended) {
        return;
    }
    try {
        const MenuItem jisX0208{std::string(kJisX0208Item), true, m_kanji == KanjiSet::JisX0208,
                                true, true};
        const std::optional<std::size_t> picked =
            m_view.ShowEditingMenu(Control::Text1, {jisX0208});
        if (picked == 0u) {
            mnuJisX0208_Click();
        }
    } catch (...) {
        ReportCurrentException(m_report, ContextMenuErrorTitle(LayoutOf(Control::Text1).name));
    }
}

void frmMain::mnuJisX0208_Click() {
    if (!m_ended) {
        m_kanji = m_kanji == KanjiSet::JisX0208 ? KanjiSet::CodePage932 : KanjiSet::JisX0208;
    }
}

bool frmMain::Text1_KeyDown(BoxKey key, KeyModifiers modifiers) {
    const bool controlEnter =
        key == BoxKey::Enter && modifiers.control && !modifiers.shift && !modifiers.alt;
    if (m_ended || !controlEnter) {
        return false;
    }
    cmdSwitch_Click();
    return true;
}

bool frmMain::KeyDown(Control box, BoxKey key, KeyModifiers modifiers) {
    return box == Control::Text1 && Text1_KeyDown(key, modifiers);
}

void frmMain::Click(Control button) {
    switch (button) {
    case Control::cmdSwitch:
        cmdSwitch_Click();
        break;
    case Control::cmdAbout:
        cmdAbout_Click();
        break;
    case Control::Command3:
        Command3_Click();
        break;
    case Control::Command4:
        Command4_Click();
        break;
    default:
        break;
    }
}

void frmMain::ContextMenu(Control box, std::size_t index) {
    switch (box) {
    case Control::Text1:
        Text1_ContextMenu();
        break;
    case Control::Text2:
        Text2_ContextMenu(index);
        break;
    case Control::Text3:
        Text3_ContextMenu(index);
        break;
    default:
        break;
    }
}

void frmMain::OutputBoxMenu(Control box, std::size_t boxIndex) {
    if (m_ended) {
        return;
    }
    const std::string errorTitle = ContextMenuErrorTitle(LayoutOf(box).name);
    try {
        const std::uint64_t fillingsBefore = m_boxFillings;
        const std::optional<std::size_t> at = ConvertedCharacterAt(box, boxIndex);
        const std::vector<CandidateEntry> candidates =
            at ? LoadCandidateEntries(*at, errorTitle) : std::vector<CandidateEntry>();
        // A report may have been up while the candidates were read, and the menu is up until
        // the user picks: either time the boxes may change or the window go.
        const auto stillFits = [&] { return !m_ended && m_boxFillings == fillingsBefore; };
        if (!stillFits()) {
            return;
        }
        const std::vector<MenuEntry> entries = MenuEntries(box, at, candidates);
        std::vector<MenuItem> items;
        for (const MenuEntry& entry : entries) {
            items.push_back(entry.item);
        }
        const std::optional<std::size_t> picked = m_view.ShowContextMenu(box, items);
        if (picked && *picked < entries.size() && entries[*picked].onPick && stillFits()) {
            entries[*picked].onPick();
        }
    } catch (...) {
        ReportCurrentException(m_report, errorTitle);
    }
}

std::optional<std::size_t> frmMain::ConvertedCharacterAt(Control box, std::size_t boxIndex) {
    if (!m_last) {
        return std::nullopt;
    }
    const std::u32string& converted =
        box == Control::Text2 ? m_last->japaneseCode : m_last->preview;
    const std::optional<std::size_t> at =
        ConvertedIndexAt(DecodeUtf8(m_view.BoxText(box)), converted, boxIndex);
    return at && *at < m_last->input.size() ? at : std::nullopt;
}

// The candidates within the kanji set, with the words that suggest them, read afresh from
// beside the tables like the tables themselves. Missing files offer nothing; a damaged one is
// reported and the menu still opens, without candidates or without their words.
std::vector<CandidateEntry> frmMain::LoadCandidateEntries(std::size_t at,
                                                          std::string_view errorTitle) {
    // The characters that a word across `at` can hold, kept apart from the last conversion,
    // which a report below may outlast.
    const std::size_t from = at >= WordChooser::kLookahead ? at - WordChooser::kLookahead : 0;
    const std::u32string around = m_last->input.substr(from, 2 * WordChooser::kLookahead + 1);
    const KanjiChoice shown{m_last->japaneseCode[at], m_last->preview[at]};
    CandidateTable candidates;
    WordModel words;
    try {
        candidates = CandidateTable::Load(m_tables.directory / kCandidateTableName);
        if (m_kanji == KanjiSet::JisX0208) {
            candidates = candidates.OnlyJisX0208();
        }
        words = WordModel::Load(m_tables.directory / kWordTableName);
    } catch (...) {
        ReportCurrentException(m_report, errorTitle);
    }
    return CandidateEntries(around, at - from, shown, candidates, words);
}

std::vector<frmMain::MenuEntry>
frmMain::MenuEntries(Control box, std::optional<std::size_t> at,
                     const std::vector<CandidateEntry>& candidates) {
    std::vector<MenuEntry> entries;
    for (const CandidateEntry& candidate : candidates) {
        entries.push_back(
            {{candidate.text, true, candidate.shown, false},
             [this, at = *at, kanji = candidate.choice] { mnuCandidate_Click(at, kanji); }});
    }
    const bool lineBreak = at && (m_last->input[*at] == U'\r' || m_last->input[*at] == U'\n');
    if (at && candidates.empty() && !lineBreak) {
        entries.push_back({{std::string(kNoCandidatesItem), false, false, false}, {}});
    }
    entries.push_back({{std::string(kByWordsItem), true, false, !entries.empty()},
                       [this] { mnuByWords_Click(); }});
    entries.push_back(
        {{std::string(kByNamesItem), true, false, false}, [this] { mnuByNames_Click(); }});
    const bool codeBox = box == Control::Text2;
    entries.push_back(
        {{std::string(codeBox ? kReadBackCodeTextItem : kReadBackJapaneseItem),
          !m_view.ClipboardText().empty(), false, true},
         [this, codeBox] { codeBox ? mnuReadBackCodeText_Click() : mnuReadBackJapanese_Click(); }});
    entries.push_back({{std::string(kCopyItem), m_view.BoxHasSelection(box), false, true},
                       [this, box] { m_view.RunBoxCommand(box, BoxCommand::Copy); }});
    entries.push_back({{std::string(kSelectAllItem), true, false, false},
                       [this, box] { m_view.RunBoxCommand(box, BoxCommand::SelectAll); }});
    return entries;
}

void frmMain::mnuCandidate_Click(std::size_t at, const KanjiChoice& kanji) {
    char32_t& japaneseCode = m_last->japaneseCode[at];
    char32_t& preview = m_last->preview[at];
    if (japaneseCode == kanji.japaneseCode && preview == kanji.preview) {
        return;
    }
    japaneseCode = kanji.japaneseCode;
    preview = kanji.preview;
    ++m_boxFillings;
    m_view.SetBoxText(Control::Text2, EncodeUtf8(m_last->japaneseCode));
    m_view.SetBoxText(Control::Text3, EncodeUtf8(m_last->preview));
}

void frmMain::EndProgram() {
    if (!m_ended) {
        m_ended = true;
        m_view.EndProgram();
    }
}

void frmMain::ViewReport::Show(std::string_view title, std::string_view text) {
    if (!m_form.m_ended) {
        m_form.m_view.ShowMessage(title, text);
    }
}

std::string frmMain::ViewReport::Describe(const ErrorInfo& error) const {
    return ChineseErrorDescription(error);
}

} // namespace pelmora
