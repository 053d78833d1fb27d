// Moving finished products into Data-In: never over a product waiting there,
// versions numbered after the highest one waiting, also from another file
// system (where a rename cannot be used).
#include "TestSupport.h"
#include "ftp/DataInDelivery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {
dev_t deviceOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_dev : dev_t(0);
}
} // namespace

class TestDataInDelivery : public QObject
{
    Q_OBJECT
private slots:
    void deliver_data();
    void deliver();
};

void TestDataInDelivery::deliver_data()
{
    QTest::addColumn<QStringList>("waiting");   // in Data-In before
    QTest::addColumn<QStringList>("delivered"); // names delivered, in order
    QTest::addColumn<QStringList>("arrived");   // names they arrived as
    QTest::addColumn<bool>("otherFileSystem");

    QTest::newRow("free name") << QStringList{} << QStringList{"AFDGRRMI.TXT"}
                               << QStringList{"AFDGRRMI.TXT"} << false;
    QTest::newRow("name waiting") << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT"}
                                  << QStringList{"AFDGRRMI.TXT@1"} << false;
    QTest::newRow("after the highest version waiting")
        << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT@2", "AFDGRRMI.TXT@10"}
        << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT@11"} << false;
    QTest::newRow("version waiting without the plain name")
        << QStringList{"AFDGRRMI.TXT@3"} << QStringList{"AFDGRRMI.TXT"}
        << QStringList{"AFDGRRMI.TXT@4"} << false;
    QTest::newRow("other names do not count")
        << QStringList{"AFDGRRMI.TXTX", "AFDGRRMI.TXT@x", "XAFDGRRMI.TXT"}
        << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT"} << false;
    QTest::newRow("name waiting in other case")
        << QStringList{"afdgrrmi.txt"} << QStringList{"AFDGRRMI.TXT"}
        << QStringList{"AFDGRRMI.TXT@1"} << false;
    QTest::newRow("two of one name in one delivery")
        << QStringList{} << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT"}
        << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT@1"} << false;
    QTest::newRow("from another file system")
        << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT", "TORGRRMI.TXT"}
        << QStringList{"AFDGRRMI.TXT@1", "TORGRRMI.TXT"} << true;
}

void TestDataInDelivery::deliver()
{
    QFETCH(QStringList, waiting);
    QFETCH(QStringList, delivered);
    QFETCH(QStringList, arrived);
    QFETCH(bool, otherFileSystem);

    TestHome home;
    const QString dataIn = home.path() + QStringLiteral("/transfer/");
    QDir().mkpath(dataIn);
    QTemporaryDir shm(QStringLiteral("/dev/shm/vantorel-delivery-XXXXXX"));
    const QString from = otherFileSystem ? shm.path() + QStringLiteral("/")
                                         : home.path() + QStringLiteral("/unpacked/");
    if (otherFileSystem && (!shm.isValid() || deviceOf(shm.path()) == deviceOf(dataIn)))
        QSKIP("no second file system here");
    QDir().mkpath(from);
    for (const QString& name : waiting)
        home.write("transfer/" + name, "waiting " + name.toUtf8());

    DataInDelivery delivery(dataIn);
    for (int i = 0; i < delivered.size(); ++i) {
        const QString source = from + delivered[i];
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("new " + QByteArray::number(i));
        f.close();
        const DataInDelivery::Result result = delivery.deliver(source, delivered[i]);
        QVERIFY2(!result.error, result.error.message().c_str());
        QCOMPARE(result.path, dataIn + arrived[i]);
        QCOMPARE(readBytes(result.path), "new " + QByteArray::number(i));
        QVERIFY(!QFile::exists(source));
    }
    for (const QString& name : waiting)
        QCOMPARE(readBytes(dataIn + name), "waiting " + name.toUtf8());
    QStringList all = waiting + arrived;
    all.sort();
    QStringList present = QDir(dataIn).entryList(QDir::Files | QDir::Hidden);
    present.sort();
    QCOMPARE(present, all); // no temporary file left behind
}

QTEST_GUILESS_MAIN(TestDataInDelivery)
#include "tst_dataindelivery.moc"
