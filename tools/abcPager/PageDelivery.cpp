#include "abcPager/PageDelivery.h"

#include "abcPager/DeliveryLog.h"
#include "abcPager/HayesModem.h"
#include "abcPager/IModemLine.h"
#include "abcPager/ModemChannel.h"
#include "abcPager/ModemSettings.h"
#include "abcPager/TapSession.h"

#include <QThread>

namespace {
bool anyOpen(const QList<PageDelivery::Page>& pages)
{
    for (const PageDelivery::Page& page : pages) {
        if (page.state == PageDelivery::Page::State::Open)
            return true;
    }
    return false;
}
} // namespace

PageDelivery::PageDelivery(const ModemSettings& settings, DeliveryLog& log, LineOpener openLine)
    : m_settings(settings), m_log(log), m_openLine(std::move(openLine))
{
}

QString PageDelivery::pageName(const Page& page)
{
    return QStringLiteral("page %1/%2 to %3")
        .arg(page.number)
        .arg(page.count)
        .arg(QString::fromLatin1(page.pin));
}

int PageDelivery::deliver(const QString& dialup, QList<Page>& pages)
{
    QString reason;
    for (int attempt = 1; attempt <= m_settings.tries && anyOpen(pages); ++attempt) {
        reason = call(dialup, pages);
        if (!anyOpen(pages))
            break;
        m_log.write(QStringLiteral("Try %1 of %2 failed: %3")
                        .arg(attempt)
                        .arg(m_settings.tries)
                        .arg(reason));
        if (attempt < m_settings.tries)
            QThread::sleep(static_cast<unsigned long>(m_settings.retryWaitSeconds));
    }
    int delivered = 0;
    for (Page& page : pages) {
        if (page.state == Page::State::Open) {
            page.state = Page::State::Failed;
            m_log.write(QStringLiteral("NOT DELIVERED %1 after %2 tries: %3")
                            .arg(pageName(page))
                            .arg(m_settings.tries)
                            .arg(reason));
        }
        delivered += page.state == Page::State::Delivered ? 1 : 0;
    }
    return delivered;
}

QString PageDelivery::call(const QString& dialup, QList<Page>& pages)
{
    QString error;
    const std::unique_ptr<IModemLine> line = m_openLine(&error);
    if (!line)
        return error;
    ModemChannel channel(*line);
    HayesModem modem(channel, m_settings);
    TapSession tap(channel, m_settings);
    if (!modem.prepare(&error) || !modem.dial(dialup, &error) || !tap.logOn(&error)) {
        modem.hangUp();
        return error;
    }
    for (Page& page : pages) {
        if (page.state != Page::State::Open)
            continue;
        QString detail;
        const TapSession::Outcome outcome = tap.sendPage(page.pin, page.text, &detail);
        if (outcome == TapSession::Outcome::Broken) {
            error = detail;
            break;
        }
        page.state = outcome == TapSession::Outcome::Accepted ? Page::State::Delivered
                                                              : Page::State::Refused;
        m_log.write(outcome == TapSession::Outcome::Accepted
                        ? QStringLiteral("Delivered ") + pageName(page)
                        : QStringLiteral("REFUSED %1: %2").arg(pageName(page), detail));
    }
    if (error.isEmpty())
        tap.logOff();
    modem.hangUp();
    return error;
}
