#pragma once

#include "core/ProductListModel.h"

#include <QObject>
#include <QStringList>

// The four product lists of the main window: List1 filtered listing, List2
// live (received) products, List3 local products, List4 alarmed products,
// with their insertion rules and colouring.
class ProductLists : public QObject
{
    Q_OBJECT
public:
    static constexpr int Cap = 150;
    static inline const QString NoneFound = QStringLiteral("     NONE FOUND");

    explicit ProductLists(QObject* parent = nullptr);

    // num 1..4 gives List1..List4.
    ProductListModel& list(int num);
    ProductListModel& List1() { return m_lists[0]; }
    ProductListModel& List2() { return m_lists[1]; }
    ProductListModel& List3() { return m_lists[2]; }
    ProductListModel& List4() { return m_lists[3]; }

    void setLocalCodes(const QStringList& codes) { m_localCodes = codes; }
    const QStringList& localCodes() const { return m_localCodes; }
    void setLongHeader(bool on) { m_longHeader = on; }

    // Inserts a received product's line into List2 (capped, at the top).
    void addReceived(const QString& line);
    // Inserts the line into List3 once for every local code the key matches,
    // colouring List3 after each insertion; returns the number of insertions.
    int addLocal(const QString& line, const QString& key);
    // True when the key belongs to the local office code.
    static bool isLocal(const QString& key, const QString& code, bool list1Rule = false);
    // Recolours one whole list (1 List1, 3 List3, 4 List4, any other List2).
    void ColorList(int num);

    // The file-name part of an entry: after the first "+", or the whole entry.
    static QString fileNamePart(const QString& entry);

    // Category colours; nothing when the category has none.
    static bool categoryColours(const QString& category, QColor* foreground, QColor* background);

    // Holds back what views see of all four lists until endBatch() (see
    // ProductListModel); ColorList asked for meanwhile runs once at the end.
    void beginBatch();
    void endBatch();

    // The option button shown: 0 Live, 1 Filter, 2 Local, 3 Alarm.
    int shownOption() const { return m_shownOption; }
    void optListBoxType_Click(int index);

signals:
    void shownOptionChanged(int option);

private:
    ProductListModel m_lists[4];
    int m_batchDepth = 0;
    bool m_colourPending[4] = {};
    QStringList m_localCodes = {QStringLiteral("=}"), QStringLiteral("=}"), QStringLiteral("=}")};
    bool m_longHeader = false;
    int m_shownOption = 0;
};
