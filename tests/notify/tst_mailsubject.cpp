#include "TestSupport.h"
#include "core/MenuDefinitions.h"
#include "notify/MailSubject.h"

#include <QTest>

Q_DECLARE_METATYPE(MailSubject::Path)

class TestMailSubject : public QObject
{
    Q_OBJECT
private slots:
    void build_data();
    void build();
};

void TestMailSubject::build_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<MailSubject::Path>("path");
    QTest::addColumn<bool>("expand");
    QTest::addColumn<QString>("subject");

    const auto bulletin = MailSubject::Path::Bulletin;
    const auto alarm = MailSubject::Path::Alarm;
    const QString at = QStringLiteral("@ 12/6/2026 6:27:51 PM");
    QTest::newRow("not expanded") << "TORGRRMI" << bulletin << false << "TORGRRMI";
    QTest::newRow("bulletin: caption and the 5 characters after the category")
        << "TORGRR   ~KGRR~MI" << bulletin << true << "Tornado Warning : GRR  " + at;
    QTest::newRow("alarm: everything after the category")
        << "TORGRR" << alarm << true << "Tornado Warning : GRR" + at;
    QTest::newRow("category in the second code position")
        << "SVRDTXMI" << bulletin << true << "Tornado Warning : DTXMI" + at;
    QTest::newRow("third code position")
        << "FFWIWX" << alarm << true << "Tornado Warning : IWX" + at;
    QTest::newRow("the last matching item wins")
        << "AFDGRRMI" << bulletin << true << "Discussion (2) : GRRMI" + at;
    QTest::newRow("code found out of step does not match")
        << "ORSGRRMI" << bulletin << true << "ORSGRRMI" + at;
    QTest::newRow("no item: the name, then @ without a blank")
        << "ZFPGRRMI" << bulletin << true << "ZFPGRRMI" + at;
    QTest::newRow("feedback") << "FEEDBACK1" << bulletin << false << "FEEDBACK";
    QTest::newRow("FED") << "FEDGRRMI" << alarm << false << "FEEDBACK";
    QTest::newRow("test") << "TESTPROD" << bulletin << false << "TEST";
    QTest::newRow("fix-up after expansion") << "TESGRRMI" << bulletin << true << "TEST";
    QTest::newRow("fix-up is case-sensitive") << "tes" << bulletin << false << "tes";
    QTest::newRow("caption starting with FEE is fixed up too")
        << "PNSGRRMI" << bulletin << true << "FEEDBACK";
    QTest::newRow("too short to have a category") << "TO" << alarm << true << "TO" + at;
}

void TestMailSubject::build()
{
    QFETCH(QString, name);
    QFETCH(MailSubject::Path, path);
    QFETCH(bool, expand);
    QFETCH(QString, subject);
    const QList<MenuItem> items = {
        {QStringLiteral("TORSVRFFW"), QStringLiteral("Tornado Warning"), 5},
        {QStringLiteral("AFD"), QStringLiteral("Discussion (1)"), 3},
        {QStringLiteral("XORS"), QStringLiteral("Misaligned"), 3},
        {QStringLiteral("PNS"), QStringLiteral("FEE Public Notice"), 3},
        {QStringLiteral("ZZZAFD"), QStringLiteral("Discussion (2)"), 3},
    };
    FakeClock clock;
    QCOMPARE(MailSubject::build(name, path, expand, items, clock.now()), subject);
}

QTEST_GUILESS_MAIN(TestMailSubject)
#include "tst_mailsubject.moc"
