#include "app/FtpExtraction.h"

#include "core/NoMetarHooks.h"
#include "core/StatusLine.h"
#include "ingest/Unzipper.h"
#include "platform/Prompter.h"

#include <QMetaObject>

namespace {
// Answers every question with "no": nothing can be asked off the window thread.
class RefusingPrompter : public IPrompter
{
public:
    void message(const QString&, const QString&, Icon) override {}
    Answer question(const QString&, const QString&, Buttons) override { return Answer::Cancel; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
};
} // namespace

FtpExtraction::FtpExtraction(const Settings& settings, const AlarmFile& alarms, StatusLine& status)
    : m_settings(settings), m_alarms(alarms), m_status(status)
{
}

int FtpExtraction::Unzipit(const QString& FileN, const QString& FileP)
{
    // A private status line and unzipper for this thread; the set holds
    // products, not the hourly collections, so no METAR hooks run.
    StatusLine local;
    RefusingPrompter prompter;
    NoMetarHooks hooks;
    Unzipper unzipper(m_settings, m_alarms, local, prompter, hooks);
    const int result = unzipper.VBUnZip32(FileN, FileP);
    StatusLine* status = &m_status;
    const QString text = local.text();
    QMetaObject::invokeMethod(
        status, [status, text] { status->setText(text); }, Qt::QueuedConnection);
    return result;
}
