// VTEC strings read from real warnings of the corpus and from hand-made lines.

#include "TestSupport.h"

#include "product/PVtec.h"

#include <QFile>
#include <QtTest>

class tst_pvtec : public QObject
{
    Q_OBJECT
private slots:
    void corpusProducts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");    // action event-key
        QTest::addColumn<QString>("firstEnd"); // ISO, empty when not given
        QTest::newRow("tornado warning") << "TORJANMS.TXT" << 1 << "NEW KJAN.TO.W.0130"
                                         << "2005-08-29T18:15:00Z";
        QTest::newRow("statement cancelling part, continuing the rest")
            << "SVSOAXIA.TXT" << 2 << "CAN KOAX.TO.W.0038"
            << "2024-04-26T23:00:00Z";
        QTest::newRow("no vtec") << "AFDBOXMA.TXT" << 0 << QString() << QString();
    }
    void corpusProducts()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, firstEnd);
        QFile f(testDataPath(QStringLiteral("corpus/products/") + file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<PVtec> all = PVtec::parseAll(QString::fromLatin1(f.readAll()));
        QCOMPARE(all.size(), count);
        if (count == 0)
            return;
        QCOMPARE(all.first().action() + QLatin1Char(' ') + all.first().eventKey(), first);
        QCOMPARE(all.first().end().toString(Qt::ISODate), firstEnd);
    }

    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("beginGiven");
        QTest::addColumn<bool>("ends");
        QTest::newRow("begin not given")
            << "/O.EXT.KDMX.WS.W.0004.000000T0000Z-240110T0600Z/" << true << false << false;
        QTest::newRow("cancel") << " /O.CAN.KLMK.SV.W.0210.000000T0000Z-080605T0100Z/" << true
                                << false << true;
        QTest::newRow("upgrade") << "/O.UPG.KGRR.WS.A.0002.231201T0000Z-231202T0000Z/" << true
                                 << true << true;
        QTest::newRow("month 13") << "/O.NEW.KJAN.TO.W.0001.051329T1651Z-050829T1815Z/" << false
                                  << false << false;
        QTest::newRow("unknown action")
            << "/O.XYZ.KJAN.TO.W.0001.050829T1651Z-050829T1815Z/" << false << false << false;
        QTest::newRow("H-VTEC is not P-VTEC")
            << "/00000.0.ER.000000T0000Z.000000T0000Z.000000T0000Z.OO/" << false << false << false;
        QTest::newRow("cut short")
            << "/O.NEW.KJAN.TO.W.0130.050829T1651Z-0508" << false << false << false;
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(bool, beginGiven);
        QFETCH(bool, ends);
        const auto v = PVtec::parse(line);
        QCOMPARE(v.has_value(), valid);
        if (!v)
            return;
        QCOMPARE(v->begin().isValid(), beginGiven);
        QVERIFY(v->end().isValid());
        QCOMPARE(v->endsEvent(), ends);
    }
};

QTEST_GUILESS_MAIN(tst_pvtec)
#include "tst_pvtec.moc"
