#include "alarms/ui/AlarmGrid.h"

#include "alarms/AlarmEditor.h"

#include <QHeaderView>
#include <QMenu>

AlarmGrid::AlarmGrid(QWidget* parent) : QTableWidget(parent), m_popup(new QMenu(this))
{
    const QStringList heading = AlarmEditor::gridHeading().split(QLatin1Char('|'));
    setObjectName(QStringLiteral("MSF1"));
    setColumnCount(static_cast<int>(heading.size()));
    QStringList captions;
    for (const QString& h : heading)
        captions << h.trimmed();
    setHorizontalHeaderLabels(captions);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    setFont(fixed);
    m_popup->setObjectName(QStringLiteral("mnuPopup"));
    int index = 0;
    for (const char* caption : {"&Copy", "&Edit", "&Delete"}) {
        QAction* item = m_popup->addAction(QLatin1String(caption));
        item->setObjectName(QStringLiteral("mnuList%1").arg(index));
        connect(item, &QAction::triggered, this, [this, index] { emit commandRequested(index); });
        ++index;
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QTableWidget::customContextMenuRequested, this, &AlarmGrid::popupAt);
    connect(this, &QTableWidget::cellDoubleClicked, this, [this] { emit commandRequested(Edit); });
}

void AlarmGrid::popupAt(QPoint at)
{
    const int row = rowAt(at.y());
    if (row < 0)
        return;
    selectRow(row);
    m_popup->popup(viewport()->mapToGlobal(at));
}

void AlarmGrid::showRows(const AlarmEditor& editor)
{
    const int rows = editor.rowCount();
    setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const QStringList cells = editor.gridRow(r);
        for (int c = 0; c < cells.size(); ++c) {
            QTableWidgetItem* cell = item(r, c);
            if (!cell) {
                cell = new QTableWidgetItem;
                setItem(r, c, cell);
            }
            cell->setText(cells.at(c));
        }
    }
}

int AlarmGrid::selectedRow() const
{
    const QList<QTableWidgetItem*> items = selectedItems();
    return items.isEmpty() ? currentRow() : items.first()->row();
}
