// The Warning Map window offscreen: title count, legend, a click on a
// warning, the location set on the map.

#include "TestSupport.h"
#include "core/GeoOutlines.h"
#include "map/ActiveWarnings.h"
#include "map/MapLegend.h"
#include "map/ui/MapView.h"
#include "map/ui/frmMap.h"

#include <QTest>

namespace {

QString corpusText(const QString& name)
{
    return QString::fromLatin1(readBytes(testDataPath(QStringLiteral("corpus/products/") + name)));
}

} // namespace

class tst_frmmap : public QObject
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
};

QTEST_MAIN(tst_frmmap)
#include "tst_frmmap.moc"
