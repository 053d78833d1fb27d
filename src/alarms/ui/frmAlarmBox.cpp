#include "alarms/ui/frmAlarmBox.h"

#include "core/PointZone.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {
QCheckBox* checkBox(const char* name, const QString& caption, const QString& hint)
{
    auto* box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    return box;
}

QComboBox* dropDown(const char* name, const QString& hint)
{
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->setToolTip(hint);
    return box;
}

QPushButton* button(const char* name, const QString& caption, const QString& hint)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
}

QWidget* labelled(const QString& caption, QWidget* control)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(new QLabel(caption));
    layout->addWidget(control);
    return box;
}
} // namespace

frmAlarmBox::frmAlarmBox(const AlarmEditor::Context& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_editor(context)
{
    setObjectName(QStringLiteral("frmAlarmBox"));
    setWindowTitle(QStringLiteral("EMWIN Alarms"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* top = new QVBoxLayout(this);
    top->addWidget(buildPatternRow());
    top->addWidget(buildSwitches());
    top->addWidget(buildChoices());
    top->addWidget(buildTimes());
    top->addWidget(buildButtons());
    top->addWidget(buildFiles());
    m_grid = new AlarmGrid;
    connect(m_grid, &AlarmGrid::commandRequested, this, &frmAlarmBox::mnuList_Click);
    top->addWidget(m_grid, 1);
    resize(860, 560);

    m_editor.open();
    fillLists();
    showCaptions();
    m_files.at(m_editor.fileNum())->setChecked(true);
    m_am->setValue(m_editor.cutoffAM());
    m_pm->setValue(m_editor.cutoffPM());
    m_time->setText(m_editor.timeLabel());
    cmdClear_Click();
    refreshGrid();
    m_header->setFocus();
}

// ---------------------------------------------------------------- controls

QWidget* frmAlarmBox::buildPatternRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_header = new QLineEdit;
    m_header->setObjectName(QStringLiteral("txtHeader"));
    m_header->setPlaceholderText(QStringLiteral("HEADER"));
    m_header->setToolTip(QStringLiteral("Use . or ? for wildcard"));
    // No length cut: a longer pattern (an expression) is kept whole and the
    // editor refuses one beyond its limit with a message.
    connect(m_header, &QLineEdit::textEdited, this, &frmAlarmBox::headerEdited);
    connect(m_header, &QLineEdit::returnPressed, this, &frmAlarmBox::cmdAdd_Click);
    m_state = dropDown("lstState", QStringLiteral("State"));
    m_state->addItems(AlarmEditor::StateCodes);
    connect(m_state, &QComboBox::activated, this, [this] { fillCounties(); });
    m_county = dropDown("lstCounty", QStringLiteral("County Name"));
    m_county->setMinimumContentsLength(24);
    m_full = checkBox("chkFull", QString(), QStringLiteral("Check to filter zone only"));
    m_filter = new QLabel(QStringLiteral("Zone only"));
    m_filter->setObjectName(QStringLiteral("lblFilter"));
    m_point = checkBox("chkPoint", QStringLiteral("POINT"), QString());
    // The hint says what POINT means and, when no location is set, why it never alarms.
    auto pointHint = [this] {
        const QString why = m_editor.pointProblem();
        m_point->setToolTip(why.isEmpty() ? PointZone::hint()
                                          : PointZone::hint() + QLatin1Char('\n') + why);
    };
    pointHint();
    connect(m_point, &QCheckBox::toggled, this, pointHint);
    layout->addWidget(labelled(QStringLiteral("Product"), m_header));
    layout->addWidget(labelled(QStringLiteral("State"), m_state));
    layout->addWidget(labelled(QStringLiteral("County / Zone"), m_county), 1);
    layout->addWidget(m_full);
    layout->addWidget(m_filter);
    layout->addWidget(m_point);
    return row;
}

QWidget* frmAlarmBox::buildSwitches()
{
    auto* box = new QGroupBox(QStringLiteral("Actions"));
    auto* layout = new QHBoxLayout(box);
    m_print = checkBox("chkPrint", QStringLiteral("Print"), QStringLiteral("Send to Printer"));
    m_screen =
        checkBox("chkScreen", QStringLiteral("Display"), QStringLiteral("Display in text window"));
    m_scroll =
        checkBox("chkScroll", QStringLiteral("Scroll"), QStringLiteral("Alert with Scrollbox"));
    m_timeOnly = checkBox("chkTime", QStringLiteral("Day only"),
                          QStringLiteral("Click to restrict valid times"));
    m_log = checkBox("chkLog", QStringLiteral("Log"), QStringLiteral("Send to weather.txt"));
    m_list =
        checkBox("chkList", QStringLiteral("List"), QStringLiteral("Add to \"Alarm\" listbox"));
    m_compress = checkBox("chkCompress", QStringLiteral("Compress"),
                          QStringLiteral("Click to compress text"));
    m_archive = checkBox("chkArchive", QStringLiteral("Archive"),
                         QStringLiteral("Send to ARCHIVE directory"));
    for (QCheckBox* b :
         {m_print, m_screen, m_scroll, m_timeOnly, m_log, m_list, m_compress, m_archive})
        layout->addWidget(b);
    return box;
}

QWidget* frmAlarmBox::buildChoices()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_alert = dropDown("lstAlert", QStringLiteral("Audio Alert"));
    m_email = dropDown("lstEmail", QStringLiteral("Send email bulletin"));
    m_pager = dropDown("lstPager", QStringLiteral("Send to pager"));
    m_exe = dropDown("lstEXE", QStringLiteral("Execute a program on alarm"));
    layout->addWidget(labelled(QStringLiteral("Audio"), m_alert));
    layout->addWidget(labelled(QStringLiteral("E-mail"), m_email));
    layout->addWidget(labelled(QStringLiteral("Pager"), m_pager));
    layout->addWidget(labelled(QStringLiteral("Program"), m_exe), 1);
    return row;
}

QWidget* frmAlarmBox::buildTimes()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_am = new QSlider(Qt::Horizontal);
    m_am->setObjectName(QStringLiteral("sldAM"));
    m_am->setToolTip(QStringLiteral("Morning Startup"));
    m_pm = new QSlider(Qt::Horizontal);
    m_pm->setObjectName(QStringLiteral("sldPM"));
    m_pm->setToolTip(QStringLiteral("Evening Cutoff"));
    for (QSlider* s : {m_am, m_pm}) {
        s->setRange(0, 24);
        s->setPageStep(1);
        s->setTickPosition(QSlider::TicksBelow);
        connect(s, &QSlider::sliderReleased, this, [this] { m_editor.storeCutoffs(); });
    }
    connect(m_am, &QSlider::valueChanged, this, [this](int hour) {
        m_editor.setCutoffAM(hour);
        m_time->setText(m_editor.timeLabel());
        if (!m_am->isSliderDown())
            m_editor.storeCutoffs();
    });
    connect(m_pm, &QSlider::valueChanged, this, [this](int hour) {
        m_editor.setCutoffPM(hour);
        m_time->setText(m_editor.timeLabel());
        if (!m_pm->isSliderDown())
            m_editor.storeCutoffs();
    });
    m_time = new QLabel;
    m_time->setObjectName(QStringLiteral("lblTime"));
    layout->addWidget(labelled(QStringLiteral("AM Cutoff"), m_am), 1);
    layout->addWidget(labelled(QStringLiteral("PM Cutoff"), m_pm), 1);
    layout->addWidget(m_time);
    return row;
}

