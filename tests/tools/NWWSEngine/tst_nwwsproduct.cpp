#include "NwwsOptions.h"
#include "NwwsProductName.h"
#include "NwwsProductText.h"
#include "OfficeStates.h"
#include "ReconnectPolicy.h"
#include "TestSupport.h"
#include "core/NwwsSettings.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// The pieces of the Weather Wire engine that need no server: the text and
// the name a product gets, the wait before reconnecting, the password file.
class TestNwwsProduct : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void broadcastForm_data();
    void broadcastForm();
    void wmoHeading_data();
    void wmoHeading();
    void fileName_data();
    void fileName();
    void corpusNames();
    void backoff_data();
    void backoff();
    void passwordFile();
    void server_data();
    void server();
    void passwordNeverOnCommandLine_data();
    void passwordNeverOnCommandLine();

private:
    OfficeStates m_offices;
};

void TestNwwsProduct::initTestCase()
{
    QString error;
    m_offices = OfficeStates::load(QStringLiteral(":/nwws/facility-list.txt"), &error);
    QVERIFY2(m_offices.size() > 100, qPrintable(error));
}

void TestNwwsProduct::broadcastForm_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray product = "FXUS61 KBOX 270001\r\r\nAFDBOX\r\r\n\r\r\nTEXT \r\r\n$$\r\r\n";
    QTest::newRow("interface form")
        << QByteArray("\n\n123 \n\nFXUS61 KBOX 270001\n\nAFDBOX\n\n\n\nTEXT "
                      "\n\n$$\n\n")
        << product;
    QTest::newRow("no leading lines, no last line end")
        << QByteArray("FXUS61 KBOX 270001\n\nAFDBOX\n\n\n\nTEXT \n\n$$") << product;
    QTest::newRow("relayed with CR CR LF")
        << QByteArray(
               "\r\r\n001 \r\r\nFXUS61 KBOX 270001\r\r\nAFDBOX\r\r\n\r\r\nTEXT \r\r\n$$\r\r\n")
        << product;
    QTest::newRow("heading with BBB")
        << QByteArray("\n\n7 \n\nSRUS52 KGSP 200505 AAQ\n\nRR2GSP\n\n")
        << QByteArray("SRUS52 KGSP 200505 AAQ\r\r\nRR2GSP\r\r\n");
    QTest::newRow("no heading: text kept")
        << QByteArray("\n\nHELLO\n\n\n\nWORLD\n\n") << QByteArray("HELLO\r\r\n\r\r\nWORLD\r\r\n");
    QTest::newRow("heading beyond the leading lines: nothing dropped")
        << QByteArray("1\n\n2\n\n3\n\n4\n\nFXUS61 KBOX 270001\n\n")
        << QByteArray("1\r\r\n2\r\r\n3\r\r\n4\r\r\nFXUS61 KBOX 270001\r\r\n");
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestNwwsProduct::broadcastForm()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, expected);
    QCOMPARE(NwwsProductText::broadcastForm(body), expected);
}

void TestNwwsProduct::wmoHeading_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("heading");
    QTest::newRow("plain") << QByteArray("WFUS53 KGRR 051200") << true;
    QTest::newRow("BBB") << QByteArray("FXUS65 KPSR 211216 AAA") << true;
    QTest::newRow("sequence number") << QByteArray("123") << false;
    QTest::newRow("short time") << QByteArray("WFUS53 KGRR 05120") << false;
    QTest::newRow("letters in ii") << QByteArray("WFUSAB KGRR 051200") << false;
    QTest::newRow("lower case") << QByteArray("wfus53 kgrr 051200") << false;
    QTest::newRow("long BBB") << QByteArray("WFUS53 KGRR 051200 AAAA") << false;
    QTest::newRow("AWIPS line") << QByteArray("AFDGRR") << false;
}

void TestNwwsProduct::wmoHeading()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, heading);
    QCOMPARE(NwwsProductText::isWmoHeading(line), heading);
}

void TestNwwsProduct::fileName_data()
{
    QTest::addColumn<QString>("awipsId");
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("ttaaii");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("name");
    const QByteArray none = "FXUS61 KBOX 270001\r\r\nAFDBOX\r\r\n";
    QTest::newRow("office's state") << "afdbox"
                                    << "KBOX"
                                    << "FXUS61" << none << "AFDBOXMA.TXT";
    QTest::newRow("county code first")
        << "flwpah"
        << "KPAH"
        << "WGUS83" << QByteArray("X\r\r\nILC003-INC129-051200-\r\r\n") << "FLWPAHIL.TXT";
    QTest::newRow("marine zone") << "mwwlwx"
                                 << "KLWX"
                                 << "WHUS71" << QByteArray("ANZ530>533-051200-\r\r\n")
                                 << "MWWLWXAN.TXT";
    QTest::newRow("river centre is national") << "ffgama"
                                              << "KTUA"
                                              << "FOUS64" << none << "FFGAMAUS.TXT";
    QTest::newRow("national centre") << "tcpat1"
                                     << "KNHC"
                                     << "WTNT31" << none << "TCPAT1US.TXT";
    QTest::newRow("unknown station") << "dsmdsm"
                                     << "KZME"
                                     << "CSUS42" << none << "DSMDSMUS.TXT";
    QTest::newRow("office unknown: the station's") << "tafags"
                                                   << "KCAE"
                                                   << "FTUS42" << none << "TAFAGSSC.TXT";
    QTest::newRow("no identifier: the data type") << ""
                                                  << "KBOX"
                                                  << "FXUS61" << none << "FXUS61MA.TXT";
    QTest::newRow("hostile identifier") << "../../etc"
                                        << "KBOX"
                                        << "FXUS61" << none << "ETCMA.TXT";
    QTest::newRow("nothing at all") << ""
                                    << ""
                                    << "" << QByteArray() << "NONAMEUS.TXT";
}

