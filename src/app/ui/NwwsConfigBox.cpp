#include "app/ui/NwwsConfigBox.h"

#include "core/NwwsSettings.h"
#include "platform/ProcessLauncher.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

NwwsConfigBox::NwwsConfigBox(SettingsStore& store, QString programDir, QWidget* parent)
    : QGroupBox(QStringLiteral("NWWS (Weather Wire)"), parent), m_store(store),
      m_programDir(std::move(programDir)), m_enabled(new QCheckBox(QStringLiteral("Enabled"))),
      m_user(new QLineEdit), m_password(new QLineEdit), m_server(new QLineEdit),
      m_resource(new QLineEdit), m_caCert(new QLineEdit),
      m_test(new QPushButton(QStringLiteral("Test"))), m_result(new QLabel)
{
    m_enabled->setToolTip(QStringLiteral("Receive the Weather Wire beside the broadcast"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("unchanged"));
    m_server->setToolTip(QStringLiteral("host:port"));
    m_caCert->setToolTip(
        QStringLiteral("Certificate file to trust besides the system's (private servers)"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* form = new QFormLayout(this);
    form->addRow(m_enabled, m_test);
    form->addRow(QStringLiteral("User:"), m_user);
    form->addRow(QStringLiteral("Password:"), m_password);
    form->addRow(QStringLiteral("Server:"), m_server);
    form->addRow(QStringLiteral("Resource:"), m_resource);
    form->addRow(QStringLiteral("CA Cert:"), m_caCert);
    form->addRow(m_result);
    connect(m_test, &QPushButton::clicked, this, &NwwsConfigBox::test);
}

NwwsConfigBox::~NwwsConfigBox()
{
    if (m_process) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

void NwwsConfigBox::load()
{
    const NwwsSettings s = NwwsSettings::read(m_store);
    m_enabled->setChecked(s.enabled);
    m_user->setText(s.user);
    m_server->setText(s.server);
    m_resource->setText(s.resource);
    m_caCert->setText(s.caCert);
    m_password->clear();
}

bool NwwsConfigBox::save()
{
    NwwsSettings s;
    s.enabled = m_enabled->isChecked();
    s.user = m_user->text().trimmed();
    s.server = m_server->text().trimmed();
    s.resource = m_resource->text().trimmed();
    s.caCert = m_caCert->text().trimmed();
    s.write(m_store);
    return savePassword();
}

bool NwwsConfigBox::savePassword()
{
    if (m_password->text().isEmpty())
        return true;
    QString error;
    if (!NwwsSettings::writePassword(m_programDir, m_password->text(), &error)) {
        m_result->setText(QStringLiteral("Password not saved: ") + error);
        return false;
    }
    m_password->clear();
    return true;
}

QString NwwsConfigBox::testResult() const
{
    return m_result->text();
}

// The engine itself logs in (the password goes by the file, never by the
// command line); what it printed is shown.
void NwwsConfigBox::test()
{
    if (m_process || !savePassword())
        return;
    const QString program = ProcessLauncher(m_programDir).findProgram(QStringLiteral("NWWSEngine"));
    if (program.isEmpty()) {
        m_result->setText(QStringLiteral("NWWSEngine not found"));
        return;
    }
    QStringList arguments{QStringLiteral("--test"), QStringLiteral("--user"),
                          m_user->text().trimmed(), QStringLiteral("--server"),
                          m_server->text().trimmed()};
    if (!m_caCert->text().trimmed().isEmpty())
        arguments << QStringLiteral("--ca-cert") << m_caCert->text().trimmed();
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process, &QProcess::finished, this, &NwwsConfigBox::testFinished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            testFinished();
    });
    QTimer::singleShot(TestTimeoutMs, m_process, [p = m_process] { p->kill(); });
    m_test->setEnabled(false);
    m_result->setText(QStringLiteral("Testing..."));
    m_process->start(program, arguments);
}

void NwwsConfigBox::testFinished()
{
    if (!m_process)
        return;
    QStringList lines;
    for (const QByteArray& line : m_process->readAll().split('\n')) {
        QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty() && text.at(0).isDigit())
            text = text.section(QLatin1Char(' '), 1); // the time stamp
        if (!text.isEmpty())
            lines << text;
    }
    if (lines.isEmpty())
        lines << QStringLiteral("The test ended without a word (") + m_process->errorString() +
                     QLatin1Char(')');
    m_result->setText(lines.mid(std::max<qsizetype>(0, lines.size() - 3)).join(QLatin1Char('\n')));
    m_process->deleteLater();
    m_process = nullptr;
    m_test->setEnabled(true);
}
