#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The five newest filed products (the short menu of the tray and the main
// window, "none" for an empty place) and the field txtDDEHeader that other
// programs read: "received name,filed name" of the last product filed.
class NewProducts : public QObject
{
    Q_OBJECT
public:
    static constexpr int Count = 5;
    static inline const QString None = QStringLiteral("none");

    using QObject::QObject;

    const QStringList& entries() const { return m_entries; }
    // The key goes to the top; the oldest entry drops out.
    void add(const QString& key);
    // Start-up: every entry but the first becomes "none".
    void clearOlder();

    // The caption of an entry (its identifier), and whether menu item index shows it.
    static QString caption(const QString& entry);
    static bool visible(int index, const QString& entry);
    // False for an empty place ("none") or an index out of range.
    bool filled(int index) const;

    QString ddeHeader() const { return m_ddeHeader; }
    void setDdeHeader(const QString& text);

signals:
    void changed(const QStringList& entries);
    void ddeHeaderChanged(const QString& text);

private:
    QStringList m_entries = QStringList(Count, None);
    QString m_ddeHeader;
};
