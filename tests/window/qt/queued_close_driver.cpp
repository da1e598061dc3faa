// Loaded into the real pelmora program (LD_PRELOAD) by the program test. Once the window is up,
// it queues what an impatient user does: a long text, five Convert clicks, closing the window
// and a click on About, all waiting while the first conversion runs. Then it plays the user who
// answers every box that still shows, and reports on standard error each window that appears
// after the main window was closed.

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

constexpr int kPastedLength = 100'000;
constexpr int kConvertClicks = 5;

QWidget* MainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("frmMain")) {
            return widget;
        }
    }
    return nullptr;
}

// `kPastedLength` characters of Chinese text in lines of 40, as a pasted document comes.
QString PastedText() {
    const QString line = QStringLiteral(
        "刘德华在广东发展，龙之谷！东西南北中发白，一二三四五六七八九十百千万东南西北中\n");
    QString text;
    while (text.size() < kPastedLength) {
        text += line;
    }
    text.truncate(kPastedLength);
    return text;
}

void PostClick(QWidget* button) {
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

// Notices the main window closing, then every window shown after it: says so and closes it a
// moment later, as a user clicking OK would.
class AfterCloseWatcher final : public QObject {
public:
    AfterCloseWatcher(QWidget* mainWindow, QObject* owner)
        : QObject(owner), m_mainWindow(mainWindow) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || !widget->isWindow()) {
            return false;
        }
        if (widget == m_mainWindow && event->type() == QEvent::Hide) {
            m_mainClosed = true;
            std::fprintf(stderr, "driver: main window closed\n");
        } else if (widget != m_mainWindow && event->type() == QEvent::Show && m_mainClosed) {
            std::fprintf(stderr, "driver: window shown after the main window closed: %s\n",
                         qPrintable(widget->windowTitle()));
            QTimer::singleShot(200, widget, &QWidget::close);
        }
        return false;
    }

private:
    QWidget* m_mainWindow;
    bool m_mainClosed = false;
};

void QueueTheClicks() {
    QWidget* window = MainWindow();
    auto* input = window ? window->findChild<QPlainTextEdit*>(QStringLiteral("Text1")) : nullptr;
    auto* convert = window ? window->findChild<QPushButton*>(QStringLiteral("cmdSwitch")) : nullptr;
    auto* about = window ? window->findChild<QPushButton*>(QStringLiteral("cmdAbout")) : nullptr;
    if (input == nullptr || convert == nullptr || about == nullptr) {
        std::fprintf(stderr, "driver: the window or its controls were not found\n");
        QCoreApplication::exit(3);
        return;
    }
    qApp->installEventFilter(new AfterCloseWatcher(window, qApp));
    input->setPlainText(PastedText());
    for (int click = 0; click < kConvertClicks; ++click) {
        PostClick(convert);
    }
    // What the window system delivers when the user clicks the title bar's close button.
    QCoreApplication::postEvent(window->windowHandle(), new QCloseEvent);
    PostClick(about);
    std::fprintf(stderr, "driver: queued\n");
}

void QueueWhenTheWindowIsUp() {
    QTimer::singleShot(0, QCoreApplication::instance(), QueueTheClicks);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(QueueWhenTheWindowIsUp)
