#include "TestSupport.h"
#include "ZipWriter.h"
#include "core/IMetarHooks.h"
#include "ingest/Unzipper.h"
#include "platform/FileLister.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <zip.h>

namespace {
class RecordingMetarHooks : public IMetarHooks
{
public:
    void GetHourly(const QString& stations, bool displayIt) override
    {
        calls << QStringLiteral("GetHourly %1 %2").arg(stations).arg(displayIt);
    }
    void GetOffHourly(const QString&, const QString&, bool) override { calls << "GetOffHourly"; }
    void AlarmMetar(const QString& kind) override { calls << QStringLiteral("AlarmMetar ") + kind; }
    QStringList calls;
};

using Member = ZipMember;

struct Fixture
{
    TestHome home;
    QString prog = home.path() + QStringLiteral("/prog/");
    QString target = home.path() + QStringLiteral("/target/");
    Settings settings;
    AlarmFile alarms;
    StatusLine status;
    RecordingMetarHooks metar;
    Unzipper unzipper{settings, alarms, status, metar};

    Fixture() { QDir().mkpath(target); }

    // Builds an archive with libzip; false when the library cannot encrypt.
    bool zip(const QString& name, const QList<Member>& members) const
    {
        return writeZip(home.file(name), members);
    }
    QString archive(const QString& name) const { return home.file(name); }
};
} // namespace

