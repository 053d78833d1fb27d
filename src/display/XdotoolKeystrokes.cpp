#include "display/XdotoolKeystrokes.h"

#include "platform/ProcessLauncher.h"

#include <QHash>

namespace {
QString keyName(const QString& name)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("ENTER"), QStringLiteral("Return")},
        {QStringLiteral("DOWN"), QStringLiteral("Down")},
        {QStringLiteral("UP"), QStringLiteral("Up")},
        {QStringLiteral("LEFT"), QStringLiteral("Left")},
        {QStringLiteral("RIGHT"), QStringLiteral("Right")},
        {QStringLiteral("TAB"), QStringLiteral("Tab")},
        {QStringLiteral("ESC"), QStringLiteral("Escape")},
    };
    const QString upper = name.toUpper();
    if (names.contains(upper))
        return names.value(upper);
    return upper.startsWith(QLatin1Char('F')) ? upper : name.toLower();
}

QString quoted(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char('"'));
    return QLatin1Char('"') + t + QLatin1Char('"');
}
} // namespace

QStringList XdotoolKeystrokes::toXdotool(const QString& keys)
{
    QStringList args;
    QString pendingText;
    QString modifiers;
    auto flushText = [&] {
        if (!pendingText.isEmpty())
            args << QStringLiteral("type") << quoted(pendingText);
        pendingText.clear();
    };
    auto pressKey = [&](const QString& key) {
        flushText();
        args << QStringLiteral("key") << modifiers + key;
        modifiers.clear();
    };
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == QLatin1Char('+') || c == QLatin1Char('%') || c == QLatin1Char('^')) {
            flushText();
            modifiers += c == QLatin1Char('+')   ? QStringLiteral("shift+")
                         : c == QLatin1Char('%') ? QStringLiteral("alt+")
                                                 : QStringLiteral("ctrl+");
        } else if (c == QLatin1Char('{')) {
            const qsizetype end = keys.indexOf(QLatin1Char('}'), i + 1);
            if (end < 0)
                break;
            pressKey(keyName(keys.mid(i + 1, end - i - 1)));
            i = end;
        } else if (c == QLatin1Char('~') || c == QLatin1Char('\r')) {
            pressKey(QStringLiteral("Return"));
            if (c == QLatin1Char('\r') && i + 1 < keys.size() &&
                keys.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('\n')) {
            pressKey(QStringLiteral("Return"));
        } else if (!modifiers.isEmpty()) {
            pressKey(QString(c).toLower());
        } else {
            pendingText += c;
        }
    }
    flushText();
    return args;
}

QString XdotoolKeystrokes::commandLine(const QString& windowTitle, const QString& keys)
{
    QStringList parts = {
        QStringLiteral("xdotool"),        QStringLiteral("search"),
        QStringLiteral("--name"),         quoted(QLatin1Char('^') + windowTitle + '$'),
        QStringLiteral("windowactivate"), QStringLiteral("--sync")};
    parts << toXdotool(keys);
    return parts.join(QLatin1Char(' '));
}

bool XdotoolKeystrokes::sendKeys(const QString& windowTitle, const QString& keys)
{
    return m_launcher.start(commandLine(windowTitle, keys), LaunchWindow::Hidden) != 0;
}
