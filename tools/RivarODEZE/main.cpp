// RivarODEZE: the archive purge of Vantorel. Removes old products from the
// store directories of the shared settings; started hourly by the program.
#include "IngestSettings.h"
#include "PurgeLog.h"
#include "PurgeRun.h"
#include "platform/SettingsStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("RivarODEZE"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOREL_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vantorel archive purge: removes filed products, images and hourly files "
                       "older than the purge time (Purge, in hours) from the store directories "
                       "of the settings, and logs each to purge-log.txt in the program "
                       "directory."));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Only list what would be removed."));
    parser.addOption(dryRun);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    QTextStream out(stdout);
    if (!parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << "RivarODEZE: unexpected argument \""
                            << parser.positionalArguments().constFirst() << "\"\n";
        return 2;
    }

    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QLockFile lock(QDir(runtime.isEmpty() ? QDir::tempPath() : runtime)
                       .filePath(QStringLiteral("vantorel-purge.lock")));
    if (!lock.tryLock(0)) {
        out << "RivarODEZE: another purge is running; nothing done.\n";
        return 0;
    }
    const PurgeRun::Outcome outcome =
        PurgeRun::run(SettingsStore(), QDateTime::currentDateTime(), parser.isSet(dryRun));
    for (const QString& line : outcome.lines)
        out << line << '\n';
    const QString programDir = IngestSettings::programDirectory();
    QDir().mkpath(programDir);
    const PurgeLog log(programDir + QStringLiteral("purge-log.txt"));
    if (!log.append(outcome.lines))
        QTextStream(stderr) << "RivarODEZE: cannot write " << log.path() << '\n';
    return outcome.ok ? 0 : 1;
}
