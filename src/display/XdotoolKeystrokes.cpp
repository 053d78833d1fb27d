#include "display/XdotoolKeystrokes.h"

#include "platform/ProcessLauncher.h"

#include <QHash>

namespace {
// Named keys of the classic notation and their keysyms.
QString namedKey(const QString& name)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("ENTER"), QStringLiteral("Return")},
        {QStringLiteral("DOWN"), QStringLiteral("Down")},
        {QStringLiteral("UP"), QStringLiteral("Up")},
        {QStringLiteral("LEFT"), QStringLiteral("Left")},
        {QStringLiteral("RIGHT"), QStringLiteral("Right")},
        {QStringLiteral("TAB"), QStringLiteral("Tab")},
        {QStringLiteral("ESC"), QStringLiteral("Escape")},
        {QStringLiteral("HOME"), QStringLiteral("Home")},
        {QStringLiteral("END"), QStringLiteral("End")},
        {QStringLiteral("BACKSPACE"), QStringLiteral("BackSpace")},
        {QStringLiteral("DELETE"), QStringLiteral("Delete")},
    };
    if (name.size() == 1) // "{+}", "{%}": the character itself
        return XdotoolKeystrokes::keysymFor(name.at(0));
    const QString upper = name.toUpper();
    if (names.contains(upper))
        return names.value(upper);
    bool number = false;
    const int f = upper.mid(1).toInt(&number);
    if (upper.startsWith(QLatin1Char('F')) && number && f >= 1 && f <= 24)
        return QStringLiteral("F") + QString::number(f);
    return {};
}

// xdotool takes the window name as an extended regular expression.
QString exactTitle(const QString& title)
{
    static const QString special = QStringLiteral("\\.[]()*+?{}|^$");
    QString rx = QStringLiteral("^");
    for (const QChar c : title) {
        if (c == QLatin1Char('"'))
            continue;
        if (special.contains(c))
            rx += QLatin1Char('\\');
        rx += c;
    }
    return QLatin1Char('"') + rx + QStringLiteral("$\"");
}
} // namespace

QString XdotoolKeystrokes::keysymFor(QChar c)
{
    static const QHash<QChar, QString> punctuation = {
        {' ', "space"},      {'!', "exclam"},       {'"', "quotedbl"},    {'#', "numbersign"},
        {'$', "dollar"},     {'%', "percent"},      {'&', "ampersand"},   {'\'', "apostrophe"},
        {'(', "parenleft"},  {')', "parenright"},   {'*', "asterisk"},    {'+', "plus"},
        {',', "comma"},      {'-', "minus"},        {'.', "period"},      {'/', "slash"},
        {':', "colon"},      {';', "semicolon"},    {'<', "less"},        {'=', "equal"},
        {'>', "greater"},    {'?', "question"},     {'@', "at"},          {'[', "bracketleft"},
        {'\\', "backslash"}, {']', "bracketright"}, {'^', "asciicircum"}, {'_', "underscore"},
        {'`', "grave"},      {'{', "braceleft"},    {'|', "bar"},         {'}', "braceright"},
        {'~', "asciitilde"}, {'\t', "Tab"},
    };
    const char16_t u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return QString(c);
    if (punctuation.contains(c))
        return punctuation.value(c);
    if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c.isSurrogate())
        return {};
    return QStringLiteral("U%1").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper();
}

QStringList XdotoolKeystrokes::toXdotool(const QString& keys)
{
    QStringList names;
    QString modifiers;
    auto press = [&](const QString& key) {
        if (!key.isEmpty())
            names << modifiers + key;
        modifiers.clear();
    };
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == QLatin1Char('+') || c == QLatin1Char('%') || c == QLatin1Char('^')) {
            modifiers += c == QLatin1Char('+')   ? QStringLiteral("shift+")
                         : c == QLatin1Char('%') ? QStringLiteral("alt+")
                                                 : QStringLiteral("ctrl+");
        } else if (c == QLatin1Char('{')) {
            // "{}}" names the closing brace itself.
            const qsizetype end = keys.indexOf(QLatin1Char('}'), i + 2);
            if (end < 0)
                break;
            press(namedKey(keys.mid(i + 1, end - i - 1)));
            i = end;
        } else if (c == QLatin1Char('~') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            press(QStringLiteral("Return"));
            if (c == QLatin1Char('\r') && i + 1 < keys.size() &&
                keys.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            // With a modifier a letter is named in lower case ("%F" is alt+f).
            press(keysymFor(modifiers.isEmpty() ? c : c.toLower()));
        }
    }
    if (names.isEmpty())
        return {};
    return QStringList{QStringLiteral("key")} + names;
}

QString XdotoolKeystrokes::commandLine(const QString& windowTitle, const QString& keys)
{
    QStringList parts = {QStringLiteral("xdotool"),     QStringLiteral("search"),
                         QStringLiteral("--name"),      exactTitle(windowTitle),
                         QStringLiteral("windowraise"), QStringLiteral("windowfocus"),
                         QStringLiteral("--sync")};
    parts << toXdotool(keys);
    return parts.join(QLatin1Char(' '));
}

bool XdotoolKeystrokes::sendKeys(const QString& windowTitle, const QString& keys)
{
    return m_launcher.start(commandLine(windowTitle, keys), LaunchWindow::Hidden) != 0;
}
