#include "IngestWindow.h"

#include "IngestPipeline.h"
#include "X11MapWatcher.h"

#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kLogLines = 200;
}

IngestWindow::IngestWindow(IngestPipeline& pipeline, QWidget* parent)
    : IngestWindow(&pipeline, parent)
{
}

IngestWindow::IngestWindow(QWidget* parent) : IngestWindow(nullptr, parent) {}

IngestWindow::IngestWindow(IngestPipeline* pipeline, QWidget* parent)
    : QWidget(parent), m_pipeline(pipeline), m_source(new QLabel(this)), m_state(new QLabel(this)),
      m_dataIn(new QLabel(this)), m_log(new QListWidget(this)), m_buttons(new QVBoxLayout)
{
    m_log->setObjectName(QStringLiteral("messages"));
    auto* form = new QFormLayout;
    form->addRow(tr("Source:"), m_source);
    form->addRow(tr("State:"), m_state);
    form->addRow(tr("Data-In:"), m_dataIn);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addLayout(form, 1);
    m_buttons->addStretch();
    top->addLayout(m_buttons);
    layout->addLayout(top);
    if (pipeline) {
        addCounters(*form, *layout);
    } else {
        m_products = new QLabel(this);
        m_products->setWordWrap(true);
        form->addRow(tr("Products:"), m_products);
        addLastFiles(*layout);
    }
    layout->addWidget(new QLabel(tr("Messages:"), this));
    layout->addWidget(m_log, 1);
    m_dataIn->setTextInteractionFlags(Qt::TextSelectableByMouse);
    resize(520, 520);
    m_mapWatcher =
        std::make_unique<X11MapWatcher>(*this, [this](bool mapped) { mapChanged(mapped); });
}

// The stream's counters and the last files written. The pipeline's messages
// reach the window through its engine, which passes them on as its own.
void IngestWindow::addCounters(QFormLayout& form, QVBoxLayout& layout)
{
    m_blocks = new QLabel(this);
    m_files = new QLabel(this);
    m_checksums = new QLabel(this);
    m_reconnects = new QLabel(this);
    form.addRow(tr("Blocks:"), m_blocks);
    form.addRow(tr("Files:"), m_files);
    form.addRow(tr("Checksum errors:"), m_checksums);
    form.addRow(tr("Reconnects:"), m_reconnects);
    addLastFiles(layout);
    m_dataIn->setText(m_pipeline->dataInDirectory());
    connect(m_pipeline, &IngestPipeline::countersChanged, this, &IngestWindow::refresh);
    refresh();
}

void IngestWindow::addLastFiles(QVBoxLayout& layout)
{
    m_lastFiles = new QListWidget(this);
    m_lastFiles->setObjectName(QStringLiteral("lastFiles"));
    layout.addWidget(new QLabel(tr("Last files:"), this));
    layout.addWidget(m_lastFiles, 2);
}

void IngestWindow::setDataIn(const QString& directory)
{
    m_dataIn->setText(directory);
}

void IngestWindow::setCounters(const QString& text)
{
    if (m_products)
        m_products->setText(text);
}

void IngestWindow::setLastFiles(const QStringList& files)
{
    m_lastFiles->clear();
    m_lastFiles->addItems(files);
}

IngestWindow::~IngestWindow() = default;

// Mapped from outside while hidden here: shown properly, or it stays unpainted.
void IngestWindow::mapChanged(bool mapped)
{
    if (mapped && !isVisible())
        QMetaObject::invokeMethod(
            this, [this] { show(); }, Qt::QueuedConnection);
}

void IngestWindow::setSource(const QString& text)
{
    m_source->setText(text);
}

void IngestWindow::setState(const QString& text)
{
    m_state->setText(text);
}

void IngestWindow::addLog(const QString& text)
{
    m_log->insertItem(0, QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) + text);
    while (m_log->count() > kLogLines)
        delete m_log->takeItem(m_log->count() - 1);
}

void IngestWindow::hideWindow()
{
    hide();
}

void IngestWindow::showWindow()
{
    if (isVisible())
        hide(); // it may have been unmapped from outside: map it through a fresh show
    showNormal();
    raise();
    activateWindow();
}

void IngestWindow::addButton(const QString& text, const std::function<void()>& action)
{
    auto* button = new QPushButton(text, this);
    connect(button, &QPushButton::clicked, this, action);
    m_buttons->insertWidget(m_buttons->count() - 1, button);
}

void IngestWindow::refresh()
{
    const IngestPipeline::Counters& c = m_pipeline->counters();
    m_blocks->setText(QString::number(c.blocks));
    m_files->setText(QString::number(c.files));
    m_checksums->setText(QString::number(c.checksumErrors));
    m_reconnects->setText(QString::number(c.reconnects));
    setLastFiles(m_pipeline->lastFiles());
}
