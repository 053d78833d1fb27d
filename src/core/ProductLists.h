#pragma once

#include "core/ListKind.h"
#include "core/ProductListModel.h"

#include <QObject>
#include <QStringList>

// The four product lists of the main window (see ListKind) with their
// insertion rules and colouring, and which of them is shown.
class ProductLists : public QObject
{
    Q_OBJECT
public:
    static constexpr int Cap = 150;
    static inline const QString NoneFound = QStringLiteral("     NONE FOUND");

    explicit ProductLists(QObject* parent = nullptr);

    ProductListModel& list(ListKind kind) { return m_lists[static_cast<int>(kind) - 1]; }
    ProductListModel& filtered() { return list(ListKind::Filtered); }
    ProductListModel& live() { return list(ListKind::Live); }
    ProductListModel& local() { return list(ListKind::Local); }
    ProductListModel& alarmed() { return list(ListKind::Alarmed); }

    void setLocalCodes(const QStringList& codes) { m_localCodes = codes; }
    const QStringList& localCodes() const { return m_localCodes; }
    void setLongHeader(bool on) { m_longHeader = on; }

    // Inserts a received product's line into the live list (capped, at the top).
    void addReceived(const QString& line);
    // Inserts the line into the local list once for every local code the key
    // matches, recolouring it after each insertion; returns the number of insertions.
    int addLocal(const QString& line, const QString& key);
    // True when the key belongs to the local office code. The filtered list
    // takes a station that starts with the code, the others one that holds it.
    static bool isLocal(const QString& key, const QString& code, bool filteredRule = false);
    // Recolours one whole list: local products grey (filtered and live lists),
    // then the warning categories.
    void recolour(ListKind kind);

    // The file-name part of an entry: after the first "+", or the whole entry.
    static QString fileNamePart(const QString& entry);

    // Category colours; nothing when the category has none.
    static bool categoryColours(const QString& category, QColor* foreground, QColor* background);

    // Holds back what views see of all four lists until endBatch() (see
    // ProductListModel); recolour asked for meanwhile runs once at the end.
    void beginBatch();
    void endBatch();

    // The list in front.
    ListKind shownList() const { return m_shown; }
    void showList(ListKind kind);

signals:
    void shownListChanged(ListKind kind);

private:
    ProductListModel m_lists[4];
    int m_batchDepth = 0;
    bool m_colourPending[4] = {};
    QStringList m_localCodes = {QStringLiteral("=}"), QStringLiteral("=}"), QStringLiteral("=}")};
    bool m_longHeader = false;
    ListKind m_shown = ListKind::Live;
};
