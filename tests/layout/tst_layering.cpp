// Checks the include direction of the source tree: a file may include its own
// folder and the layers below it, never a layer above or a sibling subsystem.
// Windows (ui/ folders) sit on top and may include everything; companion
// programs under tools/ may use platform, product and core and their own folder.

#include <QDirIterator>
#include <QFile>
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
QString violation(const QString& file, const QString& target)
{
    const QStringList from = file.split(QLatin1Char('/'));
    const QString to = target.section(QLatin1Char('/'), 0, 0);
    if (!kRank.contains(to))
        return {}; // a header of the same folder or an outside library
    if (from.size() > 2 && from.at(2) == QLatin1String("ui"))
        return {};
    if (from.first() == QLatin1String("tools")) {
        return kRank.value(to) <= kRank.value(QStringLiteral("core"))
                   ? QString()
                   : QStringLiteral("a companion program includes ") + to;
    }
    const QString layer = from.at(1);
    if (from.size() < 3 || !kRank.contains(layer))
        return {}; // main.cpp and other files outside the layers
    if (target.section(QLatin1Char('/'), 1, 1) == QLatin1String("ui"))
        return QStringLiteral("logic includes a window header");
    if (to == layer)
        return {};
    if (kRank.value(to) >= kRank.value(layer))
        return layer + QStringLiteral(" includes ") + to;
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
        QTest::newRow("window") << "src/alarms/ui/frmScroll.cpp"
                                << "app/MainState.h" << true;
        QTest::newRow("tool") << "tools/blat/main.cpp"
                              << "platform/TextFile.h" << true;
        QTest::newRow("tool up") << "tools/blat/main.cpp"
                                 << "app/MainState.h" << false;
        QTest::newRow("program main") << "src/main.cpp"
                                      << "app/ui/frmMain.h" << true;
    }
    void rulesCatchUpwardAndSiblingIncludes()
    {
        QFETCH(QString, file);
        QFETCH(QString, target);
        QFETCH(bool, allowed);
        QCOMPARE(violation(file, target).isEmpty(), allowed);
    }

    void sourceTreeFollowsTheLayers()
    {
        const QList<Include> includes = projectIncludes(QStringLiteral(VANTOREL_SOURCE_ROOT));
        QVERIFY(includes.size() > 100);
        QStringList broken;
        for (const Include& inc : includes) {
            const QString why = violation(inc.file, inc.target);
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