QWidget* frmAlarmBox::buildButtons()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_add = button("cmdAdd", QStringLiteral("&Add"), QStringLiteral("Activate Alarm"));
    QPushButton* clear =
        button("cmdClear", QStringLiteral("Clear"), QStringLiteral("Reset current entry"));
    QPushButton* byProduct = button("Command1", QStringLiteral("Sort by Prod"),
                                    QStringLiteral("List alarms alphabetically"));
    QPushButton* byZone = button("Command2", QStringLiteral("Sort by Zone"),
                                 QStringLiteral("List alarms by UGC / FIPS code"));
    QPushButton* exit = button("cmdExit", QStringLiteral("E&xit"), QStringLiteral("Close Form"));
    connect(m_add, &QPushButton::clicked, this, &frmAlarmBox::cmdAdd_Click);
    connect(clear, &QPushButton::clicked, this, &frmAlarmBox::cmdClear_Click);
    connect(byProduct, &QPushButton::clicked, this, [this] {
        m_editor.sortByProduct();
        refreshGrid();
    });
    connect(byZone, &QPushButton::clicked, this, [this] {
        m_editor.sortByZone();
        refreshGrid();
    });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* b : {m_add, clear, byProduct, byZone})
        layout->addWidget(b);
    layout->addStretch();
    layout->addWidget(exit);
    return row;
}

