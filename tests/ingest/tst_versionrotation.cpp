#include "TestSupport.h"
#include "ingest/VersionRotation.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTest>

// Versions are files "K", "K.1" ... "K.n" holding the number of the version
// they were before the rotation ("0" for the product itself).
namespace {

QString versionName(int n)
{
    return n == 0 ? QStringLiteral("K") : QStringLiteral("K.") + QString::number(n);
}

// "n=content" for every version present, in name order.
QStringList versions(const QString& dir)
{
    QStringList result;
    for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name))
        result << name + QLatin1Char('=') + QString::fromLatin1(readBytes(dir + name));
    return result;
}

} // namespace

class TestVersionRotation : public QObject
{
    Q_OBJECT
private slots:
    void rotate_data()
    {
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("all there")
            << QList<int>{0, 1, 2, 3} << 3 << QStringList{"K.1=0", "K.2=1", "K.3=2"};
        QTest::newRow("first product") << QList<int>{0} << 3 << QStringList{"K.1=0"};
        QTest::newRow("nothing yet") << QList<int>{} << 3 << QStringList{};
        QTest::newRow("gap below the oldest: oldest still dropped")
            << QList<int>{0, 1, 3} << 3 << QStringList{"K.1=0", "K.2=1"};
        QTest::newRow("gap in the middle")
            << QList<int>{0, 2, 3} << 3 << QStringList{"K.1=0", "K.3=2"};
        QTest::newRow("versions beyond the count stay")
            << QList<int>{0, 1, 2} << 1 << QStringList{"K.1=0", "K.2=2"};
        QTest::newRow("one kept, no product: the old one goes")
            << QList<int>{1} << 1 << QStringList{};
        QTest::newRow("none kept") << QList<int>{0, 1} << 0 << QStringList{"K.1=1"};
        QTest::newRow("count below zero keeps the previous one")
            << QList<int>{0, 1} << -2 << QStringList{"K.1=0"};
    }
    void rotate()
    {
        QFETCH(QList<int>, present);
        QFETCH(int, count);
        QFETCH(QStringList, after);
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/text/");
        QDir().mkpath(dir);
        for (const int n : present)
            home.write(QStringLiteral("text/") + versionName(n), QByteArray::number(n));
        const VersionRotation rotation(dir);
        rotation.rotate(QStringLiteral("K"), count);
        QCOMPARE(versions(dir), after);
    }
    void failedStepIsReported()
    {
        // A version that cannot be replaced (a directory in its way) stops the
        // rotation with an error instead of going on as if it had moved.
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/text/");
        home.write(QStringLiteral("text/K"), "0");
        home.write(QStringLiteral("text/K.1"), "1");
        QDir().mkpath(dir + QStringLiteral("K.2/inside"));
        const VersionRotation rotation(dir);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rotation.rotate(QStringLiteral("K"), 2));
        QCOMPARE(versions(dir), QStringList({"K=0", "K.1=1"}));
    }
};

QTEST_GUILESS_MAIN(TestVersionRotation)
#include "tst_versionrotation.moc"
