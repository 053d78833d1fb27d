// Image loop benchmark: writes a loop of 10 frames of 1000x800 pictures
// (GIF, then JPG) into a temporary image directory and shows it through the
// viewer logic the windows use (ShowPic, the frame loader and its cache).
// Prints the time to the first picture with empty and with filled cache, the
// cost of a loop tick and the resident memory.
//
//   bench_images [frames] [width] [height]     (default 10 1000 800)

#include "../../tests/images/ImageTestFiles.h"
#include "BenchFigures.h"
#include "CountingPrompter.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "images/FrameCache.h"
#include "images/FrameLoader.h"
#include "images/ImageViewer.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

namespace {
// A field of /proc/self/status in kB (VmRSS, VmHWM); 0 where there is none.
qint64 procStatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// ShowPic and wait for the frames; the elapsed milliseconds.
double showPic(ImageViewer& viewer, const QString& prefix)
{
    QEventLoop loop;
    QObject::connect(&viewer, &ImageViewer::requestFinished, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    t.start();
    viewer.ShowPic(prefix);
    loop.exec();
    return t.nsecsElapsed() / 1e6;
}

void run(QTextStream& out, const QString& dir, const QString& extension, int frames,
         const QSize& size)
{
    const QString prefix =
        extension == QLatin1String("GIF") ? QStringLiteral("RADALLUS") : QStringLiteral("G16CIRUS");
    qint64 bytes = 0;
    int seed = 0;
    for (const QString& name : imagetest::stampedNames(prefix, frames, extension))
        bytes += QFileInfo(imagetest::writeImage(dir, name, size, ++seed)).size();

    Settings settings;
    settings.GIFPath = dir;
    StatusLine status;
    CountingPrompter prompter;
    SystemClock clock;
    FrameCache cache;
    FrameLoader loader(cache);
    ImageViewer viewer({settings, status, prompter, clock, loader, dir + "bad/"});

    const qint64 rssBefore = procStatusKb("VmRSS:");
    const double cold = showPic(viewer, prefix);
    const double warm = showPic(viewer, prefix);
    QElapsedTimer t;
    t.start();
    const int ticks = 1000;
    for (int i = 0; i < ticks; ++i)
        viewer.showNextFrame();
    const double tick = t.nsecsElapsed() / 1e3 / ticks;
    const qint64 rssAfter = procStatusKb("VmRSS:");

    out << extension << ": " << viewer.LastFrame() + 1 << " frames of " << size.width() << "x"
        << size.height() << ", " << bytes / 1024 << " kB on disk\n"
        << "  first picture, files decoded:  " << QString::number(cold, 'f', 1) << " ms ("
        << QString::number(cold / frames, 'f', 1) << " ms per frame, off the window thread)\n"
        << "  first picture, from the cache: " << QString::number(warm, 'f', 2) << " ms\n"
        << "  loop tick:                     " << QString::number(tick, 'f', 2) << " us\n"
        << "  frames held: " << cache.bytes() / 1024 << " kB decoded; RSS " << rssBefore / 1024
        << " MB before, " << rssAfter / 1024 << " MB with the loop\n";
    out.flush();
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int frames = args.size() > 1 ? args.at(1).toInt() : 10;
    const QSize size(args.size() > 2 ? args.at(2).toInt() : 1000,
                     args.size() > 3 ? args.at(3).toInt() : 800);
    QTemporaryDir temp;
    QTextStream out(stdout);
    run(out, temp.path() + QStringLiteral("/gif/"), QStringLiteral("GIF"), frames, size);
    run(out, temp.path() + QStringLiteral("/jpg/"), QStringLiteral("JPG"), frames, size);
    out << "peak RSS " << procStatusKb("VmHWM:") / 1024 << " MB\n";
    return 0;
}