void TestNwwsProduct::fileName()
{
    QFETCH(QString, awipsId);
    QFETCH(QString, station);
    QFETCH(QString, ttaaii);
    QFETCH(QByteArray, text);
    QFETCH(QString, name);
    const NwwsProductName names(m_offices);
    QCOMPARE(names.fileName(awipsId, station, ttaaii, text), name);
}

// The names given to the corpus products agree with the names they carry
// (the broadcast's); the rest need the position of single stations.
void TestNwwsProduct::corpusNames()
{
    const QString dir = testDataPath(QStringLiteral("corpus/"));
    const QJsonArray manifest =
        QJsonDocument::fromJson(readBytes(dir + QStringLiteral("MANIFEST.json"))).array();
    QVERIFY(manifest.size() > 500);
    const NwwsProductName names(m_offices);
    QStringList differing;
    for (const QJsonValue& value : manifest) {
        const QJsonObject entry = value.toObject();
        const QString file = entry.value(QStringLiteral("file")).toString();
        const QStringList wmo =
            entry.value(QStringLiteral("wmo")).toString().split(QLatin1Char(' '));
        const QByteArray text = readBytes(dir + QStringLiteral("products/") + file);
        const QString name =
            names.fileName(entry.value(QStringLiteral("awips")).toString().toLower(), wmo.value(1),
                           wmo.value(0), text);
        if (name != file.section(QLatin1Char('@'), 0, 0))
            differing << file + QStringLiteral(" -> ") + name;
    }
    // 12 of 535 (TAFs, station reports, Samoa and Guam products) are named
    // after the place of a single station, which the tables do not give.
    QVERIFY2(differing.size() <= 12, qPrintable(differing.join(QLatin1Char('\n'))));
}

void TestNwwsProduct::backoff_data()
{
    QTest::addColumn<QList<qint64>>("sessions");
    QTest::addColumn<QList<int>>("delays");
    QTest::newRow("doubling to the ceiling")
        << QList<qint64>{0, 0, 0, 0, 0} << QList<int>{100, 200, 400, 800, 800};
    QTest::newRow("short sessions keep doubling")
        << QList<qint64>{0, 500, 999} << QList<int>{100, 200, 400};
    QTest::newRow("a stable session starts again")
        << QList<qint64>{0, 0, 0, 1000, 0} << QList<int>{100, 200, 400, 100, 200};
}

void TestNwwsProduct::backoff()
{
    QFETCH(QList<qint64>, sessions);
    QFETCH(QList<int>, delays);
    ReconnectPolicy policy({100, 800, 1000});
    QList<int> got;
    for (qint64 ms : sessions)
        got << policy.nextDelay(ms);
    QCOMPARE(got, delays);
}

void TestNwwsProduct::passwordFile()
{
    TestHome home;
    const QString dir = home.path();
    QString error;
    QVERIFY(NwwsSettings::readPassword(dir, &error).isEmpty());
    QVERIFY(error.contains(QLatin1String("no password file")));

    QVERIFY2(NwwsSettings::writePassword(dir, QStringLiteral(" pass word "), &error),
             qPrintable(error));
    const QString path = NwwsSettings::passwordPath(dir);
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QVERIFY(QFile::permissions(path).testFlag(QFileDevice::ReadOwner));
    QVERIFY(!(QFile::permissions(path) & others));
    error.clear();
    QCOMPARE(NwwsSettings::readPassword(dir, &error), QStringLiteral(" pass word "));
    QVERIFY(error.isEmpty());

    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther);
    QVERIFY(NwwsSettings::readPassword(dir, &error).isEmpty());
    QVERIFY2(error.contains(QLatin1String("read by others")), qPrintable(error));
}

void TestNwwsProduct::server_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("host alone") << "nwws-oi.weather.gov"
                                << "nwws-oi.weather.gov" << 5222;
    QTest::newRow("host and port") << "localhost:35222"
                                   << "localhost" << 35222;
    QTest::newRow("bad port") << "localhost:99999"
                              << "localhost" << 5222;
}

void TestNwwsProduct::server()
{
    QFETCH(QString, server);
    QFETCH(QString, host);
    QFETCH(int, port);
    NwwsSettings s;
    s.server = server;
    QCOMPARE(s.host(), host);
    QCOMPARE(int(s.port()), port);
    QCOMPARE(s.room(), QStringLiteral("nwws@conference.") + s.host());
}

void TestNwwsProduct::passwordNeverOnCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("--password") << QStringList{QStringLiteral("--password"), QStringLiteral("x")};
    QTest::newRow("--password=") << QStringList{QStringLiteral("--password=x")};
    QTest::newRow("-p") << QStringList{QStringLiteral("-p"), QStringLiteral("x")};
}

void TestNwwsProduct::passwordNeverOnCommandLine()
{
    QFETCH(QStringList, arguments);
    const NwwsOptions o = NwwsOptions::parse(QStringList{QStringLiteral("NWWSEngine")} + arguments);
    QVERIFY2(o.error.contains(QLatin1String("nwws-password.txt")), qPrintable(o.error));
}

QTEST_GUILESS_MAIN(TestNwwsProduct)
#include "tst_nwwsproduct.moc"
