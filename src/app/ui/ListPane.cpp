#include "app/ui/ListPane.h"

#include "app/MainState.h"
#include "display/ProductRequests.h"
#include "ingest/DataInPoller.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
// The list each option button shows: Live, Filter, Local, Alarm.
constexpr ListKind kKindOfOption[4] = {ListKind::Live, ListKind::Filtered, ListKind::Local,
                                       ListKind::Alarmed};
} // namespace

ListPane::ListPane(MainState& state, QMenu& list1Popup, QWidget* parent)
    : QWidget(parent), m_state(state)
{
    buildLists(list1Popup);
    m_controls = buildControls();
    m_controls->setParent(this);
    bindEntryBoxes();
    connect(&m_state.lists, &ProductLists::shownListChanged, this, &ListPane::showList);
    showList(ListKind::Live);
}

void ListPane::buildLists(QMenu& list1Popup)
{
    m_lists = new QStackedWidget(this);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < 4; ++i) {
        auto* view = new QListView;
        view->setObjectName(QStringLiteral("List%1").arg(i + 1));
        view->setFont(courier);
        const auto kind = static_cast<ListKind>(i + 1);
        view->setModel(&m_state.lists.list(kind));
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setUniformItemSizes(true);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, QColor(224, 224, 224));
        view->setPalette(palette);
        connect(&m_state.lists.list(kind), &ProductListModel::selectionCleared,
                view->selectionModel(), &QItemSelectionModel::clearSelection);
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, kind](const QItemSelection& selected) {
                    if (!selected.isEmpty())
                        listSelected(kind);
                });
        m_list[i] = view;
        m_lists->addWidget(view);
    }
    QListView* list1 = list(ListKind::Filtered);
    list1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list1, &QListView::customContextMenuRequested, this, [list1, &list1Popup](QPoint at) {
        list1Popup.popup(list1->viewport()->mapToGlobal(at));
    });
}

QWidget* ListPane::buildControls()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(buildOptions());

    auto* entries = new QHBoxLayout;
    m_stateBox = new QLineEdit;
    m_stateBox->setObjectName(QStringLiteral("txtState"));
    m_stateBox->setToolTip(QStringLiteral("State Filter"));
    m_stateBox->setPlaceholderText(QStringLiteral("State"));
    m_stateBox->setMaxLength(4);
    m_manual = new QLineEdit;
    m_manual->setObjectName(QStringLiteral("txtManual"));
    m_manual->setToolTip(QStringLiteral("Local Text Retrieval"));
    m_manual->setPlaceholderText(QStringLiteral("Product"));
    entries->addWidget(m_stateBox, 2);
    entries->addWidget(m_manual, 3);
    layout->addLayout(entries);
    layout->addWidget(buildButtons());
    box->adjustSize();
    return box;
}

QWidget* ListPane::buildOptions()
{
    // Two rows of two, so the captions fit the narrow list width.
    auto* box = new QWidget;
    auto* options = new QGridLayout(box);
    options->setContentsMargins(0, 0, 0, 0);
    options->setSpacing(2);
    auto* group = new QButtonGroup(this);
    const char* const captions[4] = {"Live", "Filter", "Local", "Alarm"};
    const char* const tips[4] = {"Recent Products", "Filtered Listing", "Local Products",
                                 "Alarmed List"};
    for (int i = 0; i < 4; ++i) {
        m_option[i] = new QRadioButton(QLatin1String(captions[i]));
        m_option[i]->setObjectName(QStringLiteral("optListBoxType%1").arg(i));
        m_option[i]->setToolTip(QLatin1String(tips[i]));
        group->addButton(m_option[i], i);
        options->addWidget(m_option[i], i / 2, i % 2);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int i) { m_state.lists.showList(kKindOfOption[i]); });
    return box;
}

