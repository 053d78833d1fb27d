#pragma once

#include <QDialog>
#include <QMap>

class FtpDownload;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// "FTP Engine": the grid of product-set buttons (Text, Images, AFOS by
// 15 minutes, 1 hour, 3 hours), the server field, the status label lblMain
// and the progress bar. The download itself is FtpDownload's; closing the
// dialog cancels a running one and saves the server.
class frmFTP : public QDialog
{
    Q_OBJECT
public:
    explicit frmFTP(FtpDownload& download, QWidget* parent = nullptr);

    QPushButton* cmdFTP(int index) const { return m_cmdFTP.value(index); }

    void cmdFTP_Click(int index);

public slots:
    // Escape closes the dialog like its close button.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildGrid(QWidget* box);
    QPushButton* addButton(int index, const QString& caption, const QString& toolTip, bool usable);
    void txtServer_Validate();

    FtpDownload& m_download;
    QLineEdit* txtServer = nullptr;
    QLabel* lblMain = nullptr;
    QProgressBar* ProgBar1 = nullptr;
    QMap<int, QPushButton*> m_cmdFTP;
};
