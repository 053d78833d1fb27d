// Checks the include direction of the source tree: a file may include its own
// folder and the layers below it, never a layer above or a sibling subsystem.
// The same holds for a subsystem's windows (its ui/ folder), which may also
// use the windows of the layers below; the program's windows (app/ui) may
// include everything. Logic never includes a window header. Companion
// programs under tools/ may use platform, product and core, their own folder
// and the shared libraries in tools/lib/, never another program's folder. The
// shared libraries use no program's headers, and their logic no window header.

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QMap<QString, int> kRank = {
    {"platform", 0}, {"product", 1}, {"core", 2},   {"ingest", 3},
    {"alarms", 3},   {"display", 3}, {"notify", 3}, {"observations", 3},
    {"images", 3},   {"ftp", 3},     {"map", 3},    {"app", 4},
};

struct Include
{
    QString file;
    int line;
    QString target;
};

// Where each header under tools/ lives: bare name -> folders relative to the
// tree ("tools/lib/broadcast", "tools/Engine/ui"). The companion programs
// include the headers of their own folder and of tools/lib/ by bare name.
using HeaderIndex = QMap<QString, QStringList>;

HeaderIndex toolHeaders(const QString& root)
{
    HeaderIndex index;
    QDirIterator it(root + QStringLiteral("/tools"), {QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        index[info.fileName()] << info.path().mid(root.size() + 1);
    }
    return index;
}

// "tools/lib/broadcast" for tools/lib/broadcast/ui/A.cpp, "tools/Engine" for
// tools/Engine/ui/A.cpp: the program or shared library a file belongs to.
QString toolUnit(const QString& folder)
{
    const QStringList parts = folder.split(QLatin1Char('/'));
    const int size = parts.value(1) == QLatin1String("lib") ? 3 : 2;
    return parts.mid(0, size).join(QLatin1Char('/'));
}

// Why an include of a companion program's header ("X.h" or "ui/X.h") breaks
// the layout; empty when it is allowed: its own folder, a shared library, an
// outside header. Windows and main.cpp may include window headers.
QString toolViolation(const QString& file, const QString& target, const HeaderIndex& headers)
{
    // "blat/Blat.h" is tools/blat/Blat.h: only folders ending in the path named
    QStringList owners = headers.value(target.section(QLatin1Char('/'), -1));
    if (target.contains(QLatin1Char('/'))) {
        const QString dir = QLatin1Char('/') + target.section(QLatin1Char('/'), 0, -2);
        owners.removeIf([&](const QString& owner) { return !owner.endsWith(dir); });
    }
    if (owners.isEmpty())
        return {};
    const QString folder = file.section(QLatin1Char('/'), 0, -2);
    const QString unit = toolUnit(folder);
    const bool window = folder.endsWith(QLatin1String("/ui")) || file.endsWith("/main.cpp");
    const bool inLibrary = unit.startsWith(QLatin1String("tools/lib/"));
    const QString logicOnly = QStringLiteral("logic includes a window header ");
    // the compiler looks beside the including file first
    const QString beside = target.contains(QLatin1Char('/'))
                               ? folder + QLatin1Char('/') + target.section(QLatin1Char('/'), 0, -2)
                               : folder;
    if (owners.contains(beside))
        return !window && beside.endsWith(QLatin1String("/ui")) ? logicOnly + beside : QString();
    QString why;
    for (const QString& owner : owners) {
        const QString ownerUnit = toolUnit(owner);
        if (ownerUnit != unit && !ownerUnit.startsWith(QLatin1String("tools/lib/")))
            why = (inLibrary ? QStringLiteral("a shared library includes a program's header ")
                             : QStringLiteral("a program includes another program's header ")) +
                  owner;
        else if (!window && owner.endsWith(QLatin1String("/ui")))
            why = logicOnly + owner;
        else
            return {};
    }
    return why;
}

QList<Include> projectIncludes(const QString& root)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""));
    QList<Include> found;
    for (const QString& top : {QStringLiteral("src"), QStringLiteral("tools")}) {
        QDirIterator it(root + QLatin1Char('/') + top,
                        {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            int number = 0;
            while (!file.atEnd()) {
                ++number;
                const auto match = include.match(QString::fromUtf8(file.readLine()));
                if (match.hasMatch())
                    found.push_back({path.mid(root.size() + 1), number, match.captured(1)});
            }
        }
    }
    return found;
}

// Why the include breaks the layering; empty when it is allowed.
QString violation(const QString& file, const QString& target, const HeaderIndex& headers)
{
    const QStringList from = file.split(QLatin1Char('/'));
    const QString to = target.section(QLatin1Char('/'), 0, 0);
    if (from.first() == QLatin1String("tools") && !kRank.contains(to))
        return toolViolation(file, target, headers);
    if (!kRank.contains(to))
        return {}; // a header of the same folder or an outside library
    if (from.first() == QLatin1String("tools")) {
        return kRank.value(to) <= kRank.value(QStringLiteral("core"))
                   ? QString()
                   : QStringLiteral("a companion program includes ") + to;
    }
    const QString layer = from.at(1);
    if (from.size() < 3 || !kRank.contains(layer))
        return {}; // main.cpp and other files outside the layers
    const bool window = from.at(2) == QLatin1String("ui");
    if (!window && target.section(QLatin1Char('/'), 1, 1) == QLatin1String("ui"))
        return QStringLiteral("logic includes a window header");
    if (to == layer)
        return {};
    if (kRank.value(to) >= kRank.value(layer))
        return (window ? QStringLiteral("a window of ") : QString()) + layer +
               QStringLiteral(" includes ") + to;
    return {};
}

} // namespace

