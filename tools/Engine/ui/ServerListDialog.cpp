#include "ServerListDialog.h"

#include "InternetEngine.h"
#include "ServerProbe.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

ServerListDialog::ServerListDialog(InternetEngine& engine, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_list(new QListWidget(this)),
      m_advertised(new QListWidget(this)), m_entry(new QLineEdit(this)),
      m_add(new QPushButton(tr("&Add"), this)), m_remove(new QPushButton(tr("&Remove"), this)),
      m_up(new QPushButton(tr("&Up"), this)), m_down(new QPushButton(tr("&Down"), this)),
      m_test(new QPushButton(tr("&Test"), this)), m_result(new QLabel(this)),
      m_probe(new ServerProbe(engine.logonAddress(), this))
{
    setWindowTitle(tr("Stream Servers"));
    auto* intro = new QLabel(tr("Your stream servers, tried first and in this order. Enter a "
                                "server as HOST:PORT (the address its operator publishes)."),
                             this);
    intro->setWordWrap(true);
    m_entry->setPlaceholderText(tr("host:port, for example emwin.example.org:2211"));
    for (const ServerList::Server& s : engine.servers().userServers())
        m_list->addItem(s.text());
    for (const ServerList::Server& s : engine.servers().receivedServers())
        m_advertised->addItem(s.text());
    m_advertised->setMaximumHeight(90);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->setMinimumHeight(40);

    auto* entryRow = new QHBoxLayout;
    entryRow->addWidget(m_entry, 1);
    entryRow->addWidget(m_add);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {m_remove, m_up, m_down, m_test})
        side->addWidget(b);
    side->addStretch();
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_list, 1);
    listRow->addLayout(side);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(entryRow);
    layout->addLayout(listRow, 1);
    layout->addWidget(new QLabel(tr("Advertised by the servers (tried after yours):"), this));
    layout->addWidget(m_advertised);
    layout->addWidget(m_result);
    if (engine.serversFixed()) {
        auto* note = new QLabel(tr("This run uses the servers given with --server; the list "
                                   "saved here is used from the next start."),
                                this);
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    layout->addWidget(buttons);

    connect(m_add, &QPushButton::clicked, this, &ServerListDialog::addEntered);
    connect(m_entry, &QLineEdit::returnPressed, this, &ServerListDialog::addEntered);
    connect(m_entry, &QLineEdit::textChanged, this, &ServerListDialog::updateButtons);
    connect(m_remove, &QPushButton::clicked, this, &ServerListDialog::removeSelected);
    connect(m_up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(m_test, &QPushButton::clicked, this, &ServerListDialog::testSelected);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (m_list->currentRow() >= 0)
            m_advertised->setCurrentRow(-1);
        updateButtons();
    });
    connect(m_advertised, &QListWidget::currentRowChanged, this, [this] {
        if (m_advertised->currentRow() >= 0)
            m_list->setCurrentRow(-1);
        updateButtons();
    });
    connect(m_probe, &ServerProbe::progress, m_result, &QLabel::setText);
    connect(m_probe, &ServerProbe::finished, this, [this](const QString& text) {
        m_result->setText(text);
        updateButtons();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &ServerListDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_add->setDefault(true);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    updateButtons();
    resize(460, 420);
}

ServerListDialog::~ServerListDialog() = default;

QList<ServerList::Server> ServerListDialog::servers() const
{
    QList<ServerList::Server> result;
    for (int i = 0; i < m_list->count(); ++i)
        result << *ServerList::parseServer(m_list->item(i)->text());
    return result;
}

void ServerListDialog::addEntered()
{
    const auto server = ServerList::parseServer(m_entry->text());
    if (!server) {
        m_result->setText(tr("\"%1\" is not a server address: write HOST:PORT, a host name or "
                             "IPv4 address and a port from 1 to 65535.")
                              .arg(m_entry->text().trimmed()));
        return;
    }
    if (!m_list->findItems(server->text(), Qt::MatchFixedString).isEmpty()) {
        m_result->setText(tr("%1 is in the list already.").arg(server->text()));
        return;
    }
    if (m_list->count() >= ServerList::MaxUser) {
        m_result->setText(tr("The list holds at most %1 servers.").arg(ServerList::MaxUser));
        return;
    }
    m_list->addItem(server->text());
    m_list->setCurrentRow(m_list->count() - 1);
    m_entry->clear();
    m_result->setText(
        tr("Added %1. \"Test\" tries it; \"Save\" puts the list to use.").arg(server->text()));
}

void ServerListDialog::removeSelected()
{
    delete m_list->takeItem(m_list->currentRow());
    updateButtons();
}

void ServerListDialog::moveSelected(int step)
{
    const int row = m_list->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= m_list->count())
        return;
    m_list->insertItem(to, m_list->takeItem(row));
    m_list->setCurrentRow(to);
}

QString ServerListDialog::selectedServer() const
{
    if (m_list->currentItem())
        return m_list->currentItem()->text();
    if (m_advertised->currentItem())
        return m_advertised->currentItem()->text();
    return {};
}

void ServerListDialog::testSelected()
{
    const auto server = ServerList::parseServer(selectedServer());
    if (!server)
        return;
    m_probe->start(*server);
    updateButtons();
}

void ServerListDialog::save()
{
    m_probe->cancel();
    if (!m_engine.setUserServers(servers())) {
        QMessageBox::warning(
            this, windowTitle(),
            tr("The server list could not be saved to %1.").arg(m_engine.serverListPath()));
        return;
    }
    accept();
}

void ServerListDialog::updateButtons()
{
    const int row = m_list->currentRow();
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row < m_list->count() - 1);
    m_test->setEnabled(!selectedServer().isEmpty() && !m_probe->isRunning());
    m_add->setEnabled(!m_entry->text().trimmed().isEmpty());
}
