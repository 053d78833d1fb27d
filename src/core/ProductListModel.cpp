#include "core/ProductListModel.h"

int ProductListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant ProductListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const Entry& e = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return e.text;
    case Qt::ForegroundRole:
        return e.foreground ? QVariant(*e.foreground) : QVariant();
    case Qt::BackgroundRole:
        return e.background ? QVariant(*e.background) : QVariant();
    default:
        return {};
    }
}

// Outside a batch m_kept follows m_entries and m_pending is empty; in a batch
// the list is m_pending (newest first) followed by m_entries[0, m_kept).
int ProductListModel::count() const
{
    return pendingCount() + static_cast<int>(m_batchDepth > 0 ? m_kept : m_entries.size());
}

const ProductListModel::Entry& ProductListModel::entry(int row) const
{
    return const_cast<ProductListModel*>(this)->logical(row);
}

ProductListModel::Entry& ProductListModel::logical(int row)
{
    const int pending = pendingCount();
    return row < pending ? m_pending[pending - 1 - row] : m_entries[row - pending];
}

QString ProductListModel::text(int row) const
{
    return row >= 0 && row < count() ? entry(row).text : QString();
}

QStringList ProductListModel::texts() const
{
    QStringList all;
    all.reserve(count());
    for (int row = 0; row < count(); ++row)
        all << entry(row).text;
    return all;
}

void ProductListModel::insertTop(const QString& text, int cap)
{
    if (m_batchDepth > 0) {
        while (cap > 0 && count() >= cap) {
            if (m_kept > 0)
                --m_kept;
            else
                m_pending.removeFirst(); // the oldest of the batch
        }
        m_pending.append(Entry{text, std::nullopt, std::nullopt});
        m_inserted = true;
        return;
    }
    if (cap > 0 && count() >= cap) {
        beginRemoveRows(QModelIndex(), cap - 1, count() - 1);
        m_entries.resize(cap - 1);
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), 0, 0);
    m_entries.prepend(Entry{text, std::nullopt, std::nullopt});
    endInsertRows();
    emit selectionCleared();
}

void ProductListModel::beginBatch()
{
    if (m_batchDepth++ == 0)
        m_kept = m_entries.size();
}

void ProductListModel::endBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    commit();
}

// Shows views what a batch did: the entries dropped at the end, then the new
// ones at the top, each in one step.
void ProductListModel::commit()
{
    if (!m_inserted)
        return;
    m_inserted = false;
    if (m_kept < m_entries.size()) {
        beginRemoveRows(QModelIndex(), static_cast<int>(m_kept),
                        static_cast<int>(m_entries.size()) - 1);
        m_entries.resize(m_kept);
        endRemoveRows();
    }
    if (!m_pending.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, pendingCount() - 1);
        QList<Entry> top(m_pending.crbegin(), m_pending.crend());
        m_pending.clear();
        m_entries = top + m_entries;
        endInsertRows();
    }
    m_kept = m_entries.size();
    emit selectionCleared();
}

void ProductListModel::append(const QString& text)
{
    appendAll({text});
}

void ProductListModel::appendAll(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    commit(); // in the order of the calls
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(texts.size()) - 1);
    for (const QString& t : texts)
        m_entries.append(Entry{t, std::nullopt, std::nullopt});
    m_kept = m_entries.size();
    endInsertRows();
}

void ProductListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    m_pending.clear();
    m_kept = 0;
    m_inserted = false;
    endResetModel();
}

void ProductListModel::setColours(int row, const QColor& foreground, const QColor& background)
{
    if (row < 0 || row >= count())
        return;
    Entry& e = logical(row);
    if (e.foreground == foreground && e.background == background)
        return;
    e.foreground = foreground;
    e.background = background;
    const int shown = row - pendingCount(); // held-back entries are not in views yet
    if (shown < 0)
        return;
    const QModelIndex at = index(shown);
    emit dataChanged(at, at, {Qt::ForegroundRole, Qt::BackgroundRole});
}
