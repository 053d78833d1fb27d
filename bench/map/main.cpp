// Warning Map benchmark: the time to open the map with every outline (read
// the outline file, build the window, first paint), the redraw time while
// panning at two zoom levels, and the active set for a burst of products
// (fed one by one as filing does, and rebuilt from a store of that many
// files on the worker thread). Run offscreen:
//
//   QT_QPA_PLATFORM=offscreen bench_map [products]   (default 10000)

#include "core/GeoOutlines.h"
#include "core/Settings.h"
#include "map/ActiveWarnings.h"
#include "map/ui/MapView.h"
#include "map/ui/frmMap.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

class FixedClock : public IClock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2010, 1, 1), QTime(), Qt::UTC); }
};

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

// Product i of the burst: a tornado warning of one of 500 offices-and-numbers,
// issued, continued or cancelled in turn, its polygon moved across the country.
QString burstProduct(const QString& model, int i)
{
    static const char* actions[] = {"NEW", "CON", "CON", "CAN"};
    const int event = (i / 4) % 500;
    QString text = model;
    text.replace(QStringLiteral("/O.NEW.KDMX.TO.W.0043."),
                 QStringLiteral("/O.%1.KDMX.TO.W.%2.")
                     .arg(QLatin1String(actions[i % 4]))
                     .arg(event + 1, 4, 10, QLatin1Char('0')));
    const int dLon = (event % 50) * 80; // hundredths of a degree
    const int dLat = (event / 50) * 60 - 300;
    const QString polygon = QStringLiteral("LAT...LON %1 %2 %3 %4 %5 %6 %7 %8")
                                .arg(4206 + dLat)
                                .arg(9336 + dLon - 2000)
                                .arg(4224 + dLat)
                                .arg(9336 + dLon - 2000)
                                .arg(4229 + dLat)
                                .arg(9279 + dLon - 2000)
                                .arg(4195 + dLat)
                                .arg(9278 + dLon - 2000);
    text.replace(QStringLiteral("LAT...LON 4206 9336 4224 9336 4229 9279 4195 9278"), polygon);
    return text;
}

double msSince(const QElapsedTimer& t)
{
    return t.nsecsElapsed() / 1e6;
}

// Processor time of the process (all threads), in ms: the figure that a
// loaded machine does not inflate.
double cpuMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

// Paints the view into an image, as a repaint of the window would.
void paint(QWidget* view)
{
    QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
    view->render(&image);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int products = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    const QString dataDir = QStringLiteral(VANTOREL_TEST_DATA_DIR "/../../data/");
    const QString corpus = QStringLiteral(VANTOREL_TEST_DATA_DIR "/corpus/products/");
    QTemporaryDir home;
    SettingsStore store(home.filePath(QStringLiteral("Vantorel-v15.conf")));
    Settings settings;
    settings.Latitude = QStringLiteral("42.049");
    settings.Longitude = QStringLiteral("-92.908");
    FixedClock clock;
    ActiveWarnings warnings(clock);
    const QString model = readText(corpus + QStringLiteral("TORDMXIA.TXT@1"));
    for (int i = 0; i < 40; ++i)
        warnings.addProduct(QStringLiteral("TORDMXIA.TXT"), burstProduct(model, i * 4));

    // Open: outlines read, window built, first paint.
    QElapsedTimer t;
    t.start();
    double cpu = cpuMs();
    std::optional<GeoOutlines> outlines = GeoOutlines::load(dataDir + GeoOutlines::FileName);
    const double readMs = msSince(t);
    if (!outlines) {
        std::fprintf(stderr, "cannot read the outlines in %s\n", qPrintable(dataDir));
        return 1;
    }
    const frmMap::Context context{warnings, &*outlines, QString(), settings, store, {}};
    frmMap map(context);
    map.resize(1200, 800);
    map.show();
    paint(map.view());
    const double openMs = msSince(t);
    std::printf("map open: %.1f ms, cpu %.1f ms (outline file %.1f ms; %lld counties, %lld states, "
                "%d warnings)\n",
                openMs, cpuMs() - cpu, readMs, qlonglong(outlines->counties().size()),
                qlonglong(outlines->states().size()), warnings.count());

    // Panning: the outlines of the level are ready; every step moves and repaints.
    for (int level : {0, 4}) {
        MapView* view = map.view();
        view->setLevel(level, QPointF(view->width() / 2.0, view->height() / 2.0));
        t.restart();
        paint(view); // prepares the level
        const double prepareMs = msSince(t);
        QList<double> times;
        for (int i = 0; i < 60; ++i) {
            t.restart();
            view->panBy(QPointF(i % 20 < 10 ? 12 : -12, 4 * (i % 2 ? 1 : -1)));
            paint(view);
            times << msSince(t);
        }
        std::sort(times.begin(), times.end());
        std::printf("level %d: first paint (outlines prepared) %.1f ms; pan redraw median %.1f "
                    "ms, worst %.1f ms (60 steps)\n",
                    level, prepareMs, times.at(times.size() / 2), times.last());
    }

    // A burst fed one by one as filing does.
    QStringList burst;
    for (int i = 0; i < products; ++i)
        burst << burstProduct(model, i);
    ActiveWarnings fed(clock);
    double worst = 0;
    t.restart();
    cpu = cpuMs();
    QElapsedTimer one;
    for (int i = 0; i < products; ++i) {
        one.start();
        fed.addProduct(QStringLiteral("TORDMX"), burst.at(i));
        worst = std::max(worst, msSince(one));
    }
    const double fedMs = msSince(t);
    const double fedCpu = cpuMs() - cpu;
    std::printf("burst of %d products fed one by one: %.0f ms, cpu %.0f ms (%.1f us each), "
                "worst single product %.2f ms, %d in effect\n",
                products, fedMs, fedCpu, fedCpu * 1000 / products, worst, fed.count());

    // The same products as a store, rebuilt on the worker thread.
    QTemporaryDir storeDir;
    for (int i = 0; i < products; ++i) {
        QFile f(storeDir.filePath(QStringLiteral("TORDMX   ~KDMX~IA.%1").arg(i)));
        if (f.open(QIODevice::WriteOnly))
            f.write(burst.at(i).toLatin1());
    }
    ActiveWarnings rebuilt(clock);
    QEventLoop loop;
    QObject::connect(&rebuilt, &ActiveWarnings::rebuilt, &loop, &QEventLoop::quit);
    t.restart();
    cpu = cpuMs();
    StoreReplay::Limits limits;
    limits.maxFiles = products;
    rebuilt.rebuildFrom(storeDir.path() + QLatin1Char('/'), limits);
    loop.exec();
    std::printf("rebuild from a store of %d files: %.0f ms, cpu %.0f ms (worker thread), "
                "%d in effect\n",
                products, msSince(t), cpuMs() - cpu, rebuilt.count());
    return 0;
}
