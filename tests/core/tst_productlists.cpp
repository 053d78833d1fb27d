#include "core/ProductLists.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {
// Everything an entry shows, as the logic reads it and as a view reads it.
QString logicalState(const ProductListModel& m)
{
    QStringList rows;
    for (int r = 0; r < m.count(); ++r) {
        const ProductListModel::Entry& e = m.entry(r);
        rows << e.text + QLatin1Char('/') + (e.foreground ? e.foreground->name() : QString());
    }
    return rows.join(QLatin1Char(','));
}

QString viewState(const ProductListModel& m)
{
    QStringList rows;
    for (int r = 0; r < m.rowCount(); ++r) {
        const QModelIndex at = m.index(r);
        const QVariant fg = m.data(at, Qt::ForegroundRole);
        rows << m.data(at, Qt::DisplayRole).toString() + QLatin1Char('/') +
                    (fg.isValid() ? fg.value<QColor>().name() : QString());
    }
    return rows.join(QLatin1Char(','));
}

} // namespace

class TestProductLists : public QObject
{
    Q_OBJECT
private slots:
    void capKeepsNewest()
    {
        ProductLists lists;
        for (int i = 0; i < 151; ++i)
            lists.addReceived(QStringLiteral("P%1").arg(i));
        QCOMPARE(lists.live().count(), 150);
        QCOMPARE(lists.live().text(0), QStringLiteral("P150"));
        QCOMPARE(lists.live().text(149), QStringLiteral("P1"));
    }
    void localInsertion()
    {
        ProductLists lists;
        lists.setLocalCodes({"GRR", "=}", "=}"});
        const QString key = QStringLiteral("AFDGRR   ~KGRR~MI");
        QCOMPARE(lists.addLocal(key, key), 1);
        // A key matching two codes goes in twice.
        lists.setLocalCodes({"GRR", "RR", "=}"});
        QCOMPARE(lists.addLocal(key, key), 2);
        QCOMPARE(lists.local().count(), 3);
        // Empty boxes: nothing is local.
        lists.setLocalCodes({"=}", "=}", "=}"});
        QCOMPARE(lists.addLocal(key, key), 0);
        QVERIFY(!ProductLists::isLocal(key, QString()));
    }
    void colours()
    {
        ProductLists lists;
        lists.setLocalCodes({"GRR", "=}", "=}"});
        lists.addReceived(QStringLiteral("AFDGRR   ~KGRR~MI"));
        lists.addReceived(QStringLiteral("TORGRR   ~KGRR~MI"));
        lists.addReceived(QStringLiteral("ZFPDTX   ~KDTX~MI"));
        lists.addReceived(QStringLiteral("SVSIWX   ~KIWX~IN"));
        lists.recolour(ListKind::Live);
        const ProductListModel& l = lists.live();
        QCOMPARE(*l.entry(0).foreground, QColor(255, 0, 0)); // SVS red on green
        QCOMPARE(*l.entry(0).background, QColor(0, 255, 0));
        QVERIFY(!l.entry(1).foreground.has_value());         // plain ZFP from elsewhere
        QCOMPARE(*l.entry(2).foreground, QColor(255, 0, 0)); // local TOR: category wins
        QCOMPARE(*l.entry(2).background, QColor(0, 0, 0));
        QCOMPARE(*l.entry(3).foreground, QColor(0, 0, 255)); // local AFD: blue on grey
        QCOMPARE(*l.entry(3).background, QColor(224, 224, 224));
    }
    void longHeaderEntries_data()
    {
        QTest::addColumn<ListKind>("kind");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QColor>("foreground"); // invalid: no colour
        const QString tor = QStringLiteral("GRR~Tornado Warning").leftJustified(40, ' ') +
                            QStringLiteral("+TORGRR   ~KGRR~MI");
        const QString afd = QStringLiteral("GRR~Area Forecast Discussion").leftJustified(40, ' ') +
                            QStringLiteral("+AFDGRR   ~KGRR~MI");
        // With long entries on, a product whose category has no menu item is
        // listed under its bare key; every list takes the key the same way.
        QTest::newRow("live, long entry") << ListKind::Live << tor << QColor(255, 0, 0);
        QTest::newRow("live, bare key")
            << ListKind::Live << "SVRDTX   ~KDTX~MI" << QColor(255, 255, 0);
        QTest::newRow("live, local bare key")
            << ListKind::Live << "ZFPGRR   ~KGRR~MI" << QColor(0, 0, 255);
        QTest::newRow("local, long entry") << ListKind::Local << tor << QColor(255, 0, 0);
        QTest::newRow("local, long AFD keeps none") << ListKind::Local << afd << QColor();
        QTest::newRow("alarm, long entry") << ListKind::Alarmed << tor << QColor(255, 0, 0);
        QTest::newRow("filter, long local entry") << ListKind::Filtered << afd << QColor(0, 0, 255);
    }
    void longHeaderEntries()
    {
        QFETCH(ListKind, kind);
        QFETCH(QString, entry);
        QFETCH(QColor, foreground);
        ProductLists lists;
        lists.setLongHeader(true);
        lists.setLocalCodes({"GRR", "=}", "=}"});
        lists.list(kind).insertTop(entry, 0);
        lists.recolour(kind);
        const ProductListModel::Entry& e = lists.list(kind).entry(0);
        if (!foreground.isValid()) {
            QVERIFY(!e.foreground.has_value());
            return;
        }
        QVERIFY(e.foreground.has_value());
        QCOMPARE(*e.foreground, foreground);
        QCOMPARE(ProductLists::fileNamePart(entry).left(3), entry.right(17).left(3));
    }
    void fileNamePart()
    {
        QCOMPARE(ProductLists::fileNamePart(QStringLiteral("RADUSAPN-12051507.GIF")),
                 QStringLiteral("RADUSAPN-12051507.GIF"));
        QCOMPARE(ProductLists::fileNamePart(QStringLiteral("a+b+c")), QStringLiteral("b+c"));
    }
    void batchShowsOnce_data()
    {
        QTest::addColumn<int>("before");  // entries shown before the batch
        QTest::addColumn<int>("inserts"); // inserted in the batch
        QTest::addColumn<int>("cap");
        QTest::newRow("empty list") << 0 << 20 << 150;
        QTest::newRow("partly full") << 100 << 80 << 150;
        QTest::newRow("full, few new") << 150 << 3 << 150;
        QTest::newRow("batch beyond the cap") << 150 << 400 << 150;
        QTest::newRow("no cap") << 10 << 50 << 0;
        QTest::newRow("cap of one") << 5 << 4 << 1;
        QTest::newRow("nothing new") << 30 << 0 << 150;
    }
    // A batch changes what the logic reads exactly as single inserts do, while
    // views see one removal and one insertion at its end.
    void batchShowsOnce()
    {
        QFETCH(int, before);
        QFETCH(int, inserts);
        QFETCH(int, cap);
        ProductListModel plain, batched;
        QAbstractItemModelTester tester(&batched,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QColor red(255, 0, 0);
        for (int i = 0; i < before; ++i) {
            plain.insertTop(QStringLiteral("old%1").arg(i), cap);
            batched.insertTop(QStringLiteral("old%1").arg(i), cap);
        }
        const QString shownBefore = viewState(batched);
        QSignalSpy inserted(&batched, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&batched, &QAbstractItemModel::rowsRemoved);
        QSignalSpy cleared(&batched, &ProductListModel::selectionCleared);
        batched.beginBatch();
        batched.beginBatch(); // nested: only the outer end shows
        for (int i = 0; i < inserts; ++i) {
            for (ProductListModel* m : {&plain, &batched}) {
                m->insertTop(QStringLiteral("new%1").arg(i), cap);
                m->setColours(m->count() - 1, red, red); // an old entry at the end
                if (i % 3 == 0)
                    m->setColours(0, red, red); // a new one
            }
            QCOMPARE(logicalState(batched), logicalState(plain));
        }
        batched.endBatch();
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(removed.count(), 0);
        QCOMPARE(viewState(batched).section(QLatin1Char('/'), 0, 0),
                 shownBefore.section(QLatin1Char('/'), 0, 0));
        batched.endBatch();
        QCOMPARE(inserted.count(), inserts > 0 ? 1 : 0);
        QVERIFY(removed.count() <= 1);
        QCOMPARE(cleared.count(), inserts > 0 ? 1 : 0);
        QCOMPARE(viewState(batched), logicalState(plain));
        QCOMPARE(batched.rowCount(), plain.count());
        // After the batch the model acts at once again.
        batched.insertTop(QStringLiteral("after"), cap);
        QCOMPARE(batched.rowCount(), plain.count() + (cap > 0 && plain.count() >= cap ? 0 : 1));
        QCOMPARE(batched.text(0), QStringLiteral("after"));
    }
    // Colouring asked for during a (nested) batch gives, once the batch ends, the
    // colours of colouring at once.
    void colouringInBatchDoneAtItsEnd()
    {
        ProductLists plain, batched;
        const QStringList keys = {"AFDGRR   ~KGRR~MI", "TORDMX   ~KDMX~IA", "ZFPDTX   ~KDTX~MI",
                                  "SVSGRR   ~KGRR~MI"};
        for (ProductLists* lists : {&plain, &batched})
            lists->setLocalCodes({"GRR", "=}", "=}"});
        batched.beginBatch();
        batched.beginBatch();
        for (const QString& key : keys) {
            for (ProductLists* lists : {&plain, &batched}) {
                lists->addReceived(key);
                lists->addLocal(key, key);
                lists->recolour(ListKind::Live);
            }
        }
        batched.endBatch();
        batched.endBatch();
        const std::pair<ProductListModel*, ProductListModel*> pairs[] = {
            {&plain.live(), &batched.live()}, {&plain.local(), &batched.local()}};
        for (const auto& [plainList, batchedList] : pairs) {
            const ProductListModel& a = *plainList;
            const ProductListModel& b = *batchedList;
            QCOMPARE(b.count(), a.count());
            for (int row = 0; row < a.count(); ++row) {
                QVERIFY(b.entry(row).foreground == a.entry(row).foreground);
                QVERIFY(b.entry(row).background == a.entry(row).background);
            }
        }
        QVERIFY(plain.live().entry(0).foreground.has_value());
    }
};

QTEST_GUILESS_MAIN(TestProductLists)
#include "tst_productlists.moc"
