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
#include <QMessageBox>
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
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vantorel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));

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
