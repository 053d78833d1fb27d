#include "FileSystemFaults.h"
#include "TestSupport.h"
#include "alarms/ui/frmAlarmBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {
struct Fixture : CoreFixture
{
    Fixture()
    {
        const QString data = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/");
        tables.loadCounties(data + QStringLiteral("fips63.txt"));
        tables.loadZones(data + QStringLiteral("zonecode.csv"));
        tables.loadCountyProducts(data + QStringLiteral("county-prod.txt"));
        home.write(QStringLiteral("prog/alarm-v15.cfg"),
                   "\"AFDGRR\",1,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n");
    }
    AlarmEditor::Context context()
    {
        return {programDir, alarms, settings, store, tables, prompter, {}, {}};
    }
    void choose(QComboBox* box, const QString& text)
    {
        const int i = box->findText(text);
        QVERIFY2(i >= 0, qPrintable(text));
        box->setCurrentIndex(i);
        emit box->activated(i);
    }
};
} // namespace

class TestFrmAlarmBox : public QObject
{
    Q_OBJECT
private slots:
    void typedZoneAlarmIsAdded()
    {
        Fixture f;
        frmAlarmBox box(f.context());
        box.show();
        QCOMPARE(box.MSF1()->rowCount(), 1);
        QVERIFY(!box.lstState()->isEnabled());
        QTest::keyClicks(box.txtHeader(), QStringLiteral("tor.grr"));
        QCOMPARE(box.txtHeader()->text(), QStringLiteral("TOR.GRR"));
        QVERIFY(box.lstState()->isEnabled());
        QVERIFY(box.chkFull()->isVisible()); // tornado warnings name zones
        f.choose(box.lstState(), QStringLiteral("MI"));
        f.choose(box.lstCounty(), QStringLiteral("Muskegon"));
        box.chkFull()->setChecked(true);
        QTest::mouseClick(box.cmdAdd(), Qt::LeftButton);
        QCOMPARE(f.alarms.definitions().size(), 2);
        QCOMPARE(f.alarms.definitions().last().pattern, QStringLiteral("TOR?GRR"));
        QCOMPARE(f.alarms.definitions().last().zone, QStringLiteral("!MIZ050"));
        QCOMPARE(box.MSF1()->rowCount(), 2);
        QCOMPARE(box.MSF1()->item(1, 1)->text(), QStringLiteral("!MIZ050"));
        QVERIFY(box.txtHeader()->text().isEmpty());
        QVERIFY(!box.lstState()->isEnabled());

        QTest::keyClicks(box.txtHeader(), QStringLiteral("WAR..."));
        QTest::mouseClick(box.cmdAdd(), Qt::LeftButton);
        QVERIFY(box.txtHeader()->text().isEmpty());
        QCOMPARE(f.alarms.definitions().size(), 2);
    }
    void presetAndCopy()
    {
        Fixture f;
        frmAlarmBox box(f.context());
        box.show();
        box.setHeader(QStringLiteral("AFDGRR  "));
        QCOMPARE(box.txtHeader()->text(), QStringLiteral("AFDGRR  "));
        QVERIFY(!box.lstState()->isEnabled());
        // Copy with text in the field asks first.
        box.MSF1()->selectRow(0);
        f.prompter.answers = {IPrompter::Answer::Cancel, IPrompter::Answer::Ok};
        box.mnuList_Click(0);
        QCOMPARE(box.txtHeader()->text(), QStringLiteral("AFDGRR  "));
        box.mnuList_Click(0);
        QCOMPARE(box.txtHeader()->text(), QStringLiteral("AFDGRR"));
        QVERIFY(box.findChild<QCheckBox*>(QStringLiteral("chkList"))->isChecked());
        QCOMPARE(f.prompter.questions.size(), 2);
    }
    void closingSavesTheFile()
    {
        Fixture f;
        QPointer<frmAlarmBox> box = new frmAlarmBox(f.context());
        box->show();
        QSignalSpy closed(box.data(), &frmAlarmBox::closed);
        box->MSF1()->selectRow(0);
        box->mnuList_Click(1); // Edit takes the definition out
        QCOMPARE(box->MSF1()->rowCount(), 0);
        f.prompter.answers = {IPrompter::Answer::Cancel};
        QVERIFY(!box->close()); // an unfinished entry: the user keeps the window
        QCOMPARE(closed.size(), 0);
        QTest::mouseClick(box->cmdAdd(), Qt::LeftButton);
        QVERIFY(box->close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(readBytes(f.programDir + QStringLiteral("alarm-v15.cfg")),
                 QByteArray("\"AFDGRR\",1,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n"));
        QCOMPARE(f.store.read("Config", "AlarmFileNum", ""), QStringLiteral("0"));
        QTRY_VERIFY(box.isNull());
    }
    void longPatternStaysWhole()
    {
        Fixture f;
        const QString path = f.programDir + QStringLiteral("alarm-v15.cfg");
        f.home.write(QStringLiteral("prog/alarm-v15.cfg"),
                     "\"(TOR|SVR)GRR\",1,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n");
        {
            frmAlarmBox box(f.context());
            box.show();
            box.MSF1()->selectRow(0);
            box.mnuList_Click(1); // Edit
            QCOMPARE(box.txtHeader()->text(), QStringLiteral("(TOR|SVR)GRR"));
            QTest::mouseClick(box.cmdAdd(), Qt::LeftButton);
            QTest::keyClicks(box.txtHeader(), QStringLiteral("(ffw|flw).grr"));
            QTest::mouseClick(box.cmdAdd(), Qt::LeftButton);
            QVERIFY(box.close());
        }
        QCOMPARE(readBytes(path),
                 QByteArray("\"(TOR|SVR)GRR\",1,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n"
                            "\"(FFW|FLW)?GRR\",0,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n"));
        frmAlarmBox again(f.context());
        QCOMPARE(again.MSF1()->item(0, 0)->text(), QStringLiteral("(TOR|SVR)GRR"));
        QCOMPARE(again.MSF1()->item(1, 0)->text(), QStringLiteral("(FFW|FLW)?GRR"));
    }
    void failedSaveKeepsTheWindowOpen()
    {
        Fixture f;
        const QString path = f.programDir + QStringLiteral("alarm-v15.cfg");
        const QByteArray before = readBytes(path);
        QPointer<frmAlarmBox> box = new frmAlarmBox(f.context());
        box->show();
        QSignalSpy closed(box.data(), &frmAlarmBox::closed);
        QTest::keyClicks(box->txtHeader(), QStringLiteral("torgrr"));
        QTest::mouseClick(box->cmdAdd(), Qt::LeftButton);
        {
            const struct Writable
            {
                ~Writable() { FileSystemFaults::reset(); }
            } writable;
            FileSystemFaults::readOnly << QFile::encodeName(path);
            QVERIFY(!box->close());
        }
        QVERIFY(box->isVisible());
        QCOMPARE(closed.size(), 0);
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY2(f.prompter.messages.first().text.startsWith(QStringLiteral("ALARMBOX: Save")),
                 qPrintable(f.prompter.messages.first().text));
        QCOMPARE(readBytes(path), before);
        // Once the file can be written the edits are saved and the window closes.
        QVERIFY(box->close());
        QCOMPARE(closed.size(), 1);
        QVERIFY(readBytes(path).endsWith("\"TORGRR\",0,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n"));
        QTRY_VERIFY(box.isNull());
    }
    void renameAndSwitchFiles()
    {
        Fixture f;
        frmAlarmBox box(f.context());
        box.show();
        QVERIFY(box.optAFile(0)->isChecked());
        f.prompter.inputs = {QStringLiteral("Storms")};
        QTest::mouseDClick(box.optAFile(2), Qt::LeftButton);
        QCOMPARE(box.optAFile(2)->text(), QStringLiteral("Storms"));
        f.prompter.answers = {IPrompter::Answer::No};
        QTest::mouseClick(box.optAFile(2), Qt::LeftButton);
        QCOMPARE(f.settings.AlarmFileNum, quint8(2));
        QCOMPARE(box.MSF1()->rowCount(), 0);
        QTest::mouseClick(box.optAFile(0), Qt::LeftButton);
        QCOMPARE(box.MSF1()->rowCount(), 1);
    }
};

QTEST_MAIN(TestFrmAlarmBox)
#include "tst_frmalarmbox.moc"
