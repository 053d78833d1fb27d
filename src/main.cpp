#include "app/MainState.h"
#include "app/ProgramDirectory.h"
#include "app/ui/WidgetPrompter.h"
#include "app/ui/frmMain.h"
#include "display/ui/QtTextPrinter.h"
#include "platform/Clock.h"
#include "platform/InstanceLock.h"
#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"
#include "platform/WindowControl.h"
#include "platform/X11WindowControl.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QMessageBox>
#include <cstring>
#include <memory>

namespace {
std::unique_ptr<IWindowControl> makeWindowControl()
{
#ifdef VANTOREL_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        return std::make_unique<X11WindowControl>();
#endif
    return std::make_unique<NullWindowControl>();
}

// The command line is read before any window exists, so that --help and
// --version work without a display. Returns false when the program must end.
bool readCommandLine(int argc, char** argv, int* exitCode)
{
    // Other options (-platform, -style ...) are the window system's.
    static const char* const ours[] = {"-h", "--help", "-?", "--help-all", "-v", "--version"};
    bool asked = false;
    for (int i = 1; i < argc; ++i) {
        for (const char* option : ours)
            asked = asked || std::strcmp(argv[i], option) == 0;
    }
    if (!asked)
        return true;
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantorel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vantorel: EMWIN weather alert client. Files every product that an "
                       "ingest engine writes into the Data-In directory, lists and shows it, "
                       "and raises the alarms of your alarm definitions."));
    parser.addHelpOption();
    parser.addVersionOption();
    if (!parser.parse(QCoreApplication::arguments())) {
        fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        *exitCode = 2;
        return false;
    }
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion(); // exits
    parser.showHelp();        // exits
    return false;
}
// With TZ unset, the C library looks at /etc/localtime again on every local
// time conversion (a stat per call, several per filed product). Naming the
// same file in TZ makes it read once; a change of the machine's zone is then
// seen at the next start.
void readLocalZoneOnce()
{
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
}
} // namespace

int main(int argc, char** argv)
{
    readLocalZoneOnce();
    int exitCode = 0;
    if (!readCommandLine(argc, argv, &exitCode))
        return exitCode;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantorel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.vantorel.Vantorel"),
                                                 QIcon(QStringLiteral(":/icons/vantorel.png"))));

    InstanceLock lock;
    if (!lock.tryLock()) {
        QMessageBox::critical(nullptr, QStringLiteral("Vantorel"),
                              QStringLiteral("Vantorel Already Running"));
        return 1;
    }

    const QString programDir = ProgramDirectory::path();
    ProgramDirectory::prepare(programDir);

    SettingsStore store;
    ProcessLauncher launcher(programDir);
    std::unique_ptr<IWindowControl> windows = makeWindowControl();
    WidgetPrompter prompter;
    SystemClock clock;
    QtTextPrinter printer;
    MainState state(programDir, {&store, &launcher, windows.get(), &prompter, &clock, &printer});

    frmMain window(state);
    prompter.setParent(&window);
    window.Form_Load();
    return QApplication::exec();
}
