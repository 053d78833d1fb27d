#include "abcPager/PageRun.h"

#include "abcPager/AbcPager.h"
#include "abcPager/DeliveryLog.h"
#include "abcPager/ModemSettings.h"
#include "abcPager/PageSplitter.h"
#include "abcPager/SerialModemLine.h"

#include <QSaveFile>

namespace {
SerialModemLine::Format lineFormat(const PagerTargets::Target& target, int speedSetting)
{
    SerialModemLine::Format format;
    bool ok = false;
    const int listed = target.speed.toInt(&ok);
    format.speed = speedSetting > 0 ? speedSetting : (ok && listed > 0 ? listed : 1200);
    if (!target.parity.isEmpty())
        format.parity = target.parity;
    format.dataBits = target.dataBits == QLatin1String("8") ? 8 : 7;
    format.stopBits = target.stopBits == QLatin1String("2") ? 2 : 1;
    return format;
}

int longest(const QStringList& pins)
{
    int length = 0;
    for (const QString& pin : pins)
        length = std::max(length, static_cast<int>(pin.size()));
    return length;
}
} // namespace

PageRun::PageRun(const ModemSettings& settings, DeliveryLog& log) : m_settings(settings), m_log(log)
{
}

void PageRun::prepare(const PagerTargets& targets, const QList<PagerArguments::Request>& requests)
{
    for (const PagerArguments::Request& request : requests) {
        Item item;
        item.recipient = request.recipient;
        QString error;
        item.target = targets.resolve(request.recipient, &error);
        const QByteArray text = PageSplitter::printable(request.message);
        if (!item.target) {
            m_log.write(QStringLiteral("NOT SENT: ") + error);
            item.result = AbcPager::NotSent;
            m_items.append(item);
            continue;
        }
        const PagerTargets::Target& target = *item.target;
        if (!target.unusable.isEmpty())
            m_log.write(QStringLiteral("Pager numbers of %1 that cannot be paged, left out: \"%2\"")
                            .arg(target.recipient, target.unusable.join(QStringLiteral("\", \""))));
        if (target.pins.isEmpty() || text.isEmpty()) {
            m_log.write(QStringLiteral("NOT SENT to %1: %2")
                            .arg(target.recipient, text.isEmpty()
                                                       ? QStringLiteral("empty message")
                                                       : QStringLiteral("no pager number")));
            item.result = AbcPager::NotSent;
            m_items.append(item);
            continue;
        }
        item.size = PageSplitter::pageSize(target.chars, longest(target.pins));
        const QList<QByteArray> chunks = PageSplitter::split(text, item.size);
        item.parts = chunks.size();
        for (const QString& pin : target.pins) {
            for (int i = 0; i < chunks.size(); ++i)
                item.pages.append(
                    {pin.toLatin1(), chunks.at(i), i + 1, static_cast<int>(chunks.size())});
        }
        m_items.append(item);
    }
}

void PageRun::refuseAll(int result, const QString& reason)
{
    for (Item& item : m_items) {
        if (item.result >= 0)
            continue;
        item.result = result;
        m_log.write(QStringLiteral("NOT DELIVERED to %1: %2").arg(item.recipient, reason));
    }
}

bool PageRun::anyToSend() const
{
    for (const Item& item : m_items) {
        if (item.result < 0)
            return true;
    }
    return false;
}

QStringList PageRun::blockLines() const
{
    QStringList lines;
    for (const Item& item : m_items) {
        for (const PageDelivery::Page& p : item.pages)
            lines << QStringLiteral("%1 %2/%3: %4")
                         .arg(QString::fromLatin1(p.pin))
                         .arg(p.number)
                         .arg(p.count)
                         .arg(QString::fromLatin1(p.text));
    }
    return lines;
}

QString PageRun::serviceOf(const Item& item) const
{
    return item.target->dialup + QLatin1Char('|') +
           SerialModemLine::formatText(lineFormat(*item.target, m_settings.speed));
}

void PageRun::deliver()
{
    for (qsizetype i = 0; i < m_items.size();) {
        if (m_items.at(i).result >= 0) {
            ++i;
            continue;
        }
        // This page and the open pages right after it to the same service.
        const QString service = serviceOf(m_items.at(i));
        QList<qsizetype> members{i};
        qsizetype next = i + 1;
        for (; next < m_items.size(); ++next) {
            if (m_items.at(next).result >= 0)
                continue;
            if (serviceOf(m_items.at(next)) != service)
                break;
            members << next;
        }
        call(members);
        i = next;
    }
}

void PageRun::call(const QList<qsizetype>& members)
{
    const PagerTargets::Target& first = *m_items.at(members.first()).target;
    const SerialModemLine::Format format = lineFormat(first, m_settings.speed);
    QList<PageDelivery::Page> pages;
    for (const qsizetype m : members) {
        const Item& item = m_items.at(m);
        m_log.write(QStringLiteral("Paging %1: %2 page(s) of up to %3 characters to %4 via %5 "
                                   "(%6 %7)")
                        .arg(item.recipient)
                        .arg(item.parts)
                        .arg(item.size)
                        .arg(item.target->pins.join(QLatin1Char(',')), item.target->dialup,
                             m_settings.port, SerialModemLine::formatText(format)));
        pages += item.pages;
    }
    DeliveryLog& log = m_log;
    const ModemSettings& settings = m_settings;
    const auto opener = [&settings, &log, format](QString* why) -> std::unique_ptr<IModemLine> {
        auto line = std::make_unique<SerialModemLine>();
        QString note;
        if (!line->open(settings.port, format, why, &note))
            return nullptr;
        if (!note.isEmpty())
            log.write(QStringLiteral("Note: ") + note);
        return line;
    };
    PageDelivery(m_settings, m_log, opener).deliver(first.dialup, pages);
    qsizetype at = 0;
    for (const qsizetype m : members) {
        Item& item = m_items[m];
        item.pages = pages.mid(at, item.pages.size());
        at += item.pages.size();
        conclude(item);
    }
}

void PageRun::conclude(Item& item)
{
    qsizetype delivered = 0;
    for (const PageDelivery::Page& page : item.pages)
        delivered += page.state == PageDelivery::Page::State::Delivered ? 1 : 0;
    // Pages for numbers that were left out count as not delivered.
    const qsizetype total = item.pages.size() + item.parts * item.target->unusable.size();
    m_log.write(QStringLiteral("Done for %1: %2 of %3 page(s) delivered")
                    .arg(item.recipient)
                    .arg(delivered)
                    .arg(total));
    if (delivered < item.pages.size())
        item.result = AbcPager::Undelivered;
    else
        item.result = item.target->unusable.isEmpty() ? AbcPager::Delivered : AbcPager::LeftOut;
}

int PageRun::exitCode() const
{
    for (const int result : {AbcPager::Undelivered, AbcPager::NotSent, AbcPager::LeftOut}) {
        for (const Item& item : m_items) {
            if (item.result == result)
                return result;
        }
    }
    return AbcPager::Delivered;
}

bool PageRun::writeReport(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        for (const Item& item : m_items)
            file.write(QByteArray::number(item.result) + ' ' + item.recipient.toUtf8() + '\n');
        if (file.commit())
            return true;
    }
    *error = file.errorString();
    return false;
}
