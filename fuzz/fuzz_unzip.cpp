// Extraction of a compressed product into a directory of its own. Whatever
// the archive holds, nothing may be written outside that directory.

#include "FuzzInput.h"
#include "core/AlarmFile.h"
#include "core/NoMetarHooks.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/Unzipper.h"

#include <QDirIterator>

namespace {
// Every path below dir with the size of each file (a directory's own size
// follows what it holds on some file systems): what a run may not change
// outside target.
QStringList tree(const QString& dir)
{
    QStringList entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entries << it.filePath() + QLatin1Char(' ') +
                       (info.isDir() ? QStringLiteral("dir") : QString::number(info.size()));
    }
    entries.sort();
    return entries;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Settings settings;
    static AlarmFile alarms;
    static StatusLine status;
    static NoMetarHooks metar;
    static const QString root = FuzzInput::scratch();
    static const QString target = root + QStringLiteral("target/");
    static const QString sentinel = FuzzInput::write(QStringLiteral("sentinel.txt"), "keep");
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    const QString archive =
        FuzzInput::write(QStringLiteral("in.zis"), FuzzInput::bytes(data, size));
    const QStringList before = tree(root);

    Unzipper unzipper(settings, alarms, status, metar);
    unzipper.setMemberLimit(1 << 20);
    unzipper.setTotalLimit(4 << 20);
    unzipper.setMaxMembers(200);
    unzipper.setPassword(QStringLiteral("secret"));
    unzipper.setArchiveName(QStringLiteral("in.zis"));
    (void)unzipper.VBUnZip32(archive, target);

    QStringList outside;
    for (const QString& entry : tree(root)) {
        if (!entry.startsWith(target))
            outside << entry;
    }
    QStringList expected;
    for (const QString& entry : before) {
        if (!entry.startsWith(target))
            expected << entry;
    }
    if (outside != expected)
        __builtin_trap(); // written (or removed) outside the extraction directory
    for (const QString& name :
         QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!QFileInfo(target + name).isFile() || name.startsWith(QLatin1Char('.')))
            __builtin_trap(); // only plain, visible files land there
    }
    return 0;
}
