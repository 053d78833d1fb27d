#include "map/ActiveWarnings.h"

#include "map/WarningColours.h"
#include "platform/BoundedRead.h"
#include "platform/Clock.h"

#include <QFile>
#include <QThread>

#include <algorithm>
#include <utility>

QStringList ActiveWarning::counties() const
{
    QStringList found;
    for (const QString& a : areas) {
        if (a.size() == 6 && a.at(2) == QLatin1Char('C'))
            found.push_back(a);
    }
    found.sort();
    return found;
}

ActiveWarnings::ActiveWarnings(IClock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

ActiveWarnings::~ActiveWarnings()
{
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void ActiveWarnings::rebuildFrom(const QString& textDir, const StoreReplay::Limits& limits)
{
    if (m_rebuilding)
        return;
    m_rebuilding = true;
    const QDateTime now = m_clock.now();
    m_thread = QThread::create(
        [this, textDir, now, limits] { m_replayed = StoreReplay::read(textDir, now, limits); });
    connect(m_thread, &QThread::finished, this, &ActiveWarnings::finishRebuild);
    m_thread->start(QThread::LowPriority);
}

void ActiveWarnings::finishRebuild()
{
    m_thread->deleteLater();
    m_thread = nullptr;
    m_rebuilding = false;
    const QList<StoreReplay::Product> replayed = std::exchange(m_replayed, {});
    const QList<Pending> pending = std::exchange(m_pending, {});
    m_events.clear();
    for (const StoreReplay::Product& p : replayed)
        apply(p.name, p.text, p.updates, p.received);
    for (const Pending& p : pending)
        apply(p.name, p.text, WarningUpdates::read(p.text), p.received);
    expire();
    emit changed();
    emit rebuilt();
}

void ActiveWarnings::addProduct(const QString& productName, const QString& text)
{
    if (m_rebuilding) {
        if (m_pending.size() < MaxPending) // beyond: the product stays in the store only
            m_pending.push_back({productName, text, m_clock.now().toUTC()});
        return;
    }
    apply(productName, text, WarningUpdates::read(text), m_clock.now().toUTC());
}

void ActiveWarnings::addFiled(const QString& path, const QString& productName)
{
    if (!WarningUpdates::mayCarry(productName))
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return; // the product stays in the store; the map misses it only
    addProduct(productName, QString::fromLatin1(BoundedRead::read(file, MaxProductBytes)));
}

void ActiveWarnings::apply(const QString& productName, const QString& text,
                           const QList<WarningUpdate>& updates, const QDateTime& received)
{
    bool any = false;
    for (const WarningUpdate& u : updates)
        any = applyOne(u, productName, text, received) || any;
    // in UTC, as the events' times: compared without a local time conversion
    const QDateTime now = m_clock.now().toUTC();
    for (auto it = m_events.begin(); it != m_events.end();) {
        if (ended(*it, now)) {
            it = m_events.erase(it);
            any = true;
        } else {
            ++it;
        }
    }
    if (any)
        emit changed();
}

bool ActiveWarnings::applyOne(const WarningUpdate& u, const QString& name, const QString& text,
                              const QDateTime& received)
{
    const QString key = u.vtec.eventKey();
    auto it = m_events.find(key);
    if (u.vtec.endsEvent()) {
        if (it == m_events.end())
            return false;
        for (const QString& area : u.areas)
            it->areas.remove(area);
        if (it->areas.isEmpty())
            m_events.erase(it);
        return true;
    }
    if (it == m_events.end()) {
        if (m_events.size() >= MaxEvents)
            return false;
        ActiveWarning w;
        w.key = key;
        w.office = u.vtec.office();
        w.phenomenon = u.vtec.phenomenon();
        w.significance = u.vtec.significance();
        w.eventNumber = u.vtec.eventNumber();
        it = m_events.insert(key, w);
    }
    for (const QString& area : u.areas)
        it->areas.insert(area);
    if (!u.polygon.isEmpty())
        it->polygon = u.polygon;
    if (u.vtec.end().isValid())
        it->end = u.vtec.end();
    it->updated = received.toUTC();
    it->productName = name;
    it->productText = text.left(MaxProductBytes);
    return true;
}

bool ActiveWarnings::ended(const ActiveWarning& w, const QDateTime& now) const
{
    if (w.end.isValid())
        return w.end <= now;
    return w.updated.addDays(MaxLifeDays) <= now;
}

void ActiveWarnings::expire()
{
    apply(QString(), QString(), {}, m_clock.now());
}

int ActiveWarnings::drawableCount() const
{
    return int(std::count_if(m_events.cbegin(), m_events.cend(),
                             [](const ActiveWarning& w) { return w.drawable(); }));
}

const ActiveWarning* ActiveWarnings::event(const QString& key) const
{
    auto it = m_events.constFind(key);
    return it == m_events.constEnd() ? nullptr : &*it;
}

QList<const ActiveWarning*> ActiveWarnings::drawingOrder() const
{
    QList<const ActiveWarning*> order;
    for (const ActiveWarning& w : m_events)
        order.push_back(&w);
    auto weight = [](const ActiveWarning* w) {
        // Watches under warnings; within each, the most severe last.
        const int rank = WarningColours::rank(w->phenomenon, w->significance);
        return (w->significance == QLatin1Char('A') ? 0 : 1000) - rank;
    };
    std::stable_sort(
        order.begin(), order.end(),
        [&](const ActiveWarning* a, const ActiveWarning* b) { return weight(a) < weight(b); });
    return order;
}