QWidget* frmAlarmBox::buildFiles()
{
    auto* box = new QGroupBox(QStringLiteral("Alarm file"));
    auto* layout = new QHBoxLayout(box);
    for (int i = 0; i < AlarmEditor::FileCount; ++i) {
        auto* option = new QRadioButton;
        option->setObjectName(QStringLiteral("optAFile%1").arg(i));
        option->setToolTip(QStringLiteral("Double-click to Change Name"));
        option->installEventFilter(this);
        connect(option, &QRadioButton::clicked, this, [this, i] { optAFile_Click(i); });
        m_files[i] = option;
        layout->addWidget(option);
    }
    layout->addStretch();
    return box;
}

void frmAlarmBox::fillLists()
{
    m_alert->addItems(AlarmEditor::alertItems());
    for (const AlarmEditor::Choice& c : m_editor.emailItems())
        m_email->addItem(c.text, c.value);
    for (const AlarmEditor::Choice& c : m_editor.pagerItems())
        m_pager->addItem(c.text, c.value);
    m_exe->addItems(m_editor.exeItems());
}

void frmAlarmBox::showCaptions()
{
    for (int i = 0; i < AlarmEditor::FileCount; ++i)
        m_files[i]->setText(m_editor.caption(i));
}

// ---------------------------------------------------------------- fields

AlarmEditor::Fields frmAlarmBox::fields() const
{
    AlarmEditor::Fields f;
    f.header = m_header->text();
    f.mode = m_mode;
    f.state = m_state->isEnabled() ? m_state->currentIndex() : -1;
    f.county = m_county->isEnabled() ? m_county->currentIndex() : -1;
    f.full = m_mode == AlarmEditor::ZoneMode::UGC && m_full->isChecked();
    f.point = m_point->isChecked();
    f.print = m_print->isChecked();
    f.screen = m_screen->isChecked();
    f.scroll = m_scroll->isChecked();
    f.time = m_timeOnly->isChecked();
    f.log = m_log->isChecked();
    f.list = m_list->isChecked();
    f.compress = m_compress->isChecked();
    f.archive = m_archive->isChecked();
    f.alert = m_alert->currentIndex();
    f.email = m_email->currentIndex();
    f.pager = m_pager->currentIndex();
    f.exe = m_exe->currentIndex();
    return f;
}

void frmAlarmBox::showFields(const AlarmEditor::Fields& f)
{
    m_header->setText(f.header);
    applyZoneMode(f.mode);
    m_state->setCurrentIndex(f.state);
    fillCounties();
    m_county->setCurrentIndex(f.county);
    m_full->setChecked(f.full);
    m_point->setChecked(f.point);
    m_print->setChecked(f.print);
    m_screen->setChecked(f.screen);
    m_scroll->setChecked(f.scroll);
    m_timeOnly->setChecked(f.time);
    m_log->setChecked(f.log);
    m_list->setChecked(f.list);
    m_compress->setChecked(f.compress);
    m_archive->setChecked(f.archive);
    m_alert->setCurrentIndex(f.alert);
    m_email->setCurrentIndex(f.email);
    m_pager->setCurrentIndex(f.pager);
    m_exe->setCurrentIndex(f.exe);
}

