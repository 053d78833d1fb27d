// The bulletin cleaner shared by the bulletin display and the alarms.

#include "TestSupport.h"

#include "product/BulletinText.h"

#include <QtTest>

using LeadingNul = BulletinText::LeadingNul;

class tst_bulletintext : public QObject
{
    Q_OBJECT
private slots:
    void clean_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("shown");   // as the bulletin display shows it
        QTest::addColumn<QString>("alarmed"); // as the alarms match it
        QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB\r\r\n") << "A\r\nB\r\n"
                                  << "A\r\nB\r\n";
        QTest::newRow("CR CR CR: one pass") << QByteArray("A\r\r\r\n") << "A\r\r\n"
                                            << "A\r\r\n";
        QTest::newRow("framing before the first start group dropped, later ones kept")
            << QByteArray("x\x01\r\r\n123\x01\r\r\nZ\0Y", 15) << "123\x01\r\nZY"
            << "123\x01\r\nZY";
        QTest::newRow("start group only") << QByteArray("\x01\r\r\n") << ""
                                          << "";
        QTest::newRow("leading NUL: not available, but alarmed") << QByteArray("\0TORNADO", 8) << ""
                                                                 << "TORNADO";
        QTest::newRow("NUL right after the start group") << QByteArray("\x01\r\r\n\0"
                                                                       "123",
                                                                       8)
                                                         << ""
                                                         << "123";
        QTest::newRow("Latin-1 kept") << QByteArray("caf\xe9") << "caf\u00e9"
                                      << "caf\u00e9";
        QTest::newRow("empty") << QByteArray() << ""
                               << "";
    }
    void clean()
    {
        QFETCH(QByteArray, raw);
        QTEST(BulletinText::clean(raw), "shown");
        QTEST(BulletinText::clean(raw, LeadingNul::Removed), "alarmed");
    }

    // A raw broadcast product shows from its sequence number on.
    void corpusRawProduct()
    {
        const QString text = BulletinText::clean(
            readBytes(testDataPath(QStringLiteral("corpus/products/TORDMXIA.TXT"))));
        QVERIFY(text.at(0).isDigit());
        QVERIFY(!text.contains(QChar(1)));
        QVERIFY(!text.contains(QStringLiteral("\r\r")));
        QVERIFY(text.contains(QStringLiteral("TORNADO WARNING")));
    }
};

QTEST_GUILESS_MAIN(tst_bulletintext)
#include "tst_bulletintext.moc"
