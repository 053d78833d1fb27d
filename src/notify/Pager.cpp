#include "notify/Pager.h"

#include "core/Settings.h"
#include "notify/PagerConfig.h"
#include "notify/SendFailures.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ProcessRunner.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QDebug>
#include <QFileInfo>
#include <cmath>

namespace {

QString collapseBlanks(QString text)
{
    while (text.contains(QLatin1String("  ")))
        text.replace(QLatin1String("  "), QLatin1String(" "));
    return text;
}
} // namespace

Pager::Pager(const Settings& settings, IProcessRunner& runner, QString programPath, QObject* parent)
    : QObject(parent), m_settings(settings), m_programPath(std::move(programPath)), m_queue(runner)
{
    m_queue.setProgramPath(m_programPath);
    connect(&m_queue, &PageQueue::failed, this, &Pager::reportFailure);
}

void Pager::setProgramPath(const QString& path)
{
    m_programPath = path;
    m_queue.setProgramPath(path);
}

void Pager::setFailures(SendFailures* failures, const QString& logPath)
{
    m_failures = failures;
    m_logPath = logPath;
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
    if (m_suspended)
        return;
    if (m_programPath.isEmpty()) {
        reportFailure(UserPage, m_queue.reason({ProcessOutcome::Kind::NotFound, -1}));
        return;
    }
    m_queue.add(UserPage, pageText(Message, PagerChars));
}

void Pager::reportFailure(const QString& recipient, const QString& reason) const
{
    if (!m_failures) {
        qWarning("Page to %s: %s", qPrintable(recipient), qPrintable(reason));
        return;
    }
    m_failures->report(m_logPath, QStringLiteral("FAILED page to ") + recipient,
                       QStringLiteral("Page FAILED to ") + recipient, reason);
}

QString Pager::commandLine(const QString& recipient, const QString& message) const
{
    return m_queue.commandLine({{recipient, message, 0}});
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
    // The start of the text, on the one log line: its line ends and other
    // control characters become blanks.
    QString excerpt = prodtxt.left(20);
    for (QChar& c : excerpt) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    try {
        TextFile::appendLine(
            logPath, QStringLiteral("ALARM to ") + recipient + QStringLiteral(" at ") +
                         DateTimeText::general(clock.now()) + QStringLiteral(" - ") + excerpt);
    } catch (const RuntimeError& error) {
        // A log that cannot be written must not hold the page back.
        qWarning("%s", error.what());
    }
    QString text = prodtxt;
    text.replace(QChar(3), QLatin1Char(' '));
    ProcessPage(text, recipient, chars);
}
