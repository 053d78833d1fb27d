// The warnings in effect, kept through the VTEC life cycle of real product
// sequences and rebuilt from a text store, and the Warning Map window
// offscreen: title count, legend, a click on a warning, the location set.

#include "TestSupport.h"
#include "core/GeoOutlines.h"
#include "map/ActiveWarnings.h"
#include "map/MapLegend.h"
#include "map/WarningColours.h"
#include "map/ui/MapView.h"
#include "map/ui/frmMap.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

QString corpusText(const QString& name)
{
    return QString::fromLatin1(readBytes(testDataPath(QStringLiteral("corpus/products/") + name)));
}

// "KEY counties end" per event, "; " between, in key order.
QString summary(const ActiveWarnings& set)
{
    QStringList parts;
    for (const ActiveWarning& w : set.events()) {
        QString part = w.key;
        const QStringList counties = w.counties();
        if (!counties.isEmpty())
            part += QLatin1Char(' ') + counties.join(QLatin1Char(','));
        if (w.end.isValid())
            part += QLatin1Char(' ') + w.end.toString(QStringLiteral("ddhhmm"));
        parts << part;
    }
    return parts.join(QStringLiteral("; "));
}

QDateTime utc(const QString& iso)
{
    return QDateTime::fromString(iso, Qt::ISODate).toUTC();
}

} // namespace

class tst_map : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_outlines = GeoOutlines::load(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") +
                                       GeoOutlines::FileName);
        QVERIFY(m_outlines);
    }

    void window()
    {
        CoreFixture f;
        // A clock before every product: all of them are still in effect.
        f.clock.current = QDateTime(QDate(2010, 1, 1), QTime(0, 0), Qt::UTC);
        ActiveWarnings warnings(f.clock);
        for (const char* name : {"TORDMXIA.TXT", "TORDMXIA.TXT@1", "TOROAXIA.TXT", "FFWOKXNJ.TXT",
                                 "WCNDMXIA.TXT", "WSWDMXIA.TXT@10"})
            warnings.addProduct(QLatin1String(name), corpusText(QLatin1String(name)));
        QStringList shown;
        const frmMap::Context context{warnings,  &*m_outlines,
                                      QString(), f.settings,
                                      f.store,   [&](const ActiveWarning& w) { shown << w.key; }};
        frmMap map(context);
        map.resize(900, 600);
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));

        QCOMPARE(map.windowTitle(), QStringLiteral("Warning Map - 5 active warnings"));
        QStringList legend;
        for (const MapLegend::Row& row : MapLegend::rows(warnings))
            legend << MapLegend::text(row);
        QCOMPARE(legend, (QStringList{"Tornado Warning (3)", "Flash Flood Warning (1)",
                                      "Tornado Watch (1)"}));

        // Marshalltown lies in the 2018 tornado warning's polygon.
        MapView* view = map.view();
        const QPointF marshalltown(-92.908, 42.049);
        view->setLevel(6, view->widgetPosOf(marshalltown));
        const QPoint at = view->widgetPosOf(marshalltown).toPoint();
        QVERIFY(view->rect().contains(at));
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
        QCOMPARE(shown, QStringList{"KDMX.TO.W.0043"});

        // Ctrl+click sets the location there and stores it.
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier, at);
        QCOMPARE(shown.size(), 1);
        QVERIFY(qAbs(f.settings.Latitude.toDouble() - 42.049) < 0.01);
        QCOMPARE(f.store.read(QStringLiteral("Location"), QStringLiteral("Longitude"), QString()),
                 f.settings.Longitude);

        // The warning ends at its VTEC end time: gone from the title once expired.
        f.clock.current = QDateTime(QDate(2018, 7, 19), QTime(21, 50), Qt::UTC);
        warnings.expire();
        QCOMPARE(map.windowTitle(), QStringLiteral("Warning Map - 2 active warnings"));
        QVERIFY(view->warningAt(at).isEmpty());
    }

    void withoutOutlines()
    {
        CoreFixture f;
        ActiveWarnings warnings(f.clock);
        const frmMap::Context context{
            warnings,   nullptr, QStringLiteral("Cannot read the outlines."),
            f.settings, f.store, {}};
        frmMap map(context);
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        QCOMPARE(map.windowTitle(), QStringLiteral("Warning Map - 0 active warnings"));
        QVERIFY(!map.grab().isNull()); // draws without outlines
    }

private:
    std::optional<GeoOutlines> m_outlines;

