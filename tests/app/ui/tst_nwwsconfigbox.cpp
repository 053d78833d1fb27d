#include "TestSupport.h"
#include "app/ui/NwwsConfigBox.h"
#include "core/NwwsSettings.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTest>

// The Weather Wire fields of the configuration dialog: the settings section
// and the private password file.
class TestNwwsConfigBox : public QObject
{
    Q_OBJECT
private slots:
    void savesSettingsAndPrivatePassword()
    {
        TestHome home;
        SettingsStore store(home.file(QStringLiteral("settings.ini")));
        const QString programDir = home.file(QStringLiteral("prog/"));
        NwwsConfigBox box(store, programDir);
        box.load();
        const QList<QLineEdit*> fields = box.findChildren<QLineEdit*>();
        QCOMPARE(fields.size(), 5); // user, password, server, resource, certificate
        box.findChild<QCheckBox*>()->setChecked(true);
        fields[0]->setText(QStringLiteral("wxuser"));
        fields[1]->setText(QStringLiteral("s3cret"));
        fields[2]->setText(QStringLiteral("localhost:5223"));
        QVERIFY(box.save());

        const NwwsSettings s = NwwsSettings::read(store);
        QVERIFY(s.enabled);
        QCOMPARE(s.user, QStringLiteral("wxuser"));
        QCOMPARE(s.room(), QStringLiteral("nwws@conference.localhost"));
        QString error;
        QCOMPARE(NwwsSettings::readPassword(programDir, &error), QStringLiteral("s3cret"));
        QVERIFY(fields[1]->text().isEmpty()); // not kept in the dialog

        // an empty field leaves the password as it is
        box.load();
        QVERIFY(box.save());
        QCOMPARE(NwwsSettings::readPassword(programDir, &error), QStringLiteral("s3cret"));
    }
};

QTEST_MAIN(TestNwwsConfigBox)
#include "tst_nwwsconfigbox.moc"
