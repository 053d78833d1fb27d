#include "notify/Pager.h"

#include "core/Settings.h"
#include "notify/PagerConfig.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QDebug>
#include <QFileInfo>
#include <cmath>

namespace {
const QChar kQuote = QLatin1Char('"');

QString collapseBlanks(QString text)
{
    while (text.contains(QLatin1String("  ")))
        text.replace(QLatin1String("  "), QLatin1String(" "));
    return text;
}
} // namespace

Pager::Pager(const Settings& settings, IProcessLauncher& launcher, QString programPath,
             QObject* parent)
    : QObject(parent), m_settings(settings), m_programPath(std::move(programPath)),
      m_launcher(launcher)
{
}

QString Pager::filesDirectory(const QString& fallbackDir) const
{
    if (m_programPath.isEmpty())
        return QString();
    const QString own = QFileInfo(m_programPath).absolutePath() + QLatin1Char('/');
    for (const char* name : {"users.ini", "groups.ini"}) {
        if (QFileInfo::exists(own + QLatin1String(name)))
            return own;
    }
    return fallbackDir;
}

void Pager::loadTag(const QString& path)
{
    m_tag.clear();
    if (!TextFile::existsNonEmpty(path))
        return;
    const QStringList lines = TextFile::readLines(path);
    if (!lines.isEmpty())
        m_tag = lines.first();
}

void Pager::setSuspended(bool suspended)
{
    if (m_suspended == suspended)
        return;
    m_suspended = suspended;
    emit suspendedChanged(suspended);
}

QString Pager::cleanText(const QString& xyz) const
{
    QString text = xyz;
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text = collapseBlanks(text);
    if (m_tag.size() > 2)
        text.prepend(m_tag.trimmed());
    return text;
}

void Pager::ProcessPage(const QString& xyz, const QString& UserPage, const QString& PagerChars)
{
    if (xyz.size() < 2)
        return;
    PageIt(cleanText(xyz), UserPage, PagerChars);
}

QString Pager::pageText(const QString& message, const QString& pagerChars) const
{
    QString text = message;
    text.replace(QChar(3), QLatin1Char(' '));
    text.replace(QChar(30), QLatin1Char(' '));
    const double limit = std::nearbyint(ValueConversion::lenientNumber(pagerChars) *
                                        ValueConversion::lenientNumber(m_settings.MaxPages));
    if (!(limit > 0))
        return QString();
    if (limit < static_cast<double>(text.size()))
        text.truncate(static_cast<qsizetype>(limit));
    return text;
}

void Pager::PageIt(const QString& Message, const QString& UserPage, const QString& PagerChars)
{
    if (m_suspended || m_programPath.isEmpty())
        return;
    m_launcher.start(commandLine(UserPage, pageText(Message, PagerChars)),
                     LaunchWindow::NormalNoFocus);
}

// One double-quoted argument; a quote inside becomes three quotes, which the
// command-line splitter reads back as one literal quote. Blanks, quotes and
// shell characters in the text thus stay inside the one argument.
QString Pager::quoted(const QString& text)
{
    QString inner = text;
    inner.replace(kQuote, QStringLiteral("\"\"\""));
    return kQuote + inner + kQuote;
}

QString Pager::commandLine(const QString& recipient, const QString& message) const
{
    const bool blankInPath = m_programPath.contains(QLatin1Char(' '));
    return (blankInPath ? quoted(m_programPath) : m_programPath) + QLatin1Char(' ') +
           quoted(recipient + QLatin1Char(':') + message);
}

void Pager::alarmPage(const QString& prodtxt, int aMethod, const PagerConfig& config,
                      const QString& logPath, const IClock& clock)
{
    const PagerConfig::Group* group = aMethod > 0 ? config.group(aMethod) : nullptr;
    if (aMethod < 0 || (aMethod > 0 && !group))
        return;
    const QString recipient =
        group ? QStringLiteral("!GROUP") + QString::number(aMethod) : config.personalId;
    const QString chars = group ? group->chars : config.charsPerPage;
    try {
        TextFile::appendLine(logPath, QStringLiteral("ALARM to ") + recipient +
                                          QStringLiteral(" at ") +
                                          DateTimeText::general(clock.now()) +
                                          QStringLiteral(" - ") + prodtxt.left(20));
    } catch (const RuntimeError& error) {
        // A log that cannot be written must not hold the page back.
        qWarning("%s", error.what());
    }
    QString text = prodtxt;
    text.replace(QChar(3), QLatin1Char(' '));
    ProcessPage(text, recipient, chars);
}
