#include "ftp/ui/frmFTP.h"

#include "ftp/FtpDownload.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct Row
{
    const char* caption;
    const char* toolTip;
    int firstIndex;
};

constexpr Row kRows[] = {
    {"Text", "*.TXT files", 2}, {"Images", "*.JPG / *.GIF files", 5}, {"AFOS", "*.GPH files", 8}};
constexpr const char* kColumns[] = {"15min", "1 hour", "3 hours"};

QLabel* label(const QString& text, const QString& toolTip = QString())
{
    auto* l = new QLabel(text);
    l->setToolTip(toolTip);
    return l;
}
} // namespace

frmFTP::frmFTP(FtpDownload& download, QWidget* parent) : QDialog(parent), m_download(download)
{
    setObjectName(QStringLiteral("frmFTP"));
    setWindowTitle(QStringLiteral("FTP Engine"));

    txtServer = new QLineEdit(m_download.dialogOpened());
    txtServer->setObjectName(QStringLiteral("txtServer"));
    txtServer->setToolTip(QStringLiteral("FTP Server for zip files"));
    txtServer->setMinimumWidth(
        txtServer->fontMetrics().horizontalAdvance(QStringLiteral("ftp.server.example.org:2121")) +
        12);
    connect(txtServer, &QLineEdit::editingFinished, this, &frmFTP::txtServer_Validate);
    auto* serverRow = new QHBoxLayout;
    serverRow->addWidget(label(QStringLiteral("File Server:")));
    serverRow->addWidget(txtServer, 1);

    auto* grid = new QFrame;
    grid->setFrameShape(QFrame::StyledPanel);
    buildGrid(grid);

    lblMain = new QLabel(m_download.status());
    lblMain->setObjectName(QStringLiteral("lblMain"));
    lblMain->setToolTip(QStringLiteral("Status Window"));
    lblMain->setFrameShape(QFrame::Panel);
    lblMain->setFrameShadow(QFrame::Sunken);
    lblMain->setAlignment(Qt::AlignCenter);
    ProgBar1 = new QProgressBar;
    ProgBar1->setObjectName(QStringLiteral("ProgBar1"));
    ProgBar1->setRange(0, 100);
    ProgBar1->setValue(m_download.progress());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(serverRow);
    layout->addWidget(grid);
    layout->addWidget(lblMain);
    layout->addWidget(ProgBar1);

    connect(&m_download, &FtpDownload::statusChanged, lblMain, &QLabel::setText);
    connect(&m_download, &FtpDownload::progressChanged, ProgBar1, &QProgressBar::setValue);
}

void frmFTP::buildGrid(QWidget* box)
{
    auto* grid = new QGridLayout(box);
    for (int c = 0; c < 3; ++c)
        grid->addWidget(label(QLatin1String(kColumns[c])), 0, c + 1, Qt::AlignCenter);
    int row = 1;
    for (const Row& r : kRows) {
        grid->addWidget(label(QLatin1String(r.caption), QLatin1String(r.toolTip)), row, 0);
        for (int c = 0; c < 3; ++c) {
            const int index = r.firstIndex + c;
            const QString remote = FtpDownload::remoteBaseName(index);
            const bool usable = !remote.isEmpty();
            grid->addWidget(addButton(index, usable ? QStringLiteral("X") : QString(),
                                      usable ? remote : QLatin1String(r.toolTip), usable),
                            row, c + 1, Qt::AlignCenter);
        }
        ++row;
    }
    // The hourly report sets are not offered as zip files.
    auto* hourly = new QHBoxLayout;
    hourly->addWidget(
        addButton(11, QStringLiteral("SAORCMUS"), QStringLiteral("Hourly RCM Reports"), false));
    hourly->addWidget(
        addButton(12, QStringLiteral("SAHOURLY"), QStringLiteral("Hourly METAR Reports"), false));
    grid->addLayout(hourly, row, 0, 1, 4);
}

QPushButton* frmFTP::addButton(int index, const QString& caption, const QString& toolTip,
                               bool usable)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QStringLiteral("cmdFTP%1").arg(index));
    button->setToolTip(toolTip);
    button->setEnabled(usable);
    button->setAutoDefault(false);
    if (caption.size() <= 1)
        button->setFixedSize(36, 28);
    connect(button, &QPushButton::clicked, this, [this, index] { cmdFTP_Click(index); });
    m_cmdFTP.insert(index, button);
    return button;
}

void frmFTP::txtServer_Validate()
{
    m_download.setServer(txtServer->text());
}

void frmFTP::cmdFTP_Click(int index)
{
    // Leaving the field for a button validates it first.
    txtServer_Validate();
    m_download.download(index);
}

void frmFTP::closeEvent(QCloseEvent* event)
{
    txtServer_Validate();
    m_download.dialogClosing();
    event->accept();
}

void frmFTP::reject()
{
    close();
}