private slots:
    void lifeCycle_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("expected");
        const QStringList ffw = {"FFWOKXNJ.TXT", "FFWOKXNJ.TXT@1", "FFWOKXNJ.TXT@2",
                                 "FFWOKXNJ.TXT@3", "FFWOKXNJ.TXT@4"};
        QTest::newRow("flash flood NEW") << ffw.mid(0, 1) << "2023-07-09T16:20:00Z"
                                         << "KOKX.FF.W.0009 NJC003,NJC031,NYC087 091915";
        QTest::newRow("four extensions") << ffw << "2023-07-09T23:10:00Z"
                                         << "KOKX.FF.W.0009 NJC003,NJC031,NYC087 100115";
        QTest::newRow("then expired") << ffw + QStringList{"FFSOKXNJ.TXT"} << "2023-07-10T01:12:00Z"
                                      << "";
        QTest::newRow("end time passed") << ffw.mid(0, 1) << "2023-07-09T19:15:00Z"
                                         << "";
        const QStringList tor = {"TOROAXIA.TXT", "SVSOAXIA.TXT"};
        QTest::newRow("tornado, one county cancelled, one continued")
            << tor << "2024-04-26T22:20:00Z"
            << "KOAX.TO.W.0038 IAC155 262300";
        QTest::newRow("tornado, corrected, then expired")
            << tor + QStringList{"SVSOAXIA.TXT@1", "SVSOAXIA.TXT@2"} << "2024-04-26T22:55:00Z"
            << "";
        QTest::newRow("watch by counties, unseen part cancelled")
            << QStringList{"WCNDMXIA.TXT"} << "2014-06-04T03:00:00Z"
            << "KDMX.TO.A.0210 IAC003,IAC007,IAC039,IAC051,IAC053,IAC117,IAC135,IAC159,IAC173,"
               "IAC175,IAC179,IAC185 040600";
        QTest::newRow("gale watch upgraded to a warning")
            << QStringList{"MWWCARAN.TXT", "MWWCARAN.TXT@1", "MWWCARAN.TXT@16"}
            << "2015-01-30T08:00:00Z"
            << "KCAR.GL.W.0008 010900";
        QTest::newRow("winter storm warning continued, then cancelled")
            << QStringList{"WSWDMXIA.TXT", "WSWDMXIA.TXT@1", "WSWDMXIA.TXT@9"}
            << "2013-01-27T20:00:00Z"
            << "";
        QTest::newRow("winter storm warning continued")
            << QStringList{"WSWDMXIA.TXT", "WSWDMXIA.TXT@1"} << "2013-01-27T06:00:00Z"
            << "KDMX.WS.W.0001 280600";
        QTest::newRow("watch area extended")
            << QStringList{"WSWDMXIA.TXT@10"} << "2024-01-08T09:00:00Z"
            << "KDMX.WS.A.0001 100000";
        QTest::newRow("no warning in a forecast")
            << QStringList{"AFDDMXIA.TXT"} << "2024-01-08T09:00:00Z"
            << "";
    }
    void lifeCycle()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, now);
        QFETCH(QString, expected);
        FakeClock clock;
        clock.current = utc(now);
        ActiveWarnings set(clock);
        for (const QString& f : files)
            set.addProduct(f, corpusText(f));
        QCOMPARE(summary(set), expected);
    }

    // The statement's continued part draws the polygon it gives, the
    // correction moves it; the latest product is the one to show.
    void polygonAndLatestProduct()
    {
        FakeClock clock;
        clock.current = utc(QStringLiteral("2024-04-26T22:45:00Z"));
        ActiveWarnings set(clock);
        QSignalSpy changed(&set, &ActiveWarnings::changed);
        for (const char* f : {"TOROAXIA.TXT", "SVSOAXIA.TXT", "SVSOAXIA.TXT@1"})
            set.addProduct(QLatin1String(f), corpusText(QLatin1String(f)));
        QCOMPARE(changed.size(), 3);
        const ActiveWarning* w = set.event(QStringLiteral("KOAX.TO.W.0038"));
        QVERIFY(w);
        QCOMPARE(w->polygon.value(0), QPointF(-95.55, 41.35));
        QCOMPARE(w->productName, QStringLiteral("SVSOAXIA.TXT@1"));
        QVERIFY(w->productText.contains(QLatin1String("COR.KOAX")));
        QCOMPARE(set.drawableCount(), 1);
        QCOMPARE(WarningColours::colourOf(w->phenomenon, w->significance), QColor(Qt::red));
        // A product with no warning changes nothing and says nothing.
        set.addProduct(QStringLiteral("AFDDMXIA.TXT"), corpusText(QStringLiteral("AFDDMXIA.TXT")));
        QCOMPARE(changed.size(), 3);
    }

    // At start the set comes from the store: old products and files of
    // other categories are not read; a product filed meanwhile comes after.
    void rebuildFromStore()
    {
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/text/");
        QDir().mkpath(dir);
        FakeClock clock;
        clock.current = utc(QStringLiteral("2024-04-26T22:20:00Z"));
        auto store = [&](const QString& name, const QString& source, int minutesAgo) {
            QFile f(dir + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(readBytes(testDataPath(QStringLiteral("corpus/products/") + source)));
            f.setFileTime(clock.current.addSecs(-60 * minutesAgo),
                          QFileDevice::FileModificationTime);
        };
        store(QStringLiteral("TOROAX   ~KOAX~IA"), QStringLiteral("TOROAXIA.TXT"), 20);
        store(QStringLiteral("FFWOKX   ~KOKX~NJ"), QStringLiteral("FFWOKXNJ.TXT"), 60 * 24 * 30);
        store(QStringLiteral("AFDDMX   ~KDMX~IA"), QStringLiteral("TORDMXIA.TXT@1"), 5);
        ActiveWarnings set(clock);
        QSignalSpy rebuilt(&set, &ActiveWarnings::rebuilt);
        set.rebuildFrom(dir);
        set.addProduct(QStringLiteral("SVSOAXIA.TXT"), corpusText(QStringLiteral("SVSOAXIA.TXT")));
        QVERIFY(rebuilt.wait(5000));
        QCOMPARE(summary(set), QStringLiteral("KOAX.TO.W.0038 IAC155 262300"));
    }
};

QTEST_MAIN(tst_map)
#include "tst_map.moc"
