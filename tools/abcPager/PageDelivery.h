#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class DeliveryLog;
class IModemLine;
class ModemSettings;

// Delivers pages to one paging service: each try is one call (prepare the
// modem, dial, log on, send the pages still open, log off, hang up); pages
// taken in an earlier call are not sent again.
class PageDelivery
{
public:
    struct Page
    {
        enum class State
        {
            Open,
            Delivered,
            Refused,
            Failed
        };
        QByteArray pin;
        QByteArray text;
        int number = 1; // 1-based within the message
        int count = 1;
        State state = State::Open;
    };

    // Opens the modem line for one call; nullptr with a reason when it cannot.
    using LineOpener = std::function<std::unique_ptr<IModemLine>(QString* error)>;

    PageDelivery(const ModemSettings& settings, DeliveryLog& log, LineOpener openLine);

    // Returns the number of pages delivered.
    int deliver(const QString& dialup, QList<Page>& pages);

private:
    QString call(const QString& dialup, QList<Page>& pages);
    static QString pageName(const Page& page);

    const ModemSettings& m_settings;
    DeliveryLog& m_log;
    LineOpener m_openLine;
};
