// The quarantine both the product filing and the image viewer move bad files
// to: names kept, names already there never replaced, nothing lost.

#include "TestSupport.h"

#include "product/Quarantine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

class tst_quarantine : public QObject
{
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<QStringList>("present"); // already in track/bad ("@" = dangling link)
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("used");
        QTest::newRow("free") << QStringList() << "RADUSAPN-12051507.GIF"
                              << "RADUSAPN-12051507.GIF";
        QTest::newRow("taken") << QStringList{"X.GIF"} << "X.GIF"
                               << "X.GIF.1";
        QTest::newRow("taken twice") << QStringList{"X.GIF", "X.GIF.1"} << "X.GIF"
                                     << "X.GIF.2";
        QTest::newRow("gap is not reused before the first number")
            << QStringList{"X.GIF", "X.GIF.2"} << "X.GIF"
            << "X.GIF.1";
        QTest::newRow("a dangling link holds its name") << QStringList{"@X.GIF"} << "X.GIF"
                                                        << "X.GIF.1";
        QTest::newRow("received product with suffix")
            << QStringList{"AFDGRRMI.TXT@2"} << "AFDGRRMI.TXT@2"
            << "AFDGRRMI.TXT@2.1";
        QTest::newRow("control character") << QStringList() << "AFD\x01GRR"
                                           << "AFD_GRR";
        QTest::newRow("dot dot") << QStringList() << ".."
                                 << "unnamed..";
        QTest::newRow("long name cut")
            << QStringList() << QString(300, QLatin1Char('G')) << QString(200, QLatin1Char('G'));
    }
    void names()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, name);
        QFETCH(QString, used);
        TestHome home;
        const QString programDir = home.path() + QLatin1Char('/');
        Quarantine q(programDir);
        QCOMPARE(q.directory(), programDir + QStringLiteral("track/bad/"));
        QVERIFY(QDir().mkpath(q.directory()));
        for (const QString& entry : present) {
            if (entry.startsWith(QLatin1Char('@')))
                QVERIFY(QFile::link(programDir + "missing", q.directory() + entry.mid(1)));
            else
                home.write(QStringLiteral("track/bad/") + entry, entry.toLatin1());
        }
        const QString source = home.write(QStringLiteral("in/file"), "product");
        QCOMPARE(q.take(source, name), used);
        QVERIFY(q.error().isEmpty());
        QCOMPARE(readBytes(q.directory() + used), QByteArray("product"));
        QVERIFY(!QFileInfo::exists(source));
        for (const QString& entry : present) {
            if (!entry.startsWith(QLatin1Char('@')))
                QCOMPARE(readBytes(q.directory() + entry), entry.toLatin1());
            else
                QVERIFY(QFileInfo(q.directory() + entry.mid(1)).isSymLink());
        }
    }

    // A directory named without its final "/" (the image viewer's setting),
    // or none at all, and a file that is gone.
    void directories_data()
    {
        QTest::addColumn<QString>("directory"); // below the home; "-" for none
        QTest::addColumn<bool>("sourceThere");
        QTest::addColumn<bool>("taken");
        QTest::newRow("with /") << "bad/" << true << true;
        QTest::newRow("without /") << "bad" << true << true;
        QTest::newRow("not given: the file stays") << "-" << true << false;
        QTest::newRow("source gone") << "bad/" << false << false;
    }
    void directories()
    {
        QFETCH(QString, directory);
        QFETCH(bool, sourceThere);
        QFETCH(bool, taken);
        TestHome home;
        const QString source = home.file(QStringLiteral("X.GIF"));
        if (sourceThere)
            home.write(QStringLiteral("X.GIF"), "picture");
        Quarantine q = Quarantine::inDirectory(
            directory == QLatin1String("-") ? QString() : home.file(directory));
        const QString used = q.take(source, QStringLiteral("X.GIF"));
        QCOMPARE(!used.isEmpty(), taken);
        QCOMPARE(q.error().isEmpty(), taken);
        if (taken)
            QCOMPARE(readBytes(home.file(QStringLiteral("bad/X.GIF"))), QByteArray("picture"));
        else
            QCOMPARE(QFileInfo::exists(source), sourceThere);
    }
};

QTEST_GUILESS_MAIN(tst_quarantine)
#include "tst_quarantine.moc"
