#include "ingest/ProductIntake.h"

#include "core/DisplayState.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/IncomingProduct.h"
#include "ingest/IngestFailures.h"
#include "ingest/IngestFiles.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/FileMove.h"
#include "platform/RuntimeError.h"

#include <QDateTime>
#include <QFile>

ProductIntake::ProductIntake(const QString& programDir, const Settings& settings,
                             StatusLine& status, DisplayState& display, IClock& clock)
    : m_settings(settings), m_status(status), m_display(display), m_clock(clock),
      m_quarantine(programDir)
{
}

QString ProductIntake::dataInPath(const IncomingProduct& p) const
{
    return m_settings.TransferPath + p.original;
}

QString ProductIntake::timestamp() const
{
    return m_clock.now().toString(QStringLiteral("MMddHHmm"));
}

void ProductIntake::takeOut(const IncomingProduct& p, const QString& to)
{
    try {
        FileMove::move(dataInPath(p), to);
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::PermissionDenied)
            throw IngestFailure::NotTakenYet{error.text()};
        throw;
    }
}

void ProductIntake::discard(const IncomingProduct& p, const QString& status)
{
    IngestFiles::removeIfPresent(dataInPath(p));
    if (!status.isEmpty())
        m_status.setText(status);
}

bool ProductIntake::quarantine(const QString& source, const QString& name, const QString& reason)
{
    return quarantineRaw(QFile::encodeName(source), name, reason);
}

bool ProductIntake::quarantineRaw(const QByteArray& source, const QString& name,
                                  const QString& reason)
{
    const QString used = m_quarantine.take(source, name);
    const QString detail =
        (used.isEmpty() ? Quarantine::safeName(name) : used) + QStringLiteral(" (") + reason + ')';
    if (used.isEmpty()) {
        m_status.setText(QStringLiteral("Could not move to track/bad: ") + detail +
                         QStringLiteral(": ") + m_quarantine.error());
        return false;
    }
    m_status.setText(QStringLiteral("Moved to track/bad: ") + detail);
    return true;
}

void ProductIntake::reportError(const IncomingProduct& p, int number, const QString& text)
{
    m_display.setDisplay(ErrorReport::format(Caption, number, text) + QStringLiteral("\n\n") +
                             p.fileName + QLatin1Char('-') + p.received,
                         m_display.tag());
    if (IngestFiles::isPresent(dataInPath(p)))
        quarantine(dataInPath(p), p.original, QStringLiteral("error ") + QString::number(number));
}
