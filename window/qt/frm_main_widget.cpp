#include "frm_main_widget.h"

#include "box_text.h"
#include "message_box.h"
#include "window_texts.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

// The window's icon lives in the library's resources; a static library has to load them itself.
static void LoadWindowResources() {
    Q_INIT_RESOURCE(pelmora);
}

namespace pelmora {

namespace {

// Qt places widgets in logical pixels and scales them to the screen itself, so the layout is
// converted at the 96 dots per inch that logical pixels stand for.
int LogicalPixels(int twips) {
    return PixelsFromTwips(twips, 96);
}

QRect LogicalRect(const TwipRect& place) {
    return {LogicalPixels(place.left), LogicalPixels(place.top), LogicalPixels(place.width),
            LogicalPixels(place.height)};
}

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The face the layout asks for where the system has it, else a Song-style CJK font that looks
// like it. Qt fonts have no character set; the families chosen all cover GB2312.
QFont SongFont(const BoxFont& wanted) {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), FromUtf8(wanted.face),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    font.setPointSizeF(wanted.points);
    font.setWeight(QFont::Normal);
    return font;
}

// The program's icon in the two sizes desktops ask for.
QIcon WindowIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/pelmora_32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/pelmora_16.xpm"), QSize(16, 16));
    return icon;
}

