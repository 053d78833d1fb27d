#include "TestSupport.h"
#include "platform/BoundedRead.h"
#include "platform/CreateDir.h"
#include "platform/DateTimeText.h"
#include "platform/FileLister.h"
#include "platform/InstanceLock.h"
#include "platform/ItemReader.h"
#include "platform/ProcessLauncher.h"
#include "platform/RegExpMatcher.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <algorithm>
#include <unistd.h>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void createByPath()
    {
        TestHome home;
        const QString target = home.path() + QStringLiteral("/a/b");
        // Levels counted from the root: the temporary home's own levels plus a and b.
        const int levels = QDir::cleanPath(target).count(QLatin1Char('/'));
        QCOMPARE(CreateDir::CreateByPath(target), levels);
        QVERIFY(QFileInfo(target).isDir());
        // Again: nothing changes, same count; a trailing separator makes no difference.
        QCOMPARE(CreateDir::CreateByPath(target + QLatin1Char('/')), levels);
        QCOMPARE(CreateDir::CreateByPath(QStringLiteral("/")), 0);
        // A level that cannot be created is passed over without failing.
        home.write(QStringLiteral("file"), "x");
        CreateDir::CreateByPath(home.file(QStringLiteral("file/sub")));
        QVERIFY(!QFileInfo(home.file(QStringLiteral("file/sub"))).exists());
    }
    void getPart()
    {
        QString path = QStringLiteral("/Weather/EMWIN/");
        QCOMPARE(CreateDir::GetPart(path, QLatin1Char('/')), QStringLiteral("/"));
        QCOMPARE(path, QStringLiteral("Weather/EMWIN/"));
        QCOMPARE(CreateDir::GetPart(path, QLatin1Char('/')), QStringLiteral("Weather/"));
        QCOMPARE(CreateDir::GetPart(path, QLatin1Char('/')), QStringLiteral("EMWIN/"));
        QVERIFY(path.isEmpty());
        QString noDelimiter = QStringLiteral("abc");
        QCOMPARE(CreateDir::GetPart(noDelimiter, QLatin1Char('/')), QStringLiteral("abc"));
        QVERIFY(noDelimiter.isEmpty());
    }
    void listingOrderAndPatterns()
    {
        TestHome home;
        for (const char* name : {"B.TXT", "a.txt", "C.GIF", ".hidden", "TORGRRMI.TXT"})
            home.write(QStringLiteral("in/") + QLatin1String(name), "x");
        QDir().mkpath(home.file(QStringLiteral("in/subdir")));
        const QString dir = home.file(QStringLiteral("in"));
        QCOMPARE(FileLister::list(dir), QStringList({"a.txt", "B.TXT", "C.GIF", "TORGRRMI.TXT"}));
        QCOMPARE(FileLister::list(dir, QStringLiteral("TOR*;c*")),
                 QStringList({"C.GIF", "TORGRRMI.TXT"}));
        QCOMPARE(FileLister::list(dir, QStringLiteral("?.TXT")), QStringList({"a.txt", "B.TXT"}));
        QVERIFY(FileLister::list(home.file(QStringLiteral("missing"))).isEmpty());
        // Pattern characters other than ? and * stand for themselves.
        QVERIFY(FileLister::matches(QStringLiteral("AFDGRR   ~KGRR~MI"),
                                    QStringLiteral("AFD*~KGRR~*")));
        QVERIFY(!FileLister::matches(QStringLiteral("a+b"), QStringLiteral("a.b")));
    }
    // A bounded read returns the file up to the bound, from where the file
    // stands, and holds no more than that; a stream is read to its end.
    void boundedReads_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("skip");
        QTest::addColumn<qint64>("bound");
        const qint64 chunk = BoundedRead::ChunkBytes;
        QTest::newRow("empty") << qint64(0) << qint64(0) << qint64(100);
        QTest::newRow("shorter than the bound") << qint64(10) << qint64(0) << qint64(1 << 20);
        QTest::newRow("as long as the bound") << qint64(100) << qint64(0) << qint64(100);
        QTest::newRow("cut at the bound") << 3 * chunk << qint64(0) << chunk + 7;
        QTest::newRow("from a position") << qint64(100) << qint64(40) << qint64(100);
        QTest::newRow("zero bound") << qint64(10) << qint64(0) << qint64(0);
    }
    void boundedReads()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, skip);
        QFETCH(qint64, bound);
        QByteArray content(size, Qt::Uninitialized);
        for (qint64 i = 0; i < size; ++i)
            content[i] = char('a' + i % 26);
        const QByteArray expected = content.mid(skip, bound);

        TestHome home;
        home.write(QStringLiteral("f"), content);
        QFile file(home.path() + QStringLiteral("/f"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.seek(skip));
        const QByteArray got = BoundedRead::read(file, bound);
        QCOMPARE(got, expected);
        QVERIFY(got.capacity() <= std::max<qsizetype>(expected.size(), 1) + 64);

        // The same bytes through a pipe, which has no size to go by (at most
        // what the pipe holds without a reader).
        QFile pipe;
        int fds[2];
        QVERIFY(::pipe(fds) == 0);
        const QByteArray whole = content.mid(skip);
        const qint64 written =
            ::write(fds[1], whole.constData(), size_t(std::min<qint64>(whole.size(), 60000)));
        ::close(fds[1]);
        QVERIFY(pipe.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QCOMPARE(BoundedRead::read(pipe, bound), whole.left(std::min(written, bound)));
    }
    void lineSplitting()
    {
        QCOMPARE(TextFile::splitLines(QStringLiteral("a\r\nb\rc\nd")),
                 QStringList({"a", "b", "c", "d"}));
        QCOMPARE(TextFile::splitLines(QStringLiteral("a\r\r\nb\r\n")), QStringList({"a", "", "b"}));
        QCOMPARE(TextFile::splitLines(QStringLiteral("\n\rx")), QStringList({"", "", "x"}));
        QVERIFY(TextFile::splitLines(QString()).isEmpty());
    }
    void itemReadingPastEnd()
    {
        ItemReader reader(QStringLiteral("only\r\n"));
        reader.next();
        try {
            reader.next();
            QFAIL("read past the end");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::InputPastEnd);
        }
    }
    void itemSequences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("blanks, quotes and empty lines")
            << " MI , 050,\"GRR\", \"Kent, County\"\r\n\r\nTX,1\n"
            << QStringList{"MI", "050", "GRR", "Kent, County", "TX", "1"};
        QTest::newRow("trailing comma ends an empty item")
            << "MI,050,GRR,\r\nMI,051,GRR,Kent\r\n"
            << QStringList{"MI", "050", "GRR", "", "MI", "051", "GRR", "Kent"};
        QTest::newRow("trailing comma at the very end") << "a,b," << QStringList{"a", "b", ""};
        QTest::newRow("trailing comma and blanks") << "a, \nb" << QStringList{"a", "", "b"};
        QTest::newRow("quoted item then comma")
            << "\"x, y\",\n\"z\"" << QStringList{"x, y", "", "z"};
        QTest::newRow("empty lines hold nothing") << "a\r\n\r\n\nb\n" << QStringList{"a", "b"};
        QTest::newRow("empty item between commas") << "a,,b" << QStringList{"a", "", "b"};
        QTest::newRow("end marker with comma") << "-END-,\r\nX,Y\r\n"
                                               << QStringList{"-END-", "", "X", "Y"};
    }
    void itemSequences()
    {
        QFETCH(QString, text);
        ItemReader reader(text);
        QStringList items;
        while (!reader.atEnd())
            items << reader.next();
        QTEST(items, "items");
    }
    void generalDateTime()
    {
        QCOMPARE(DateTimeText::general(QDateTime(QDate(2026, 12, 6), QTime(18, 27, 51))),
                 QStringLiteral("12/6/2026 6:27:51 PM"));
        QCOMPARE(DateTimeText::general(QDateTime(QDate(2026, 1, 2), QTime(0, 5, 0))),
                 QStringLiteral("1/2/2026 12:05:00 AM"));
    }
    void instanceLock()
    {
        TestHome home;
        const QString path = home.file(QStringLiteral("vantorel.lock"));
        InstanceLock first(path);
        QVERIFY(first.tryLock());
        InstanceLock second(path);
        QVERIFY(!second.tryLock());
    }
    void commandLineWithBlanksInProgramDir()
    {
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/my dir/");
        const QString program = home.write(QStringLiteral("my dir/blat"), "#!/bin/sh\n");
        QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        ProcessLauncher launcher(dir);
        const QStringList parts =
            launcher.resolve(dir + QStringLiteral("blat \"") + dir +
                             QStringLiteral("output.txt\" -s \"Vantorel Data Loss\" -t a@b.c "));
        QCOMPARE(parts.value(0), QFileInfo(program).absoluteFilePath());
        QCOMPARE(parts.mid(1),
                 QStringList({dir + "output.txt", "-s", "Vantorel Data Loss", "-t", "a@b.c"}));
        // ".exe" names find the program without it; unknown programs resolve to nothing.
        QCOMPARE(launcher.findProgram(dir + QStringLiteral("blat.exe")),
                 QFileInfo(program).absoluteFilePath());
        QVERIFY(launcher.resolve(dir + QStringLiteral("NoSuchEngine.exe")).isEmpty());
    }

    void matchSearchesAnywhere_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matches");
        QTest::newRow("inside") << "GRR"
                                << "TORGRR" << true;
        QTest::newRow("dot is any character") << "TOR..."
                                              << "TORDTX" << true;
        QTest::newRow("alternatives") << "(TOR|SVR|FFW)GRR"
                                      << "SVRGRR" << true;
        QTest::newRow("no alternative fits") << "(TOR|SVR|FFW)GRR"
                                             << "AFDGRR" << false;
        QTest::newRow("case counts") << "torgrr"
                                     << "TORGRR" << false;
        QTest::newRow("empty expression") << ""
                                          << "AFDGRR" << true;
    }
    void matchSearchesAnywhere()
    {
        QFETCH(QString, expression);
        QFETCH(QString, text);
        QFETCH(bool, matches);
        RegExpMatcher matcher;
        matcher.setExpression(expression);
        QCOMPARE(matcher.expression(), expression);
        QCOMPARE(matcher.Match(text), matches);
    }
    void invalidExpressionThrowsFromMatch()
    {
        RegExpMatcher matcher;
        matcher.setExpression(QStringLiteral("TOR(GRR")); // storing does not fail
        QVERIFY(!matcher.isValid());
        try {
            matcher.Match(QStringLiteral("TORGRR"));
            QFAIL("no error for an unbalanced parenthesis");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::InvalidExpression);
            QVERIFY(error.text().contains(QStringLiteral("TOR(GRR")));
        }
        matcher.setExpression(QStringLiteral("123456789"));
        QVERIFY(!matcher.Match(QStringLiteral("TORGRR")));
    }

    void lenientNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "12" << 12.0;
        QTest::newRow("leading blank") << " 3" << 3.0;
        QTest::newRow("trailing letters") << "5x" << 5.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blank") << "   " << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("negative") << "-1" << -1.0;
        QTest::newRow("decimal") << "2.5 hours" << 2.5;
        QTest::newRow("blanks inside") << "1 2" << 12.0;
        QTest::newRow("exponent") << "1E3" << 1000.0;
        QTest::newRow("dangling exponent") << "5E" << 5.0;
        QTest::newRow("comma stops") << "7,8" << 7.0;
    }
    void lenientNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(ValueConversion::lenientNumber(text), value);
    }
    void roundingIntoRange()
    {
        QCOMPARE(ValueConversion::lenientByte("2.5"), std::uint8_t(2)); // half to even
        QCOMPARE(ValueConversion::lenientByte("3.5"), std::uint8_t(4));
        QCOMPARE(ValueConversion::lenientByte("300"), std::uint8_t(255));
        QCOMPARE(ValueConversion::lenientByte("-4"), std::uint8_t(0));
        QCOMPARE(ValueConversion::lenientInt16("99999"), std::int16_t(32767));
        QCOMPARE(ValueConversion::lenientInt16("-99999"), std::int16_t(-32768));
        QCOMPARE(ValueConversion::checkedInt16(" 1"), std::int16_t(1));
        try {
            ValueConversion::checkedInt16("40000");
            QFAIL("no overflow raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::Overflow);
        }
    }
    void strictConversions()
    {
        QCOMPARE(ValueConversion::strictInt16(" 1 "), std::int16_t(1));
        QCOMPARE(ValueConversion::strictInt16("-1"), std::int16_t(-1));
        QCOMPARE(ValueConversion::strictByte("0"), std::uint8_t(0));
        const QStringList mismatches = {"", "5x", "abc", "1 2"};
        for (const QString& text : mismatches) {
            try {
                ValueConversion::strictInt16(text);
                QFAIL(qPrintable("accepted " + text));
            } catch (const RuntimeError& e) {
                QCOMPARE(e.number(), ErrorNumber::TypeMismatch);
            }
        }
        try {
            ValueConversion::strictByte("256");
            QFAIL("no overflow raised");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::Overflow);
        }
    }
    void truthValues()
    {
        QVERIFY(ValueConversion::truthValue("True"));
        QVERIFY(ValueConversion::truthValue("TRUE"));
        QVERIFY(!ValueConversion::truthValue("false"));
        QVERIFY(ValueConversion::truthValue("-1"));
        QVERIFY(ValueConversion::truthValue(" 1"));
        QVERIFY(!ValueConversion::truthValue("0"));
        try {
            ValueConversion::truthValue("yes");
            QFAIL("accepted yes");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::TypeMismatch);
        }
    }
    void writtenForms()
    {
        QCOMPARE(ValueConversion::numberText(3), QStringLiteral(" 3"));
        QCOMPARE(ValueConversion::numberText(0), QStringLiteral(" 0"));
        QCOMPARE(ValueConversion::numberText(-1), QStringLiteral("-1"));
        QCOMPARE(ValueConversion::numberText(12.5), QStringLiteral(" 12.5"));
        QCOMPARE(ValueConversion::plainNumber(1), QStringLiteral("1"));
        QCOMPARE(ValueConversion::trueFalse(true), QStringLiteral("True"));
        // What is written reads back to the same value.
        for (double v : {0.0, 1.0, -1.0, 255.0, 32767.0, -32768.0})
            QCOMPARE(double(ValueConversion::strictInt16(ValueConversion::numberText(v))), v);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
