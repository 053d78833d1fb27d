#pragma once

#include "map/StoreReplay.h"
#include "map/WarningUpdates.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QSet>
#include <QString>

class IClock;
class QThread;

// One warning or watch in effect: the event (office, phenomenon,
// significance, number), the areas and polygon of its latest products and
// the latest product itself.
struct ActiveWarning
{
    QString key; // PVtec::eventKey()
    QString office;
    QString phenomenon;
    QChar significance;
    int eventNumber = 0;
    QDateTime end;     // invalid: until cancelled
    QDateTime updated; // when the latest product came
    QSet<QString> areas;
    QList<QPointF> polygon; // empty: drawn by its counties
    QString productName;    // the latest product's store name
    QString productText;    // and its text

    // The county codes among the areas ("IAC127").
    QStringList counties() const;
    // It has a polygon or county codes: the map can draw it.
    bool drawable() const { return !polygon.isEmpty() || !counties().isEmpty(); }
};

// The warnings and watches in effect, kept by the VTEC life cycle of each
// event: NEW, EXA and EXB add areas, CON, EXT, COR and ROU update the event
// (areas, polygon, end), CAN, EXP and UPG take their segment's areas away
// and the event ends when none is left. An event also ends when its end
// time passes, and one without an end MaxLifeDays after its latest product.
// Events named by zone codes only are kept but cannot be drawn.
class ActiveWarnings : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxLifeDays = 10;
    static constexpr int MaxEvents = 5000;
    static constexpr qint64 MaxProductBytes = 256 * 1024;
    static constexpr int MaxPending = 20000;

    explicit ActiveWarnings(IClock& clock, QObject* parent = nullptr);
    ~ActiveWarnings() override;

    // Rebuilds the set from the text store on a worker thread; products
    // filed meanwhile are applied after the stored ones. rebuilt() at the end.
    void rebuildFrom(const QString& textDir, const StoreReplay::Limits& limits = {});
    bool rebuilding() const { return m_rebuilding; }

    // Reads the updates of a product and applies them; changed() when the set changed.
    void addProduct(const QString& productName, const QString& text);
    void apply(const QString& productName, const QString& text, const QList<WarningUpdate>& updates,
               const QDateTime& received);
    // Reads a filed product (the text store's file) when its name may hold warnings.
    void addFiled(const QString& path, const QString& productName);
    // Drops the events that ended by now.
    void expire();

    const QMap<QString, ActiveWarning>& events() const { return m_events; }
    int count() const { return int(m_events.size()); }
    // The events the map can draw.
    int drawableCount() const;
    const ActiveWarning* event(const QString& key) const;
    // The events in drawing order: watches first, most severe last (on top).
    QList<const ActiveWarning*> drawingOrder() const;

signals:
    void changed();
    void rebuilt();

private:
    bool applyOne(const WarningUpdate& u, const QString& name, const QString& text,
                  const QDateTime& received);
    bool ended(const ActiveWarning& w, const QDateTime& now) const;

    void finishRebuild();

    struct Pending
    {
        QString name;
        QString text;
        QDateTime received;
    };

    IClock& m_clock;
    QMap<QString, ActiveWarning> m_events;
    bool m_rebuilding = false;
    QThread* m_thread = nullptr;
    QList<StoreReplay::Product> m_replayed; // written by the worker until it ends
    QList<Pending> m_pending;               // filed while rebuilding
};
