// Page blocks, page cutting and dial numbers of the pager.
#include "abcPager/HayesModem.h"
#include "abcPager/PageSplitter.h"
#include "abcPager/TapProtocol.h"

#include <QTest>

class TestTap : public QObject
{
    Q_OBJECT
private slots:
    void block_data()
    {
        QTest::addColumn<QByteArray>("pin");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("block");

        QTest::newRow("the protocol's own example") << QByteArray("123") << QByteArray("ABC")
                                                    << QByteArray("\x02"
                                                                  "123\rABC\r\x03"
                                                                  "17;\r");
        QTest::newRow("sum past 12 bits, nibble above 9")
            << QByteArray("5551234") << QByteArray(240, 'z')
            << QByteArray("\x02"
                          "5551234\r") +
                   QByteArray(240, 'z') +
                   "\r\x03"
                   "3>8\r";
        QTest::newRow("empty message") << QByteArray("1") << QByteArray()
                                       << QByteArray("\x02"
                                                     "1\r\r\x03"
                                                     "050\r");
    }
    void block()
    {
        QFETCH(QByteArray, pin);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, block);
        QCOMPARE(TapProtocol::block(pin, message), block);
    }
    void split_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<QByteArray>>("pages");

        QTest::newRow("fits") << QByteArray("TORNADO WARNING") << 80
                              << QList<QByteArray>{"TORNADO WARNING"};
        QTest::newRow("blank right at the size")
            << QByteArray("aaaa bbbb") << 4 << QList<QByteArray>{"aaaa", "bbbb"};
        QTest::newRow("cut at the last blank") << QByteArray("one two three four") << 9
                                               << QList<QByteArray>{"one two", "three", "four"};
        QTest::newRow("no blank in the second half")
            << QByteArray("abcdefghij klm") << 8 << QList<QByteArray>{"abcdefgh", "ij klm"};
        QTest::newRow("no size") << QByteArray("text") << 0 << QList<QByteArray>{};
    }
    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, size);
        QFETCH(QList<QByteArray>, pages);
        QCOMPARE(PageSplitter::split(text, size), pages);
    }
    void printable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("page");

        QTest::newRow("line ends and tabs") << "A\r\nB\tC" << QByteArray("A B C");
        QTest::newRow("end-of-text and record separators") << "\x03 TOR \x1e" << QByteArray("TOR");
        QTest::newRow("8-bit and wide characters")
            << QString::fromUtf8("Caf\xc3\xa9 45\xc2\xb0 \xf0\x9f\x98\x80!")
            << QByteArray("Caf? 45? ?!");
        QTest::newRow("delete and escape") << "x\x7fy\x1b[p" << QByteArray("x y [p");
    }
    void printable()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, page);
        QCOMPARE(PageSplitter::printable(text), page);
    }
    void pageSize_data()
    {
        QTest::addColumn<QString>("chars");
        QTest::addColumn<int>("pinLength");
        QTest::addColumn<int>("size");

        QTest::newRow("as configured") << "80" << 7 << 80;
        QTest::newRow("empty") << "" << 7 << 80;
        QTest::newRow("not a number") << "eighty" << 7 << 80;
        QTest::newRow("negative") << "-5" << 7 << 80;
        QTest::newRow("more than a block carries") << "500" << 7 << 241;
    }
    void pageSize()
    {
        QFETCH(QString, chars);
        QFETCH(int, pinLength);
        QFETCH(int, size);
        QCOMPARE(PageSplitter::pageSize(chars, pinLength), size);
        // A page of that size with the longest pager number fits one block.
        QVERIFY(TapProtocol::block(QByteArray(pinLength, '9'), QByteArray(size, 'x')).size() <=
                256);
    }
    void dialNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("dialled");

        QTest::newRow("punctuation dropped") << "1 (616) 555-9876"
                                             << "16165559876";
        QTest::newRow("pause and outside line") << "9,W5551234"
                                                << "9,W5551234";
        QTest::newRow("command injection") << "555;H0"
                                           << "";
        QTest::newRow("line end and escape") << "555\r+++ATH"
                                             << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void dialNumber()
    {
        QFETCH(QString, number);
        QFETCH(QString, dialled);
        QCOMPARE(HayesModem::dialNumber(number), dialled);
    }
};

QTEST_GUILESS_MAIN(TestTap)
#include "tst_tap.moc"
