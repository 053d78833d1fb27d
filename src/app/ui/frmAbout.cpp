#include "app/ui/frmAbout.h"

#include "platform/ProcessLauncher.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

frmAbout::frmAbout(IProcessLauncher& launcher, QWidget* parent)
    : QDialog(parent), m_launcher(launcher)
{
    setObjectName(QStringLiteral("frmAbout"));
    const QString title = QStringLiteral("Vantorel v1.7");
    setWindowTitle(QStringLiteral("About ") + title);
    auto* layout = new QVBoxLayout(this);
    auto* lblTitle = new QLabel(title);
    QFont big = lblTitle->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    lblTitle->setFont(big);
    auto* lblVersion = new QLabel(versionText());
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto* lblDescription =
        new QLabel(QStringLiteral("Client for the EMWIN weather broadcast of the US National "
                                  "Weather Service."));
    lblDescription->setWordWrap(true);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addWidget(lblDescription);
    auto* buttons = new QHBoxLayout;
    auto* cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    auto* cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

QString frmAbout::versionText()
{
    return QStringLiteral("Version " VANTOREL_VERSION);
}

void frmAbout::cmdSysInfo_Click()
{
    // The desktop's system information tools, first one found.
    for (const char* tool :
         {"hardinfo", "gnome-system-monitor", "ksysguard", "xfce4-taskmanager"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(tool));
        if (!path.isEmpty() &&
            m_launcher.start(QLatin1Char('"') + path + QLatin1Char('"'), LaunchWindow::Normal) != 0)
            return;
    }
    QMessageBox::information(this, QString(),
                             QStringLiteral("System Information Is Unavailable At This Time"));
}
