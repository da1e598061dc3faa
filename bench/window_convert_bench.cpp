// Times the window's Convert click on a long input: the conversion run over tables read record
// by record, and putting both results into their boxes. With --words FILE, FILE becomes the
// word model beside the tables and "按词语选字" from the output box's context menu is timed too.
// Prints figures; asserts nothing.
// Usage: window_convert_bench [--words FILE]

#include "code_page.h"
#include "conversion.h"
#include "error_report.h"
#include "frm_main_widget.h"
#include "program_directory.h"
#include "string_text.h"
#include "table_files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <vector>

namespace {

constexpr qsizetype kInputLength = 100'000;
constexpr int kRuns = 5;

// Every character of the GB2312 hanzi rows (lead bytes B0 to F7) as a key, ascending by code,
// each mapped to 東 (Shift-JIS 93 8C): a key table the size of a real one, and record pairs
// that keep the tables' promise, as the run checks.
std::vector<char32_t> WriteBenchTables(const std::filesystem::path& directory) {
    std::string records;
    std::vector<char32_t> keys;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const pelmora::Record record{static_cast<std::uint8_t>(lead),
                                         static_cast<std::uint8_t>(trail)};
            const char32_t character = pelmora::RecordCharacter(record);
            if (character != pelmora::kPlaceholder) {
                records += static_cast<char>(lead);
                records += static_cast<char>(trail);
                keys.push_back(character);
            }
        }
    }
    std::string eastInCodePage936;
    pelmora::AppendCodePage936(U'東', eastInCodePage936);
    std::string japaneseCodes;
    std::string previews;
    for (std::size_t key = 0; key < keys.size(); ++key) {
        japaneseCodes += "\x93\x8C";
        previews += eastInCodePage936;
    }
    std::ofstream(directory / pelmora::kKeyTableName, std::ios::binary) << records;
    std::ofstream(directory / pelmora::kJapaneseCodeTableName, std::ios::binary) << japaneseCodes;
    std::ofstream(directory / pelmora::kPreviewTableName, std::ios::binary) << previews;
    return keys;
}

// `kInputLength` characters cycling through the keys, with a line break after every
// `lineLength` characters (none when 0).
QString BenchInput(const std::vector<char32_t>& keys, qsizetype lineLength) {
    QString input;
    input.reserve(kInputLength);
    std::size_t next = 0;
    while (input.size() < kInputLength) {
        if (lineLength > 0 && input.size() % (lineLength + 1) == lineLength) {
            input += QLatin1Char('\n');
        } else {
            input += QChar::fromUcs4(keys[next++ % keys.size()]);
        }
    }
    return input;
}

// Prints failures instead of opening a message box that nobody would close.
class PrintedReport final : public pelmora::ErrorReport {
public:
    void Show(std::string_view title, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
    }
};

// Wall time and this process's processor time of one step, in milliseconds: on a machine shared
// with other work the wall time grows with the load, the processor time hardly.
struct Timing {
    double wall = 0;
    double processor = 0;
};

class Stopwatch {
public:
    Stopwatch() : m_clock(std::clock()) { m_timer.start(); }
    Timing Elapsed() const {
        return {static_cast<double>(m_timer.nsecsElapsed()) / 1e6,
                1000.0 * static_cast<double>(std::clock() - m_clock) / CLOCKS_PER_SEC};
    }

private:
    QElapsedTimer m_timer;
    std::clock_t m_clock;
};

void PrintFigures(const char* what, const char* shape, qsizetype inputLength,
                  std::vector<Timing> timings) {
    std::sort(timings.begin(), timings.end(),
              [](const Timing& a, const Timing& b) { return a.wall < b.wall; });
    std::vector<double> processor;
    for (const Timing& timing : timings) {
        processor.push_back(timing.processor);
    }
    std::sort(processor.begin(), processor.end());
    std::printf("%-22s %-24s %7lld chars  best %7.1f ms  median %7.1f ms  processor median "
                "%7.1f ms  (%zu runs)\n",
                what, shape, static_cast<long long>(inputLength), timings.front().wall,
                timings[timings.size() / 2].wall, processor[processor.size() / 2], timings.size());
}

