#pragma once

#include <QString>

class Settings;
class DisplayState;
class IProcessLauncher;

// The Add-ins items of the outside WXPlot package: 1 "Warning Plot" starts
// its Tcl/Tk shell with the plot script, 2 "WXPlot Setup" its setup program;
// both run in the package's bin directory.
class WXPlot
{
public:
    static inline const QString NoPath =
        QStringLiteral("Need to set the path to WXPlot in Configuration");
    static inline const QString CannotStart = QStringLiteral("WXPlot could not be started: ");

    WXPlot(const Settings& settings, DisplayState& display, IProcessLauncher& launcher);

    void plot(int index);

    // The command line of an item; empty for other indices.
    static QString commandLine(const QString& wxplotPath, int index);
    // True when the package's Tcl/Tk shell is installed (the two items are
    // shown only then).
    static bool isInstalled(const QString& wxplotPath);

private:
    const Settings& m_settings;
    DisplayState& m_display;
    IProcessLauncher& m_launcher;
};
