#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// One primary VTEC string of a warning product, for example
// "/O.NEW.KJAN.TO.W.0130.050829T1651Z-050829T1815Z/": product class, action,
// issuing office, phenomenon, significance, event tracking number and the
// event's begin and end (UTC; a string of zeros means "not given").
class PVtec
{
public:
    // Parses one VTEC string at the start of text (blanks before it allowed).
    static std::optional<PVtec> parse(QStringView text);
    // Every VTEC string of a product text, in order; at most MaxPerProduct.
    static QList<PVtec> parseAll(QStringView text);
    static constexpr int MaxPerProduct = 200;

    QChar productClass() const { return m_productClass; }
    const QString& action() const { return m_action; }
    const QString& office() const { return m_office; }
    const QString& phenomenon() const { return m_phenomenon; }
    QChar significance() const { return m_significance; }
    int eventNumber() const { return m_eventNumber; }
    // Invalid when the product gives no time ("000000T0000Z").
    const QDateTime& begin() const { return m_begin; }
    const QDateTime& end() const { return m_end; }

    // Office, phenomenon, significance and event number: the same event
    // across the products that issue, continue and end it.
    QString eventKey() const;
    // The action ends the event in its area (cancelled, expired, upgraded).
    bool endsEvent() const;

private:
    QChar m_productClass;
    QString m_action;
    QString m_office;
    QString m_phenomenon;
    QChar m_significance;
    int m_eventNumber = 0;
    QDateTime m_begin;
    QDateTime m_end;
};
