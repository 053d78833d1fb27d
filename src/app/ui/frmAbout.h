#pragma once

#include <QDialog>

class IProcessLauncher;

// The About box: program title and version, the system information button
// and OK.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(IProcessLauncher& launcher, QWidget* parent = nullptr);

    // "Version " + major.minor.revision.
    static QString versionText();

private:
    void cmdSysInfo_Click();

    IProcessLauncher& m_launcher;
};