// The conversion run alone, into plain string sinks: what the click costs without the boxes.
void TimeRunAlone(pelmora::RunKind kind, const QString& input, const char* shape,
                  pelmora::ErrorReport& report) {
    std::vector<Timing> timings;
    for (int run = 0; run < kRuns; ++run) {
        pelmora::testing::StringSource source(input.toStdString());
        pelmora::testing::StringSink japaneseCode;
        pelmora::testing::StringSink preview;
        pelmora::TablePaths paths;
        const Stopwatch stopwatch;
        pelmora::ConvertText(kind, source, japaneseCode, preview, paths,
                             {pelmora::ProgramDirectory(), pelmora::TableReading::PerRecord},
                             report);
        timings.push_back(stopwatch.Elapsed());
    }
    PrintFigures(kind == pelmora::RunKind::PerCharacter ? "conversion run alone" : "word run alone",
                 shape, input.size(), std::move(timings));
}

// The window shows a failure in a modal box; this closes each one and prints it instead, so a
// run that fails does not wait for a user.
void PrintAndCloseMessageBoxes(QObject* owner) {
    auto* closer = new QTimer(owner);
    QObject::connect(closer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(box->windowTitle()),
                         qPrintable(box->text()));
            box->close();
        }
    });
    closer->start(100);
}

void TimeConvert(QWidget& window, const QString& input, const char* shape) {
    auto* text1 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    auto* text2 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    auto* convert = window.findChild<QPushButton*>(QStringLiteral("cmdSwitch"));
    text1->setPlainText(input);
    std::vector<Timing> timings;
    for (int run = 0; run < kRuns; ++run) {
        text2->clear();
        QCoreApplication::processEvents();
        const Stopwatch stopwatch;
        convert->click();
        QCoreApplication::processEvents(); // includes laying out and painting the results
        timings.push_back(stopwatch.Elapsed());
    }
    if (text2->toPlainText().size() != input.size()) {
        std::printf("unexpected output length %lld\n",
                    static_cast<long long>(text2->toPlainText().size()));
    }
    PrintFigures("Convert click", shape, input.size(), std::move(timings));
}

// "按词语选字" as a user picks it: the output box's context menu, then the item.
void TimeByWords(QWidget& window, const QString& input, const char* shape) {
    auto* text1 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
    auto* text2 = window.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    text1->setPlainText(input);
    std::vector<Timing> timings;
    for (int run = 0; run < kRuns; ++run) {
        text2->clear();
        QCoreApplication::processEvents();
        QTimer::singleShot(0, [] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) {
                    if (action->text() == QStringLiteral("按词语选字")) {
                        action->trigger();
                    }
                }
                menu->close();
            }
        });
        const Stopwatch stopwatch;
        emit text2->customContextMenuRequested(QPoint(4, 4));
        QCoreApplication::processEvents();
        timings.push_back(stopwatch.Elapsed());
    }
    if (text2->toPlainText().size() != input.size()) {
        std::printf("unexpected output length %lld\n",
                    static_cast<long long>(text2->toPlainText().size()));
    }
    PrintFigures("按词语选字 (menu)", shape, input.size(), std::move(timings));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const std::vector<char32_t> keys = WriteBenchTables(pelmora::ProgramDirectory());
    std::printf("key table: %zu records, read record by record\n", keys.size());
    const std::filesystem::path wordModel = pelmora::ProgramDirectory() / pelmora::kWordTableName;
    std::filesystem::remove(wordModel);
    const bool byWords = argc > 2 && std::string(argv[1]) == "--words";
    if (byWords) {
        std::filesystem::copy_file(argv[2], wordModel);
    }
    PrintedReport report;
    pelmora::FrmMainWidget window(pelmora::ProgramDirectory());
    window.show();
    PrintAndCloseMessageBoxes(&window);
    for (const auto& [lineLength, shape] : {std::pair{qsizetype{40}, "lines of 40 characters"},
                                            std::pair{qsizetype{0}, "one line"}}) {
        const QString input = BenchInput(keys, lineLength);
        TimeRunAlone(pelmora::RunKind::PerCharacter, input, shape, report);
        TimeConvert(window, input, shape);
        if (byWords) {
            TimeRunAlone(pelmora::RunKind::ByWords, input, shape, report);
            TimeByWords(window, input, shape);
        }
    }
    return 0;
}
