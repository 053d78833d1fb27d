#pragma once

#include "display/IKeystrokeSender.h"

#include <QStringList>

class IProcessLauncher;

// Sends keystrokes with the xdotool program: one command line activates the
// window and sends all keys in order.
class XdotoolKeystrokes : public IKeystrokeSender
{
public:
    explicit XdotoolKeystrokes(IProcessLauncher& launcher) : m_launcher(launcher) {}
    bool sendKeys(const QString& windowTitle, const QString& keys) override;

    // The xdotool arguments after the window activation for a key string.
    static QStringList toXdotool(const QString& keys);
    // The whole command line.
    static QString commandLine(const QString& windowTitle, const QString& keys);

private:
    IProcessLauncher& m_launcher;
};
