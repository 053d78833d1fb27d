#include "NwwsEngineWindow.h"

#include "NwwsEngine.h"

#include <QDateTime>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
constexpr int kLogLines = 200;
}

NwwsEngineWindow::NwwsEngineWindow(NwwsEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_state(new QLabel(this)), m_counters(new QLabel(this)),
      m_lastFiles(new QListWidget(this)), m_log(new QListWidget(this))
{
    setWindowTitle(tr("Vantorel NWWS"));
    auto* form = new QFormLayout;
    form->addRow(tr("Server:"), new QLabel(engine.server(), this));
    form->addRow(tr("State:"), m_state);
    auto* dataIn = new QLabel(engine.dataInDirectory(), this);
    dataIn->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Data-In:"), dataIn);
    form->addRow(tr("Products:"), m_counters);
    m_state->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("Last files:"), this));
    layout->addWidget(m_lastFiles, 2);
    layout->addWidget(new QLabel(tr("Messages:"), this));
    layout->addWidget(m_log, 1);
    connect(&engine, &NwwsEngine::countersChanged, this, &NwwsEngineWindow::refresh);
    connect(&engine, &NwwsEngine::stateChanged, m_state, &QLabel::setText);
    connect(&engine, &NwwsEngine::logMessage, this, &NwwsEngineWindow::addLog);
    resize(520, 520);
    refresh();
}

void NwwsEngineWindow::addLog(const QString& text)
{
    m_log->insertItem(0, QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss ")) + text);
    while (m_log->count() > kLogLines)
        delete m_log->takeItem(m_log->count() - 1);
}

void NwwsEngineWindow::showWindow()
{
    showNormal();
    raise();
    activateWindow();
}

void NwwsEngineWindow::refresh()
{
    const NwwsEngine::Counters& c = m_engine.counters();
    m_counters->setText(tr("%1 received, %2 written, %3 kept aside, %4 reconnects")
                            .arg(c.received)
                            .arg(c.written)
                            .arg(c.spilled)
                            .arg(c.reconnects));
    m_lastFiles->clear();
    m_lastFiles->addItems(m_engine.lastFiles());
}
