// Runs the real pelmora program: without a display, and with an impatient user's clicks queued
// behind a long conversion while the window is closed.

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The environment of a desktop session with every way to a display taken away.
QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"}) {
        environment.remove(QString::fromLatin1(name));
    }
    // The sanitizer build's runtime must otherwise come first among the preloaded libraries.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) +
                           QStringLiteral(":verify_asan_link_order=0"));
    return environment;
}

// An X display number nobody serves on this machine.
QString UnservedDisplay() {
    for (int number = 97; number < 200; ++number) {
        if (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) &&
            !QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))) {
            return QStringLiteral(":%1").arg(number);
        }
    }
    return {};
}

struct Finished {
    bool ended = false;
    int status = -1;
    QProcess::ExitStatus how = QProcess::CrashExit;
    QString output;
    QString errors;
    qint64 milliseconds = 0;
};

Finished RunPelmora(const QProcessEnvironment& environment, int timeoutMs,
                    const QStringList& arguments = {}) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(PELMORA_PROGRAM), arguments);
    Finished finished;
    finished.ended = program.waitForStarted(timeoutMs) && program.waitForFinished(timeoutMs);
    if (!finished.ended) {
        program.kill();
        program.waitForFinished(5000);
    }
    finished.milliseconds = clock.elapsed();
    finished.status = program.exitCode();
    finished.how = program.exitStatus();
    finished.output = QString::fromUtf8(program.readAllStandardOutput());
    finished.errors = QString::fromUtf8(program.readAllStandardError());
    return finished;
}

} // namespace

class PelmoraProgramTest : public QObject {
    Q_OBJECT

private slots:
    void withoutDisplaySaysSoAndExitsWithOne_data();
    void withoutDisplaySaysSoAndExitsWithOne();
    void helpAndVersionPrintWithoutOpeningTheWindow_data();
    void helpAndVersionPrintWithoutOpeningTheWindow();
    void closingTheWindowEndsTheProgramWithClicksQueued();
    void aFileGivenOpensInTheInputBox();
};

void PelmoraProgramTest::withoutDisplaySaysSoAndExitsWithOne_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("reason");
    QTest::newRow("DISPLAY unset") << QString() << QStringLiteral("DISPLAY is not set");
    const QString unserved = UnservedDisplay();
    QTest::newRow("DISPLAY names no server")
        << unserved << QStringLiteral("the display \"%1\" does not answer").arg(unserved);
}

void PelmoraProgramTest::withoutDisplaySaysSoAndExitsWithOne() {
    QFETCH(QString, display);
    QFETCH(QString, reason);
    QProcessEnvironment environment = WithoutDisplay();
    if (!display.isEmpty()) {
        environment.insert(QStringLiteral("DISPLAY"), display);
    }
    const Finished finished = RunPelmora(environment, 30000);
    QVERIFY2(finished.ended, "pelmora did not end");
    QCOMPARE(finished.how, QProcess::NormalExit); // not Qt's abort
    QCOMPARE(finished.status, 1);
    const QStringList lines = finished.errors.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].startsWith(QStringLiteral("pelmora: no usable display (") + reason + ")"),
             qPrintable(finished.errors));
    QVERIFY(lines[0].contains(QStringLiteral("pelmora-convert")));
    QVERIFY(lines[1].contains(QStringLiteral("pelmora-convert")));
}

void PelmoraProgramTest::helpAndVersionPrintWithoutOpeningTheWindow_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("printed");
    const QString usage = QStringLiteral("Usage: pelmora [--help | --version] [FILE]\n");
    const QString version = QStringLiteral("pelmora %1.%2.%3\n")
                                .arg(PELMORA_VERSION_MAJOR)
                                .arg(PELMORA_VERSION_MINOR)
                                .arg(PELMORA_VERSION_PATCH);
    QTest::newRow("--help") << QStringList{"--help"} << usage;
    QTest::newRow("-h") << QStringList{"-h"} << usage;
    QTest::newRow("--version, before --help") << QStringList{"--version", "--help"} << version;
    QTest::newRow("after a Qt option") << QStringList{"-platform", "xcb", "-h"} << usage;
    // After "--" it is no option, and the window tries to open.
    QTest::newRow("after --") << QStringList{"--", "--help"} << QString();
}

// Without a display the window cannot open, so a run that prints and exits with 0 printed
// without trying.
void PelmoraProgramTest::helpAndVersionPrintWithoutOpeningTheWindow() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, printed);
    const Finished finished = RunPelmora(WithoutDisplay(), 30000, arguments);
    QVERIFY2(finished.ended, "pelmora did not end");
    QCOMPARE(finished.how, QProcess::NormalExit);
    if (printed.isEmpty()) {
        QCOMPARE(finished.status, 1);
        QVERIFY2(finished.errors.startsWith(QStringLiteral("pelmora: no usable display")),
                 qPrintable(finished.errors));
        QCOMPARE(finished.output, QString());
        return;
    }
    QCOMPARE(finished.status, 0);
    QCOMPARE(finished.errors, QString());
    // The usage in full is the window texts' business; the version line is all there is.
    const bool usage = printed.startsWith(QStringLiteral("Usage"));
    QVERIFY2(usage ? finished.output.startsWith(printed) : finished.output == printed,
             qPrintable(finished.output));
}

// The driver loaded into the program pastes 100,000 characters, queues five Convert clicks,
// the close of the window and a click on About, then answers every box that shows. The program
// must end by itself with nothing shown after the window closed, and, started as outside a
// login session (no XDG_RUNTIME_DIR), write nothing of its own to standard error.
void PelmoraProgramTest::closingTheWindowEndsTheProgramWithClicksQueued() {
    QProcessEnvironment environment = WithoutDisplay();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(QUEUED_CLOSE_DRIVER));
    const Finished finished = RunPelmora(environment, 150000);
    qInfo("pelmora ended after %lld ms", static_cast<long long>(finished.milliseconds));
    QVERIFY2(finished.errors.contains(QStringLiteral("driver: queued")),
             qPrintable(finished.errors));
    QVERIFY2(finished.ended,
             qPrintable("pelmora still ran after the window closed\n" + finished.errors));
    QCOMPARE(finished.how, QProcess::NormalExit);
    QCOMPARE(finished.status, 0);
    QVERIFY2(finished.errors.contains(QStringLiteral("driver: main window closed")),
             qPrintable(finished.errors));
    QVERIFY2(!finished.errors.contains(QStringLiteral("shown after")), qPrintable(finished.errors));
    for (const QString& line : finished.errors.split('\n', Qt::SkipEmptyParts)) {
        QVERIFY2(line.startsWith(QStringLiteral("driver: ")), qPrintable(line));
    }
}

// `pelmora FILE`, after a Qt option and its value: the window opens with the file's text in the
// input box. (What the window says of a file it cannot read is frmMain's, tested without Qt.)
void PelmoraProgramTest::aFileGivenOpensInTheInputBox() {
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("名字 一.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF刘德华\r\n张学友");
    file.close();
    QProcessEnvironment environment = WithoutDisplay();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(SHOWN_TEXT_DRIVER));
    const Finished finished =
        RunPelmora(environment, 60000,
                   {QStringLiteral("-platform"), QStringLiteral("offscreen"), file.fileName()});
    QVERIFY2(finished.ended, "pelmora did not end");
    QCOMPARE(finished.status, 0);
    QVERIFY2(finished.errors.contains(QStringLiteral("driver: Text1: 刘德华|张学友\n")),
             qPrintable(finished.errors));
}

QTEST_GUILESS_MAIN(PelmoraProgramTest)
#include "pelmora_program_test.moc"