QWidget* ListPane::buildButtons()
{
    // Two rows of three, so the captions fit the narrow list width.
    auto* box = new QWidget;
    auto* buttons = new QGridLayout(box);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);
    m_product = {new QPushButton(QStringLiteral("<")), new QPushButton(QStringLiteral(">"))};
    m_product[0]->setToolTip(QStringLiteral("Older Product"));
    m_product[1]->setToolTip(QStringLiteral("Newer Product"));
    m_shrink = new QPushButton(QStringLiteral("<"));
    m_shrink->setObjectName(QStringLiteral("cmdShrink"));
    m_shrink->setToolTip(QStringLiteral("Compress Screen"));
    m_imageDisplay = new QPushButton(QStringLiteral("Images"));
    m_imageDisplay->setObjectName(QStringLiteral("cmdImageDisplay"));
    m_imageDisplay->setToolTip(QStringLiteral("Image Viewer"));
    m_log = new QPushButton(QStringLiteral("Log"));
    m_log->setObjectName(QStringLiteral("cmdLog"));
    m_log->setEnabled(false);
    m_metar = new QPushButton(QStringLiteral("METAR"));
    m_metar->setObjectName(QStringLiteral("cmdMetar"));
    m_metar->setToolTip(QStringLiteral("Search for Weather Observation"));
    QPushButton* const order[6] = {m_product[0], m_product[1], m_imageDisplay,
                                   m_log,        m_metar,      m_shrink};
    for (int i = 0; i < 6; ++i) {
        QPushButton* b = order[i];
        b->setMinimumWidth(16);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        buttons->addWidget(b, i / 3, i % 3);
    }
    buttons->setColumnStretch(0, 1);
    buttons->setColumnStretch(1, 1);
    buttons->setColumnStretch(2, 2);
    ProductRequests& requests = m_state.requests();
    for (int i = 0; i < 2; ++i)
        connect(m_product[i], &QPushButton::clicked, this,
                [&requests, i] { requests.showOtherVersion(i); });
    connect(m_log, &QPushButton::clicked, this, [&requests] { requests.weatherFile(0); });
    connect(&m_state.poller(), &DataInPoller::logAvailable, m_log, &QPushButton::setEnabled);
    return box;
}

void ListPane::bindEntryBoxes()
{
    // Typed letters become upper case in both entry boxes.
    for (QLineEdit* box : {m_stateBox, m_manual}) {
        connect(box, &QLineEdit::textEdited, this, [box](const QString& text) {
            if (text == text.toUpper())
                return;
            const int at = box->cursorPosition();
            box->setText(text.toUpper());
            box->setCursorPosition(at);
        });
    }
    ProductRequests& requests = m_state.requests();
    connect(m_stateBox, &QLineEdit::returnPressed, this, [this, &requests] {
        if (requests.searchStateOrOffice(m_stateBox->text())) {
            m_stateBox->clear();
            m_stateBox->setFocus();
        }
    });
    connect(m_stateBox, &QLineEdit::textEdited, this, [this, &requests](const QString& text) {
        if (requests.searchStation(text)) {
            m_stateBox->clear();
            m_stateBox->setFocus();
        }
    });
    connect(m_manual, &QLineEdit::returnPressed, this, [this, &requests] {
        const QString text = m_manual->text();
        m_manual->clear();
        requests.requestByName(text);
    });
    connect(&requests, &ProductRequests::manualEntryEnabled, this, [this](bool on) {
        m_manual->setEnabled(on);
        if (on)
            m_manual->setFocus();
    });
    connect(&requests, &ProductRequests::internetModeChanged, this, &ListPane::showInternetMode);
}

void ListPane::showInternetMode(bool on)
{
    m_manual->setStyleSheet(on ? QStringLiteral("background: rgb(0,255,0);") : QString());
    m_manual->setToolTip(on ? QStringLiteral("Internet Text Retrieval")
                            : QStringLiteral("Local Text Retrieval"));
}

void ListPane::place(int width, int listHeight)
{
    const int controls = controlsHeight();
    setGeometry(0, 0, width, listHeight + controls);
    m_lists->setGeometry(0, 0, width, listHeight);
    m_controls->setGeometry(0, listHeight, width, controls);
}

int ListPane::controlsHeight() const
{
    return m_controls->sizeHint().height();
}

void ListPane::showList(ListKind kind)
{
    m_lists->setCurrentWidget(list(kind));
    for (int i = 0; i < 4; ++i)
        if (kKindOfOption[i] == kind)
            m_option[i]->setChecked(true);
}

void ListPane::listSelected(ListKind kind)
{
    const QModelIndexList rows = list(kind)->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const int row = rows.first().row();
    // A click in the filtered list drops the live list's selection and back.
    const bool filtered = kind == ListKind::Filtered;
    list(filtered ? ListKind::Live : ListKind::Filtered)->selectionModel()->clearSelection();
    m_state.requests().openListEntry(kind, row);
}

void ListPane::selectLive(int row)
{
    QListView* live = list(ListKind::Live);
    live->selectionModel()->clearSelection();
    live->selectionModel()->select(live->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect);
}