class TestUnzipper : public QObject
{
    Q_OBJECT
private slots:
    void membersLandFlatInTarget()
    {
        Fixture f;
        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary.append(char(i * 31));
        QVERIFY(f.zip("a.zip", {{"sub/", {}},
                                {"sub/deeper/AFDGRRMI.TXT", "FXUS63 KGRR\r\r\n"},
                                {"..\\BIN.DAT", binary},
                                {"../", {}}}));
        f.home.write("target/AFDGRRMI.TXT", "old contents, longer than the new");
        QVERIFY(f.unzipper.Unzipit(f.archive("a.zip"), f.target));
        QCOMPARE(f.status.text(), QStringLiteral("Unzipped Successfully"));
        QCOMPARE(f.unzipper.extracted(), QStringList({"AFDGRRMI.TXT", "BIN.DAT"}));
        QCOMPARE(QDir(f.target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"AFDGRRMI.TXT", "BIN.DAT"}));
        QCOMPARE(readBytes(f.target + "AFDGRRMI.TXT"), QByteArray("FXUS63 KGRR\r\r\n"));
        QCOMPARE(readBytes(f.target + "BIN.DAT"), binary);
        QVERIFY(f.metar.calls.isEmpty());
    }
    void targetName_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "A.TXT"
                               << "A.TXT";
        QTest::newRow("directories") << "a/b/A.TXT"
                                     << "A.TXT";
        QTest::newRow("backslashes") << "a\\b\\A.TXT"
                                     << "A.TXT";
        QTest::newRow("absolute") << "/etc/passwd"
                                  << "passwd";
        QTest::newRow("directory entry") << "a/b/"
                                         << "";
        QTest::newRow("dot dot") << "a/.."
                                 << "";
        QTest::newRow("dot") << "."
                             << "";
    }
    void targetName()
    {
        QFETCH(QString, member);
        QTEST(Unzipper::targetName(member), "name");
    }
    void badArchives_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::newRow("empty file") << QByteArray() << int(ZIP_ER_NOZIP);
        QTest::newRow("not a zip") << QByteArray("hello, this is plain text") << int(ZIP_ER_NOZIP);
        // One member whose flags name strong encryption (found by fuzzing: its
        // open failed inside the library and leaked).
        const QByteArray strong =
            QByteArray::fromBase64("UEsDBBQAAAAIACgUh136gOTnHQAAAB4AAAAMAAAAQUZER1JSTUkuVFhUc4sIDTY"
                                   "zVvB2DwpSMDA1NDIw4OXlcnRz"
                                   "AfKBDABQSwECFAMUAPkACAAoFIdd+"
                                   "oDk5x0AAAAeAAAADAAAAAAAAAAAAAAAgAEAAAAAQUZER1JSTUkuVFhUUEsF"
                                   "BgAAAAABAAEAOgAAAEcAAAAAAA==");
        QTest::newRow("strong encryption") << strong << int(ZIP_ER_ENCRNOTSUPP);
    }
    void badArchives()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        Fixture f;
        f.home.write("bad.zip", bytes);
        QVERIFY(!f.unzipper.Unzipit(f.archive("bad.zip"), f.target));
        QCOMPARE(f.status.text(), QStringLiteral("Unzip error #%1").arg(error));
        QVERIFY(QFile::exists(f.archive("bad.zip"))); // the archive stays where it is
    }
    void oversizedMemberIsRefused()
    {
        Fixture f;
        QVERIFY(f.zip("big.zip", {{"A.TXT", "small"}, {"BOMB.TXT", QByteArray(100000, 'x')}}));
        f.unzipper.setMemberLimit(1000);
        QCOMPARE(f.unzipper.VBUnZip32(f.archive("big.zip"), f.target), Unzipper::MemberTooLarge);
        QCOMPARE(f.status.text(), QStringLiteral("Unzip error #100"));
        // Refused by its declared size, before anything is written.
        QVERIFY(QDir(f.target).entryList(QDir::Files | QDir::Hidden).isEmpty());

        // A truncated archive: its end record is gone.
        QByteArray bytes = readBytes(f.archive("big.zip"));
        bytes.chop(30);
        f.home.write("cut.zip", bytes);
        QVERIFY(f.unzipper.VBUnZip32(f.archive("cut.zip"), f.target) != 0);
        QVERIFY(f.status.text().startsWith("Unzip error #"));
    }
    // An archive that would fill the disk is refused: by its declared sizes
    // before anything is written, or when its contents turn out larger.
    void limits_data()
    {
        QTest::addColumn<int>("members");
        QTest::addColumn<int>("memberBytes");
        QTest::addColumn<qint64>("totalLimit");
        QTest::addColumn<qint64>("maxMembers");
        QTest::addColumn<int>("error");
        const qint64 total = Unzipper::DefaultTotalLimit;
        const qint64 count = Unzipper::DefaultMaxMembers;
        QTest::newRow("within the limits") << 3 << 1000 << qint64(3000) << qint64(3) << 0;
        QTest::newRow("one member too many")
            << 4 << 10 << total << qint64(3) << Unzipper::TooManyMembers;
        QTest::newRow("default member count")
            << int(count) + 1 << 1 << total << count << Unzipper::TooManyMembers;
        QTest::newRow("total too large")
            << 3 << 1000 << qint64(2999) << count << Unzipper::ArchiveTooLarge;
    }
    void limits()
    {
        QFETCH(int, members);
        QFETCH(int, memberBytes);
        QFETCH(qint64, totalLimit);
        QFETCH(qint64, maxMembers);
        QFETCH(int, error);
        Fixture f;
        QList<Member> list;
        for (int i = 0; i < members; ++i)
            list.append({QStringLiteral("M%1.TXT").arg(i), QByteArray(memberBytes, 'x')});
        QVERIFY(f.zip("many.zip", list));
        f.unzipper.setTotalLimit(totalLimit);
        f.unzipper.setMaxMembers(maxMembers);
        QCOMPARE(f.unzipper.VBUnZip32(f.archive("many.zip"), f.target), error);
        const int written = int(QDir(f.target).entryList(QDir::Files | QDir::Hidden).size());
        QCOMPARE(written, error == 0 ? members : 0);
    }
    // A hidden member would sit unseen in the Data-In directory; a member named
    // like the archive would bring the archive back for ever.
    void membersThatCannotBeProductsAreRefused()
    {
        Fixture f;
        QVERIFY(f.zip("ZFPGRRMI.ZIS", {{".X", "hidden"},
                                       {"dir/.profile", "hidden"},
                                       {"zfpgrrmi.zis", "itself"},
                                       {"AFDGRRMI.TXT", "product"}}));
        f.unzipper.setArchiveName(QStringLiteral("ZFPGRRMI.ZIS"));
        QCOMPARE(f.unzipper.VBUnZip32(f.archive("ZFPGRRMI.ZIS"), f.target), 0);
        QCOMPARE(f.unzipper.extracted(), QStringList{"AFDGRRMI.TXT"});
        QCOMPARE(f.unzipper.refused(), (QStringList{".X", "dir/.profile", "zfpgrrmi.zis"}));
        QCOMPARE(QDir(f.target).entryList(QDir::Files | QDir::Hidden), QStringList{"AFDGRRMI.TXT"});
    }
    void encryptedMemberNeedsItsPassword()
    {
        Fixture f;
        if (!f.zip("enc.zip", {{"ONE.TXT", "one", true}, {"TWO.TXT", "two", true}}))
            QSKIP("libzip cannot write encrypted archives here");
        QCOMPARE(f.unzipper.VBUnZip32(f.archive("enc.zip"), f.target), Unzipper::NeedsPassword);
        QVERIFY(QDir(f.target).entryList(QDir::Files | QDir::Hidden).isEmpty());
        f.unzipper.setPassword(QStringLiteral("wrong"));
        QCOMPARE(f.unzipper.VBUnZip32(f.archive("enc.zip"), f.target), int(ZIP_ER_WRONGPASSWD));
        f.unzipper.setPassword(QStringLiteral("secret"));
        QVERIFY(f.unzipper.Unzipit(f.archive("enc.zip"), f.target));
        QCOMPARE(readBytes(f.target + "TWO.TXT"), QByteArray("two"));
    }
    void hourlyHooksRunEvenOnFailure()
    {
        Fixture f;
        f.settings.MetarDL = 1;
        f.settings.Metar = QStringLiteral("KGRR KAZO");
        f.alarms.load(
            f.home.write("prog/alarm-v15.cfg", "\"METAR\",0,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n"));
        QVERIFY(f.alarms.metarAlarmDefined());
        QVERIFY(f.zip("SAHOURLY.ZIS", {{"SAHOURLY.TXT", "METAR KGRR"}}));
        QVERIFY(f.unzipper.Unzipit(f.archive("SAHOURLY.ZIS"), f.target));
        const QStringList expected = {"GetHourly KGRR KAZO 1", "GetHourly KGRR KAZO 0",
                                      "AlarmMetar METAR"};
        QCOMPARE(f.metar.calls, expected);
        f.metar.calls.clear();
        f.home.write("SAHOURLY.ZIS", "damaged");
        QVERIFY(!f.unzipper.Unzipit(f.archive("SAHOURLY.ZIS"), f.target));
        QCOMPARE(f.metar.calls, expected);
    }
};

QTEST_GUILESS_MAIN(TestUnzipper)
#include "tst_unzipper.moc"
