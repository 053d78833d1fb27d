#pragma once

#include "display/IKeystrokeSender.h"

#include <QStringList>

class IProcessLauncher;

// Sends keystrokes with the xdotool program. One invocation finds the window
// by its exact title, raises and focuses it and presses every key in order
// with one "key" command. Typed text is pressed key by key under keysym
// names, so no part of it can be read by xdotool as a command or an option
// (its "type" command would swallow every later argument as text).
class XdotoolKeystrokes : public IKeystrokeSender
{
public:
    explicit XdotoolKeystrokes(IProcessLauncher& launcher) : m_launcher(launcher) {}
    bool sendKeys(const QString& windowTitle, const QString& keys) override;

    // "key" and the key names for a key string; empty when it holds no key.
    static QStringList toXdotool(const QString& keys);
    // The keysym name xdotool presses for one typed character; empty for
    // control characters.
    static QString keysymFor(QChar c);
    // The whole command line.
    static QString commandLine(const QString& windowTitle, const QString& keys);

private:
    IProcessLauncher& m_launcher;
};