class tst_layering : public QObject
{
    Q_OBJECT
private slots:
    void rulesCatchUpwardAndSiblingIncludes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("down") << "src/ingest/A.cpp"
                              << "core/Settings.h" << true;
        QTest::newRow("own") << "src/ingest/A.cpp"
                             << "ingest/B.h" << true;
        QTest::newRow("up") << "src/ingest/A.cpp"
                            << "app/MainState.h" << false;
        QTest::newRow("sibling") << "src/alarms/A.cpp"
                                 << "notify/Pager.h" << false;
        QTest::newRow("core up") << "src/core/A.cpp"
                                 << "display/X.h" << false;
        QTest::newRow("window from logic") << "src/app/A.cpp"
                                           << "app/ui/frmMain.h" << false;
        QTest::newRow("window up") << "src/alarms/ui/frmScroll.cpp"
                                   << "app/MainState.h" << false;
        QTest::newRow("window of sibling") << "src/alarms/ui/frmScroll.cpp"
                                           << "notify/ui/frmPager.h" << false;
        QTest::newRow("window uses own logic") << "src/alarms/ui/frmAlarmBox.cpp"
                                               << "alarms/AlarmEditor.h" << true;
        QTest::newRow("window uses lower window") << "src/notify/ui/frmPager.cpp"
                                                  << "core/ui/SingleWindow.h" << true;
        QTest::newRow("program window") << "src/app/ui/frmMain.cpp"
                                        << "alarms/ui/frmAlarmBox.h" << true;
        QTest::newRow("tool") << "tools/blat/main.cpp"
                              << "platform/TextFile.h" << true;
        QTest::newRow("tool up") << "tools/blat/main.cpp"
                                 << "app/MainState.h" << false;
        QTest::newRow("tool window up") << "tools/Engine/ui/EngineWindow.cpp"
                                        << "app/MainState.h" << false;
        QTest::newRow("program main") << "src/main.cpp"
                                      << "app/ui/frmMain.h" << true;
        QTest::newRow("tool uses shared library") << "tools/Engine/InternetEngine.h"
                                                  << "IngestPipeline.h" << true;
        QTest::newRow("tool window uses shared window") << "tools/Engine/ui/EngineWindow.h"
                                                        << "IngestWindow.h" << true;
        QTest::newRow("tool logic uses shared window") << "tools/Engine/InternetEngine.cpp"
                                                       << "IngestWindow.h" << false;
        QTest::newRow("tool main shows its window") << "tools/Engine/main.cpp"
                                                    << "ui/EngineWindow.h" << true;
        QTest::newRow("tool logic uses own window") << "tools/Engine/InternetEngine.cpp"
                                                    << "ui/EngineWindow.h" << false;
        QTest::newRow("tool uses another tool") << "tools/VTIngest/SerialIngest.cpp"
                                                << "InternetEngine.h" << false;
        QTest::newRow("tool names another tool's folder") << "tools/abcPager/PageRun.cpp"
                                                          << "Engine/InternetEngine.h" << false;
        QTest::newRow("tool names its own folder") << "tools/Engine/main.cpp"
                                                   << "Engine/InternetEngine.h" << true;
        QTest::newRow("shared library uses a tool") << "tools/lib/broadcast/IngestPipeline.cpp"
                                                    << "InternetEngine.h" << false;
        QTest::newRow("shared logic uses shared window") << "tools/lib/broadcast/DataInWriter.cpp"
                                                         << "IngestWindow.h" << false;
        QTest::newRow("shared window uses shared logic")
            << "tools/lib/enginehost/ui/IngestWindow.cpp"
            << "IngestPipeline.h" << true;
        QTest::newRow("shared library uses core") << "tools/lib/broadcast/IngestSettings.cpp"
                                                  << "core/Settings.h" << true;
    }
    void rulesCatchUpwardAndSiblingIncludes()
    {
        QFETCH(QString, file);
        QFETCH(QString, target);
        QFETCH(bool, allowed);
        const HeaderIndex headers = {
            {QStringLiteral("IngestPipeline.h"), {QStringLiteral("tools/lib/broadcast")}},
            {QStringLiteral("IngestWindow.h"), {QStringLiteral("tools/lib/enginehost/ui")}},
            {QStringLiteral("InternetEngine.h"), {QStringLiteral("tools/Engine")}},
            {QStringLiteral("EngineWindow.h"), {QStringLiteral("tools/Engine/ui")}},
        };
        QCOMPARE(violation(file, target, headers).isEmpty(), allowed);
    }

    void sourceTreeFollowsTheLayers()
    {
        const QString root = QStringLiteral(VANTOREL_SOURCE_ROOT);
        const QList<Include> includes = projectIncludes(root);
        const HeaderIndex headers = toolHeaders(root);
        QVERIFY(headers.contains(QStringLiteral("IngestPipeline.h")));
        QVERIFY(includes.size() > 100);
        QStringList broken;
        for (const Include& inc : includes) {
            const QString why = violation(inc.file, inc.target, headers);
            if (!why.isEmpty())
                broken << QStringLiteral("%1:%2: %3 (%4)")
                              .arg(inc.file)
                              .arg(inc.line)
                              .arg(inc.target, why);
        }
        if (!broken.isEmpty())
            QFAIL(qPrintable(broken.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(tst_layering)
#include "tst_layering.moc"
