#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QList>
#include <QString>
#include <optional>

// One product list: plain text entries, each with its own text and
// background colour (none = the list's own colours).
//
// Between beginBatch() and endBatch() entries put at the top are held back
// from views: the logic sees every change at once (count(), text(), ...),
// views get one removal and one insertion for the whole batch, so that a
// burst of products repaints the list once per batch, not once per product.
class ProductListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    struct Entry
    {
        QString text;
        std::optional<QColor> foreground;
        std::optional<QColor> background;
    };

    using QAbstractListModel::QAbstractListModel;

    // What views see (without a batch's held-back entries).
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The list as the logic sees it, a running batch included.
    int count() const;
    QString text(int row) const;
    const Entry& entry(int row) const;
    QStringList texts() const;

    // Removes entries from the end until fewer than cap remain (cap 0 = no
    // limit), inserts the text at the top and asks views to clear their selection.
    void insertTop(const QString& text, int cap);
    void append(const QString& text);
    void appendAll(const QStringList& texts);
    void clear();
    void setColours(int row, const QColor& foreground, const QColor& background);

    // Batches nest; the outermost endBatch() shows the batch to views.
    void beginBatch();
    void endBatch();

signals:
    // Views drop their selection (the list's selected index becomes none).
    void selectionCleared();

private:
    void commit();
    int pendingCount() const { return static_cast<int>(m_pending.size()); }
    Entry& logical(int row);

    QList<Entry> m_entries; // shown to views
    QList<Entry> m_pending; // a batch's new entries, newest last
    qsizetype m_kept = 0;   // entries of m_entries still in the list during a batch
    int m_batchDepth = 0;
    bool m_inserted = false; // a batch inserted at the top
};
