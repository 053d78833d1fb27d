// The alarm zone POINT on real warnings: polygons and, without one, the
// county that holds the user's location; through the alarm component.

#include "FiledProductOf.h"
#include "TestSupport.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmEditor.h"
#include "core/GeoOutlines.h"
#include "core/PointZone.h"
#include "platform/TextPrinter.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

class NoPrinter : public ITextPrinter
{
public:
    bool printText(const QString&, int) override { return false; }
};

QString corpusText(const QString& name)
{
    return QString::fromLatin1(readBytes(testDataPath(QStringLiteral("corpus/products/") + name)));
}

const GeoOutlines* shippedOutlines()
{
    static const std::optional<GeoOutlines> outlines =
        GeoOutlines::load(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") + GeoOutlines::FileName);
    return outlines ? &*outlines : nullptr;
}

} // namespace

class tst_pointzone : public QObject
{
    Q_OBJECT
private slots:
    void decisions_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<QString>("segmentHas"); // empty: no alarm
        // Tornado warning for parts of Story, Hardin, Marshall and Grundy counties.
        QTest::newRow("Marshalltown, inside the polygon") << "TORDMXIA.TXT@1"
                                                          << "42.049"
                                                          << "-92.908"
                                                          << "TO.W.0043";
        QTest::newRow("Marshall County, south of the polygon") << "TORDMXIA.TXT@1"
                                                               << "41.90"
                                                               << "-93.00"
                                                               << "";
        QTest::newRow("on the polygon's corner") << "TORDMXIA.TXT@1"
                                                 << "42.06"
                                                 << "-93.36"
                                                 << "TO.W.0043";
        QTest::newRow("far away") << "TORDMXIA.TXT@1"
                                  << "35.0"
                                  << "-97.0"
                                  << "";
        // Two segments with one polygon: the part that continues the warning.
        QTest::newRow("statement, cancelled part first, continued part taken") << "SVSOAXIA.TXT"
                                                                               << "41.40"
                                                                               << "-95.60"
                                                                               << "CON.KOAX";
        QTest::newRow("statement that only ends the warning") << "SVSOAXIA.TXT@2"
                                                              << "41.40"
                                                              << "-95.60"
                                                              << "EXP.KOAX";
        // A watch lists counties and no polygon: the county of the place decides.
        QTest::newRow("watch, Greenfield in a cancelled county") << "WCNDMXIA.TXT"
                                                                 << "41.305"
                                                                 << "-94.461"
                                                                 << "CAN.KDMX.TO.A";
        QTest::newRow("watch, Centerville in a continued county") << "WCNDMXIA.TXT"
                                                                  << "40.734"
                                                                  << "-92.874"
                                                                  << "CON.KDMX.TO.A";
        QTest::newRow("watch, Des Moines not listed") << "WCNDMXIA.TXT"
                                                      << "41.586"
                                                      << "-93.625"
                                                      << "";
        // Zone codes alone never make POINT fire.
        QTest::newRow("winter storm by zones, Des Moines") << "WSWDMXIA.TXT"
                                                           << "41.586"
                                                           << "-93.625"
                                                           << "";
        QTest::newRow("no location") << "TORDMXIA.TXT@1"
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("half a location") << "TORDMXIA.TXT@1"
                                         << "42.049"
                                         << ""
                                         << "";
    }
    void decisions()
    {
        QFETCH(QString, file);
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(QString, segmentHas);
        Settings settings;
        settings.Latitude = lat;
        settings.Longitude = lon;
        const PointZone zone(settings, shippedOutlines);
        const std::optional<QString> text = zone.areaText(corpusText(file));
        QCOMPARE(text.has_value(), !segmentHas.isEmpty());
        if (text)
            QVERIFY2(text->contains(segmentHas), qPrintable(*text));
        QCOMPARE(PointZone::problem(settings).isEmpty(), !lat.isEmpty() && !lon.isEmpty());
    }

    void withoutOutlinesOnlyPolygonsDecide()
    {
        Settings settings;
        settings.Latitude = QStringLiteral("41.305");
        settings.Longitude = QStringLiteral("-94.461");
        const PointZone zone(settings, [] { return nullptr; });
        QVERIFY(!zone.areaText(corpusText(QStringLiteral("WCNDMXIA.TXT"))));
        settings.Latitude = QStringLiteral("42.049");
        settings.Longitude = QStringLiteral("-92.908");
        QVERIFY(zone.areaText(corpusText(QStringLiteral("TORDMXIA.TXT@1"))));
    }

    // The definitions TOR??? with zone POINT and with the county's code,
    // through the alarm component, for a place inside and one outside the polygon.
    void alarmComponent_data()
    {
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<bool>("alarms");
        QTest::newRow("POINT inside") << "42.049"
                                      << "-92.908"
                                      << "POINT" << true;
        QTest::newRow("POINT outside, same county") << "41.90"
                                                    << "-93.00"
                                                    << "point " << false;
        QTest::newRow("county code, outside the polygon") << "41.90"
                                                          << "-93.00"
                                                          << "IAC127" << true;
        QTest::newRow("POINT without location") << ""
                                                << ""
                                                << "POINT" << false;
    }
    void alarmComponent()
    {
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(QString, zone);
        QFETCH(bool, alarms);
        CoreFixture f;
        QDir().mkpath(f.programDir);
        f.settings.TextPath = f.dir(QStringLiteral("text"));
        f.settings.Latitude = lat;
        f.settings.Longitude = lon;
        const QString key = QStringLiteral("TORDMX   ~KDMX~IA");
        f.home.write(QStringLiteral("text/") + key,
                     readBytes(testDataPath(QStringLiteral("corpus/products/TORDMXIA.TXT@1"))));
        NoPrinter printer;
        AlarmComponent component(f.programDir, f.tables, f.clock, printer);
        const PointZone pointZone(f.settings, shippedOutlines);
        component.setPointZone(&pointZone);
        QSignalSpy screen(&component, &AlarmComponent::AlarmScreen);
        AlarmDefinition definition;
        definition.pattern = QStringLiteral("TOR???");
        definition.zone = zone;
        definition.display = 1;
        component.CheckAlarm(filedProductOf(f.settings, key, QStringLiteral("TORDMX")), definition,
                             0);
        QCOMPARE(screen.size(), alarms ? 1 : 0);
    }

    // The editor writes POINT into the zone field, reads it back, and says
    // why such a definition would not alarm while no location is set.
    void editor_data()
    {
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<bool>("told");
        QTest::newRow("no location") << ""
                                     << "" << true;
        QTest::newRow("location set") << "42.049"
                                      << "-92.908" << false;
    }
    void editor()
    {
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(bool, told);
        CoreFixture f;
        f.settings.Latitude = lat;
        f.settings.Longitude = lon;
        AlarmEditor editor(
            {f.programDir, f.alarms, f.settings, f.store, f.tables, f.prompter, {}, {}});
        AlarmEditor::Fields fields = AlarmEditor::cleared();
        fields.header = QStringLiteral("TOR???");
        fields.point = true;
        QVERIFY(editor.add(fields));
        QCOMPARE(f.alarms.definitions().last().zone, PointZone::Keyword);
        QVERIFY(editor.copy(int(f.alarms.definitions().size()) - 1).point);
        QCOMPARE(!editor.pointProblem().isEmpty(), told);
        QCOMPARE(f.prompter.messages.size(), told ? 1 : 0);
        if (told)
            QVERIFY(f.prompter.messages.first().text.contains(QLatin1String("No location")));
    }
};

QTEST_GUILESS_MAIN(tst_pointzone)
#include "tst_pointzone.moc"
