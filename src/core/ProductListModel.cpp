#include "core/ProductListModel.h"

int ProductListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ProductListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
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

QString ProductListModel::text(int row) const
{
    return row >= 0 && row < count() ? m_entries.at(row).text : QString();
}

QStringList ProductListModel::texts() const
{
    QStringList all;
    all.reserve(count());
    for (const Entry& e : m_entries)
        all << e.text;
    return all;
}

void ProductListModel::insertTop(const QString& text, int cap)
{
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

void ProductListModel::append(const QString& text)
{
    beginInsertRows(QModelIndex(), count(), count());
    m_entries.append(Entry{text, std::nullopt, std::nullopt});
    endInsertRows();
}

void ProductListModel::appendAll(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(texts.size()) - 1);
    for (const QString& t : texts)
        m_entries.append(Entry{t, std::nullopt, std::nullopt});
    endInsertRows();
}

void ProductListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

void ProductListModel::setColours(int row, const QColor& foreground, const QColor& background)
{
    if (row < 0 || row >= count())
        return;
    Entry& e = m_entries[row];
    if (e.foreground == foreground && e.background == background)
        return;
    e.foreground = foreground;
    e.background = background;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::ForegroundRole, Qt::BackgroundRole});
}
