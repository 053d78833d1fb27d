#pragma once

#include "abcPager/PageDelivery.h"
#include "abcPager/PagerArguments.h"
#include "abcPager/PagerTargets.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class DeliveryLog;
class ModemSettings;

// One run of the pager: every page asked for is resolved to its pager
// numbers and cut into page blocks, then delivered in the order given. The
// pages that follow one another to the same paging service (dial-up number
// and line format) go out in one call. Each page ends with a result, the
// pager's exit status for that page alone.
class PageRun
{
public:
    struct Item
    {
        QString recipient;
        int result = -1; // AbcPager::ExitCode once known
        std::optional<PagerTargets::Target> target;
        int size = 0;        // characters per page block
        qsizetype parts = 0; // pages of the text, per pager number
        QList<PageDelivery::Page> pages;
    };

    PageRun(const ModemSettings& settings, DeliveryLog& log);

    // Resolves and cuts each page; one that cannot be sent gets its result
    // (nothing sent) and a line in the log.
    void prepare(const PagerTargets& targets, const QList<PagerArguments::Request>& requests);
    // Every page that cannot be delivered for reason gets that result.
    void refuseAll(int result, const QString& reason);
    bool anyToSend() const;
    // "PIN n/N: text" for each block, for a dry run.
    QStringList blockLines() const;
    // Makes the calls for the pages still open.
    void deliver();

    const QList<Item>& items() const { return m_items; }
    // The worst result: not delivered, then nothing sent, then numbers left
    // out; for one page its own result.
    int exitCode() const;
    // One line per page, in order: its result and its recipient. Written whole.
    bool writeReport(const QString& path, QString* error) const;

private:
    QString serviceOf(const Item& item) const;
    void call(const QList<qsizetype>& members);
    void conclude(Item& item);

    const ModemSettings& m_settings;
    DeliveryLog& m_log;
    QList<Item> m_items;
};