QWidget* MakeLabel(const ControlLayout& layout, QWidget* parent) {
    auto* label = new QLabel(FromUtf8(layout.text), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* MakeButton(const ControlLayout& layout, QWidget* parent) {
    auto* button = new QPushButton(FromUtf8(layout.text), parent);
    // Outside a dialog a focused Qt button ignores Enter; the desktops Pelmora's users come
    // from press it, as Space does.
    button->setAutoDefault(true);
    return button;
}

QWidget* MakeTextBox(const ControlLayout& layout, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setTabChangesFocus(true);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(
        layout.scrollBars == ScrollBars::Vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (layout.readOnly) {
        box->setReadOnly(true);
        box->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    }
    if (layout.font) {
        box->setFont(SongFont(*layout.font));
    }
    if (!layout.toolTip.empty()) {
        box->setToolTip(FromUtf8(layout.toolTip));
    }
    box->setPlainText(FromUtf8(layout.text));
    return box;
}

QWidget* MakeControl(const ControlLayout& layout, QWidget* parent) {
    switch (layout.kind) {
    case ControlKind::Label:
        return MakeLabel(layout, parent);
    case ControlKind::Button:
        return MakeButton(layout, parent);
    case ControlKind::TextBox:
        return MakeTextBox(layout, parent);
    }
    throw std::logic_error("unknown control kind");
}

KeyModifiers ModifiersOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers held = key.modifiers();
    return {held.testFlag(Qt::ControlModifier), held.testFlag(Qt::ShiftModifier),
            held.testFlag(Qt::AltModifier)};
}

// The number of characters (code points) in the first `units` UTF-16 units of `text`.
std::size_t CharacterCount(const QString& text, qsizetype units) {
    return static_cast<std::size_t>(QStringView(text).left(units).toUcs4().size());
}

// Where the character at `position` of `box`'s text is drawn, in viewport coordinates: from
// the text cursor before it to the one after it, or its advance at the end of a visual line.
QRect DrawnCharacter(const QPlainTextEdit& box, const QString& text, qsizetype position) {
    QTextCursor before(box.document());
    before.setPosition(static_cast<int>(position));
    const QRect start = box.cursorRect(before);
    QTextCursor after(box.document());
    after.setPosition(static_cast<int>(position + 1));
    const QRect end = box.cursorRect(after);
    const int right =
        end.top() == start.top()
            ? end.left()
            : start.left() + QFontMetrics(box.font()).horizontalAdvance(text[position]);
    return QRect(QPoint(start.left(), start.top()), QPoint(right - 1, start.bottom()));
}

// The index, in characters of the box's text, of the character drawn under `point` (viewport
// coordinates); the text's length when no character is, as past the end of a line.
std::size_t CharacterIndexAt(const QPlainTextEdit& box, QPoint point) {
    const QString text = box.toPlainText();
    const qsizetype gap = box.cursorForPosition(point).position();
    // The gap nearest the point lies after the character under it when the point is in that
    // character's right half.
    for (const qsizetype position : {gap - 1, gap}) {
        const bool character = position >= 0 && position < text.size() && text[position] != '\n';
        if (character && DrawnCharacter(box, text, position).contains(point)) {
            return CharacterCount(text, position);
        }
    }
    return CharacterCount(text, text.size());
}

} // namespace

FrmMainWidget::FrmMainWidget(const std::filesystem::path& tableDirectory, QWidget* parent)
    : QWidget(parent), m_form(*this, {tableDirectory, TableReading::PerRecord}) {
    LoadWindowResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(FromUtf8(WindowTitle()));
    setWindowIcon(WindowIcon());
    setFixedSize(LogicalPixels(kClientWidthTwips), LogicalPixels(kExpandedClientHeightTwips));
    MakeControls();
    SetTabOrder();
    ConnectButtons();
    FilterBoxKeys();
    ConnectContextMenus();
    m_form.Form_Load();
    ControlWidget(kInitialFocus).setFocus();
}

void FrmMainWidget::MakeControls() {
    for (const ControlLayout& layout : FrmMainControls()) {
        QWidget* control = MakeControl(layout, this);
        control->setObjectName(FromUtf8(layout.name));
        control->setGeometry(LogicalRect(layout.place));
        m_controls[static_cast<std::size_t>(layout.id)] = control;
    }
}

void FrmMainWidget::SetTabOrder() {
    std::vector<const ControlLayout*> focusable;
    for (const ControlLayout& layout : FrmMainControls()) {
        if (layout.kind != ControlKind::Label) {
            focusable.push_back(&layout);
        }
    }
    std::sort(
        focusable.begin(), focusable.end(),
        [](const ControlLayout* a, const ControlLayout* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t next = 1; next < focusable.size(); ++next) {
        setTabOrder(&ControlWidget(focusable[next - 1]->id), &ControlWidget(focusable[next]->id));
    }
}

void FrmMainWidget::ConnectButtons() {
    for (const ControlLayout& layout : FrmMainControls()) {
        if (layout.kind == ControlKind::Button) {
            auto* button = static_cast<QPushButton*>(&ControlWidget(layout.id));
            connect(button, &QPushButton::clicked, this,
                    [this, id = layout.id] { m_form.Click(id); });
        }
    }
}

// Every text box's keys pass through eventFilter first, for the keys the window handles itself.
void FrmMainWidget::FilterBoxKeys() {
    for (const ControlLayout& layout : FrmMainControls()) {
        if (layout.kind == ControlKind::TextBox) {
            TextBox(layout.id).installEventFilter(this);
        }
    }
}

// The boxes with the window's own context menu tell it over which character it was asked for:
// by the mouse, the character under the pointer; from the keyboard, the character after the
// text cursor (see eventFilter).
void FrmMainWidget::ConnectContextMenus() {
    for (const ControlLayout& layout : FrmMainControls()) {
        if (layout.ownContextMenu) {
            QPlainTextEdit* box = &TextBox(layout.id);
            box->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(box, &QWidget::customContextMenuRequested, this,
                    [this, box, id = layout.id](const QPoint& point) {
                        m_contextMenuAt = box->viewport()->mapToGlobal(point);
                        m_form.ContextMenu(id, CharacterIndexAt(*box, point));
                    });
        }
    }
}

// A text box's Enter keys go to frmMain, which may use them (Ctrl+Enter in the input box);
// an unused one is typed as usual. The keys that ask for a context menu: the Menu key, which
// Qt delivers as a context menu event, and Shift+F10, which X11 and Wayland leave to each
// program. Both open the menu at the text cursor rather than at the centre of the cursor's
// rectangle that Qt gives.
bool FrmMainWidget::eventFilter(QObject* watched, QEvent* event) {
    const auto* key =
        event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent*>(event) : nullptr;
    const auto isKeyboardMenu = [event, key] {
        if (event->type() == QEvent::ContextMenu) {
            return static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
        }
        return key != nullptr && key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
    };
    const bool enter =
        key != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    for (const ControlLayout& layout : FrmMainControls()) {
        if (watched != m_controls[static_cast<std::size_t>(layout.id)]) {
            continue;
        }
        if (enter && m_form.KeyDown(layout.id, BoxKey::Enter, ModifiersOf(*key))) {
            return true;
        }
        if (layout.ownContextMenu && isKeyboardMenu()) {
            ContextMenuAtTextCursor(layout.id);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FrmMainWidget::ContextMenuAtTextCursor(Control box) {
    const QPlainTextEdit& edit = TextBox(box);
    const QTextCursor cursor = edit.textCursor();
    m_contextMenuAt = edit.viewport()->mapToGlobal(edit.cursorRect(cursor).bottomLeft());
    m_form.ContextMenu(box, CharacterCount(edit.toPlainText(), cursor.position()));
}

QWidget& FrmMainWidget::ControlWidget(Control control) const {
    return *m_controls[static_cast<std::size_t>(control)];
}

void FrmMainWidget::closeEvent(QCloseEvent* event) {
    event->accept();
    m_form.Form_Unload();
}

QPlainTextEdit& FrmMainWidget::TextBox(Control box) const {
    auto* edit = qobject_cast<QPlainTextEdit*>(&ControlWidget(box));
    if (edit == nullptr) {
        throw std::invalid_argument("not a text box");
    }
    return *edit;
}

std::string FrmMainWidget::BoxText(Control box) {
    const QString text = TextBox(box).toPlainText();
    return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

void FrmMainWidget::SetBoxText(Control box, std::string_view text) {
    TextBox(box).setPlainText(FromUtf8(text));
}

void FrmMainWidget::SetCaption(Control control, std::string_view caption) {
    QWidget& widget = ControlWidget(control);
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        label->setText(FromUtf8(caption));
    } else if (auto* button = qobject_cast<QPushButton*>(&widget)) {
        button->setText(FromUtf8(caption));
    } else {
        throw std::invalid_argument("no caption");
    }
}

bool FrmMainWidget::IsControlVisible(Control control) {
    return !ControlWidget(control).isHidden();
}

void FrmMainWidget::SetControlVisible(Control control, bool visible) {
    ControlWidget(control).setHidden(!visible);
}

void FrmMainWidget::SetClientHeight(int twips) {
    setFixedSize(LogicalPixels(kClientWidthTwips), LogicalPixels(twips));
}

void FrmMainWidget::ShowMessage(std::string_view title, std::string_view text) {
    ShowPlainMessage(this, FromUtf8(title), FromUtf8(text));
}

std::optional<std::size_t> FrmMainWidget::ShowContextMenu(Control box,
                                                          const std::vector<MenuItem>& items) {
    QMenu menu(&ControlWidget(box));
    return PickFromMenu(menu, items);
}

std::optional<std::size_t> FrmMainWidget::ShowEditingMenu(Control box,
                                                          const std::vector<MenuItem>& items) {
    // The box's own menu, whose entries carry out its commands when triggered.
    const std::unique_ptr<QMenu> menu(TextBox(box).createStandardContextMenu());
    return PickFromMenu(*menu, items);
}

// Adds `items` to `menu`, shows it where the context menu was asked for and returns the index
// of the item picked; nothing when the menu was dismissed or an entry it had before was picked.
std::optional<std::size_t> FrmMainWidget::PickFromMenu(QMenu& menu,
                                                       const std::vector<MenuItem>& items) {
    menu.setObjectName(QStringLiteral("contextMenu"));
    std::vector<QAction*> actions;
    for (const MenuItem& item : items) {
        if (item.separatorBefore && !menu.isEmpty()) {
            menu.addSeparator();
        }
        QAction* action = menu.addAction(FromUtf8(item.text));
        action->setEnabled(item.enabled);
        action->setCheckable(item.checkable || item.checked);
        action->setChecked(item.checked);
        actions.push_back(action);
    }
    // An entry can be triggered without the menu's own activation (by accessibility tools),
    // which exec does not return, so the pick is taken from the signal.
    QAction* picked = nullptr;
    connect(&menu, &QMenu::triggered, &menu, [&picked](QAction* action) { picked = action; });
    QAction* returned = menu.exec(m_contextMenuAt);
    picked = picked != nullptr ? picked : returned;
    const auto found = std::find(actions.begin(), actions.end(), picked);
    if (picked == nullptr || found == actions.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - actions.begin());
}

bool FrmMainWidget::BoxHasSelection(Control box) {
    return TextBox(box).textCursor().hasSelection();
}

void FrmMainWidget::RunBoxCommand(Control box, BoxCommand command) {
    QPlainTextEdit& edit = TextBox(box);
    switch (command) {
    case BoxCommand::Copy:
        edit.copy();
        break;
    case BoxCommand::SelectAll:
        edit.selectAll();
        break;
    }
}

std::string FrmMainWidget::ClipboardText() {
    const QString text = QGuiApplication::clipboard()->text();
    return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

void FrmMainWidget::EndProgram() {
    // Leaves every event loop, the main one and any modal box's, without asking any window.
    QCoreApplication::exit(0);
}

} // namespace pelmora
