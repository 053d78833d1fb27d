#include "app/FtpExtraction.h"

#include "core/NoMetarHooks.h"
#include "core/StatusLine.h"
#include "ingest/Unzipper.h"

#include <QMetaObject>

FtpExtraction::FtpExtraction(const Settings& settings, const AlarmFile& alarms, StatusLine& status)
    : m_settings(settings), m_alarms(alarms), m_status(status)
{
}

int FtpExtraction::Unzipit(const QString& FileN, const QString& FileP)
{
    // A private status line and unzipper for this thread; the set holds
    // products, not the hourly collections, so no METAR hooks run.
    StatusLine local;
    NoMetarHooks hooks;
    Unzipper unzipper(m_settings, m_alarms, local, hooks);
    const int result = unzipper.VBUnZip32(FileN, FileP);
    StatusLine* status = &m_status;
    const QString text = local.text();
    QMetaObject::invokeMethod(
        status, [status, text] { status->setText(text); }, Qt::QueuedConnection);
    return result;
}