void frmAlarmBox::setHeader(const QString& text)
{
    m_header->setText(text.toUpper());
    headerEdited(m_header->text());
    m_header->setFocus();
}

void frmAlarmBox::headerEdited(const QString& text)
{
    if (text != text.toUpper()) {
        const int at = m_header->cursorPosition();
        m_header->setText(text.toUpper());
        m_header->setCursorPosition(at);
    }
    const AlarmEditor::ZoneMode mode = m_editor.zoneModeFor(m_header->text());
    if (mode != m_mode)
        applyZoneMode(mode);
}

void frmAlarmBox::applyZoneMode(AlarmEditor::ZoneMode mode)
{
    m_mode = mode;
    const bool lists = mode != AlarmEditor::ZoneMode::None;
    if (!lists || m_state->currentIndex() < 0) {
        m_state->setCurrentIndex(-1);
        m_county->clear();
    } else {
        fillCounties();
    }
    m_state->setEnabled(lists);
    m_county->setEnabled(lists);
    const bool ugc = mode == AlarmEditor::ZoneMode::UGC;
    m_full->setVisible(ugc);
    m_filter->setVisible(ugc);
}

void frmAlarmBox::fillCounties()
{
    m_county->clear();
    for (const AlarmEditor::Choice& c : m_editor.countyItems(m_state->currentIndex(), m_mode))
        m_county->addItem(c.text, c.value);
    m_county->setCurrentIndex(-1);
}

// ---------------------------------------------------------------- commands

void frmAlarmBox::cmdAdd_Click()
{
    AlarmEditor::Fields f = fields();
    const bool added = m_editor.add(f);
    if (added) {
        cmdClear_Click();
        refreshGrid();
        m_grid->scrollToBottom();
    } else if (f.header != m_header->text()) {
        m_header->setText(f.header);
        headerEdited(f.header);
    }
    m_header->setFocus();
}

void frmAlarmBox::cmdClear_Click()
{
    showFields(AlarmEditor::cleared());
    m_state->setEnabled(false);
    m_county->setEnabled(false);
}

void frmAlarmBox::mnuList_Click(int index)
{
    const int row = m_grid->selectedRow();
    if (row < 0 || row >= m_editor.rowCount())
        return;
    if (!m_editor.confirmOtherCommand(fields()))
        return;
    switch (index) {
    case 0:
        showFields(m_editor.copy(row));
        break;
    case 1:
        showFields(m_editor.edit(row));
        refreshGrid();
        break;
    case 2:
        m_editor.remove(row);
        refreshGrid();
        break;
    default:
        break;
    }
}

void frmAlarmBox::optAFile_Click(int index)
{
    if (!m_editor.switchFile(index))
        m_files.at(m_editor.fileNum())->setChecked(true);
    refreshGrid();
}

void frmAlarmBox::optAFile_DblClick(int index)
{
    if (m_editor.renameFile(index))
        showCaptions();
}

void frmAlarmBox::refreshGrid()
{
    m_grid->showRows(m_editor);
}

// ---------------------------------------------------------------- events

bool frmAlarmBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < AlarmEditor::FileCount; ++i) {
            if (watched == m_files[i]) {
                optAFile_DblClick(i);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool frmAlarmBox::closeForShutdown()
{
    m_askOnClose = false;
    const bool closed = close();
    m_askOnClose = true;
    return closed;
}

void frmAlarmBox::closeEvent(QCloseEvent* event)
{
    if (m_askOnClose && !m_editor.confirmExit(fields())) {
        event->ignore();
        return;
    }
    if (!m_editor.close()) {
        event->ignore();
        return;
    }
    emit closed();
    event->accept();
}
