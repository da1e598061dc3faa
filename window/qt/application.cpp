#include "application.h"

#include "frm_main_widget.h"
#include "program_arguments.h"
#include "program_directory.h"
#include "window_texts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace pelmora {

namespace {

// One message Qt gave while it started, kept to be passed on once it has started.
struct HeldMessage {
    QtMsgType type;
    std::string file;
    int line;
    std::string function;
    std::string category;
    QString text;
};

std::vector<HeldMessage> g_heldMessages;
QtMessageHandler g_passOnTo = nullptr;

std::string NoDisplayReason() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (!platform.isEmpty()) {
        return "the window system \"" + platform.toStdString() + "\" could not be started";
    }
    if (display.isEmpty() && wayland.isEmpty()) {
        return "DISPLAY is not set";
    }
    return "the display \"" + (display.isEmpty() ? wayland : display).toStdString() +
           "\" does not answer";
}

// Qt reports a display it cannot open with a few warnings and then a fatal message, after
// which it aborts. The fatal message is replaced by one that says what happened and what to use
// instead, and the program ends with its own status; the warnings before it are dropped.
void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        const std::string message =
            "pelmora: no usable display (" + NoDisplayReason() +
            "), so the window cannot open; pelmora-convert converts text without a display.\n"
            "pelmora：没有可用的图形显示，窗口无法打开；不需要图形显示的 pelmora-convert "
            "可以转换文字。\n";
        std::fputs(message.c_str(), stderr);
        std::fflush(stderr);
        std::_Exit(kNoDisplayStatus);
    }
    const auto copy = [](const char* text) { return std::string(text != nullptr ? text : ""); };
    g_heldMessages.push_back({type, copy(context.file), context.line, copy(context.function),
                              copy(context.category), text});
}

void HoldStartupMessages() {
    g_passOnTo = qInstallMessageHandler(HoldStartupMessage);
}

void PassOnStartupMessages() {
    qInstallMessageHandler(g_passOnTo);
    for (const HeldMessage& held : g_heldMessages) {
        const QMessageLogContext context(held.file.c_str(), held.line, held.function.c_str(),
                                         held.category.c_str());
        qt_message_output(held.type, context, held.text);
    }
    g_heldMessages.clear();
}

// Started outside a login session (as root through sudo or su, from a service), the program
// finds no XDG_RUNTIME_DIR. Qt asks for it at start, falls back to a private folder of its own
// under the temporary folder and warns that the variable is unset, which leaves a user nothing
// to act on. The window keeps nothing there, so it names that same fallback before Qt looks.
// Qt still creates the folder with owner-only rights, and still warns when the folder is not
// private (another owner, a link), which is a fault worth telling.
void NameRuntimeDirectoryIfUnset() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        return;
    }
    const uid_t user = geteuid();
    const passwd* account = getpwuid(user);
    const QString name =
        account != nullptr ? QFile::decodeName(account->pw_name) : QString::number(user);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QDir::tempPath() + "/runtime-" + name));
}

// --help and --version print to standard output, as command-line programs do, without
// starting Qt, so they need no display.
int PrintForRequest(ProgramRequest request) {
    const std::string text =
        request == ProgramRequest::ShowHelp ? ProgramUsageText() : ProgramVersionLine();
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        const std::string failure =
            std::string("pelmora: cannot write the output: ") + std::strerror(errno) + "\n";
        std::fputs(failure.c_str(), stderr);
        return kOutputFailedStatus;
    }
    return 0;
}

// The arguments after the program's name that Qt did not take as its own options, as the bytes
// of file names.
std::vector<std::string> ArgumentsLeftByQt() {
    std::vector<std::string> arguments;
    const QStringList left = QCoreApplication::arguments();
    for (qsizetype at = 1; at < left.size(); ++at) {
        arguments.push_back(QFile::encodeName(left[at]).toStdString());
    }
    return arguments;
}

} // namespace

bool InstallChineseQtTranslations(QCoreApplication& application) {
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

int RunWindowProgram(int argc, char** argv) {
    const ProgramRequest request =
        ReadProgramArguments(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    if (request != ProgramRequest::OpenWindow) {
        return PrintForRequest(request);
    }
    NameRuntimeDirectoryIfUnset();
    HoldStartupMessages();
    QApplication application(argc, argv);
    PassOnStartupMessages();
    QApplication::setApplicationName(QStringLiteral("pelmora"));
    // Lets Wayland desktops match the window to pelmora.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("pelmora"));
    InstallChineseQtTranslations(application);
    FrmMainWidget window(ProgramDirectory());
    window.show();
    if (const std::optional<std::string> file = FileArgument(ArgumentsLeftByQt())) {
        window.OpenInputFile(std::filesystem::path(*file));
    }
    return application.exec();
}

} // namespace pelmora
