#include "images/WXPlot.h"

#include "core/DisplayState.h"
#include "core/Settings.h"
#include "platform/FileLister.h"
#include "platform/ProcessLauncher.h"

namespace {
// A path with blanks is quoted so that it stays one argument.
QString quoted(const QString& path)
{
    return path.contains(QLatin1Char(' ')) ? QLatin1Char('"') + path + QLatin1Char('"') : path;
}
} // namespace

WXPlot::WXPlot(const Settings& settings, DisplayState& display, IProcessLauncher& launcher)
    : m_settings(settings), m_display(display), m_launcher(launcher)
{
}

QString WXPlot::commandLine(const QString& wxplotPath, int index)
{
    const QString bin = wxplotPath + QStringLiteral("bin/");
    if (index == 2)
        return quoted(bin + QStringLiteral("wxsetup"));
    if (index == 1)
        return quoted(bin + QStringLiteral("wish80")) + QLatin1Char(' ') +
               quoted(bin + QStringLiteral("wxplot.tcl")) + QLatin1Char(' ') + quoted(bin);
    return {};
}

bool WXPlot::isInstalled(const QString& wxplotPath)
{
    if (wxplotPath.isEmpty())
        return false;
    return !FileLister::list(wxplotPath + QStringLiteral("bin/"),
                             QStringLiteral("wish80;wish80.exe"))
                .isEmpty();
}

void WXPlot::plot(int index)
{
    const QString& path = m_settings.WXPlotPath;
    if (path.isEmpty()) {
        m_display.setDisplay(NoPath, m_display.tag());
        return;
    }
    const QString command = commandLine(path, index);
    if (command.isEmpty())
        return;
    if (m_launcher.startIn(path + QStringLiteral("bin/"), command, LaunchWindow::Normal) == 0)
        m_display.setDisplay(CannotStart + command, m_display.tag());
}
