#include "core/ProductLists.h"

#include <QHash>

namespace {
const QColor kLocalText(0, 0, 255);
const QColor kListGrey(224, 224, 224);
} // namespace

ProductLists::ProductLists(QObject* parent) : QObject(parent) {}

void ProductLists::beginBatch()
{
    ++m_batchDepth;
    for (ProductListModel& model : m_lists)
        model.beginBatch();
}

// Colouring asked for during the batch is done once, before views see it.
void ProductLists::endBatch()
{
    if (m_batchDepth > 0 && --m_batchDepth == 0) {
        for (int num = 1; num <= 4; ++num) {
            if (m_colourPending[num - 1]) {
                m_colourPending[num - 1] = false;
                recolour(static_cast<ListKind>(num));
            }
        }
    }
    for (ProductListModel& model : m_lists)
        model.endBatch();
}

void ProductLists::addReceived(const QString& line)
{
    live().insertTop(line, Cap);
}

bool ProductLists::isLocal(const QString& key, const QString& code, bool filteredRule)
{
    if (code.isEmpty())
        return false;
    if (key.mid(3, 3).startsWith(code))
        return true;
    const QString station = key.mid(11, 3);
    return filteredRule ? station.startsWith(code) : station.contains(code);
}

int ProductLists::addLocal(const QString& line, const QString& key)
{
    int added = 0;
    for (const QString& code : m_localCodes) {
        if (isLocal(key, code)) {
            local().insertTop(line, Cap);
            recolour(ListKind::Local);
            ++added;
        }
    }
    return added;
}

QString ProductLists::fileNamePart(const QString& entry)
{
    const qsizetype plus = entry.indexOf(QLatin1Char('+'));
    return plus < 0 ? entry : entry.mid(plus + 1);
}

bool ProductLists::categoryColours(const QString& category, QColor* fg, QColor* bg)
{
    struct Row
    {
        const char* categories;
        QColor fore;
        QColor back;
    };
    static const Row rows[] = {
        {"TOR", QColor(255, 0, 0), QColor(0, 0, 0)},
        {"SVR FFW", QColor(255, 255, 0), QColor(0, 0, 0)},
        {"WWA SEL SAW SEV", QColor(0, 255, 255), QColor(0, 0, 0)},
        {"TCP", QColor(0, 255, 0), QColor(0, 0, 0)},
        {"SWO", QColor(255, 255, 255), QColor(0, 0, 0)},
        {"WSW NPW", QColor(0, 0, 0), QColor(0, 255, 0)},
        {"SVS", QColor(255, 0, 0), QColor(0, 255, 0)},
    };
    // Built once: every list is recoloured after each filed product.
    static const QHash<QString, const Row*> byCategory = [] {
        QHash<QString, const Row*> table;
        for (const Row& row : rows) {
            for (const QString& code : QString::fromLatin1(row.categories).split(QLatin1Char(' ')))
                table.insert(code, &row);
        }
        return table;
    }();
    if (category.size() != 3)
        return false;
    const Row* row = byCategory.value(category);
    if (!row)
        return false;
    *fg = row->fore;
    *bg = row->back;
    return true;
}

void ProductLists::recolour(ListKind kind)
{
    if (m_batchDepth > 0) {
        m_colourPending[static_cast<int>(kind) - 1] = true;
        return;
    }
    ProductListModel& model = list(kind);
    const bool checkLocal = kind == ListKind::Filtered || kind == ListKind::Live;
    for (int row = 0; row < model.count(); ++row) {
        const QString entry = model.text(row);
        // Long entries carry the key after "+"; bare keys and local-list
        // entries are taken the same way in every list.
        const QString key = fileNamePart(entry);
        if (checkLocal) {
            for (const QString& code : m_localCodes) {
                if (isLocal(key, code, kind == ListKind::Filtered)) {
                    model.setColours(row, kLocalText, kListGrey);
                    break;
                }
            }
        }
        QColor fg, bg;
        if (categoryColours(key.left(3), &fg, &bg))
            model.setColours(row, fg, bg);
    }
}

void ProductLists::showList(ListKind kind)
{
    m_shown = kind;
    emit shownListChanged(kind);
}
