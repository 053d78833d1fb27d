#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QList>
#include <QString>
#include <optional>

// One product list: plain text entries, each with its own text and
// background colour (none = the list's own colours).
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

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    int count() const { return static_cast<int>(m_entries.size()); }
    QString text(int row) const;
    const Entry& entry(int row) const { return m_entries.at(row); }
    QStringList texts() const;

    // Removes entries from the end until fewer than cap remain (cap 0 = no
    // limit), inserts the text at the top and asks views to clear their selection.
    void insertTop(const QString& text, int cap);
    void append(const QString& text);
    void appendAll(const QStringList& texts);
    void clear();
    void setColours(int row, const QColor& foreground, const QColor& background);

signals:
    // Views drop their selection (the list's selected index becomes none).
    void selectionCleared();

private:
    QList<Entry> m_entries;
};
