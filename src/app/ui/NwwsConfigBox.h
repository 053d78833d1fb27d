#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProcess;
class QPushButton;
class SettingsStore;

// The Weather Wire fields of the configuration dialog (section "NWWS" and
// the password, kept in nwws-password.txt, mode 0600) and "Test", which has
// the engine log in and join the room once and shows what came of it.
class NwwsConfigBox : public QGroupBox
{
    Q_OBJECT
public:
    static constexpr int TestTimeoutMs = 60000;

    NwwsConfigBox(SettingsStore& store, QString programDir, QWidget* parent = nullptr);
    ~NwwsConfigBox() override;

    void load();
    // Writes the settings, and the password when one was typed; false (with
    // the reason shown) when the password could not be written.
    bool save();
    QString testResult() const;

private:
    bool savePassword();
    void test();
    void testFinished();

    SettingsStore& m_store;
    QString m_programDir;
    QCheckBox* m_enabled;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_server;
    QLineEdit* m_resource;
    QLineEdit* m_caCert;
    QPushButton* m_test;
    QLabel* m_result;
    QProcess* m_process = nullptr;
};
