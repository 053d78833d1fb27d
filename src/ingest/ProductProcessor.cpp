#include "ingest/ProductProcessor.h"

#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/IncomingProduct.h"
#include "ingest/IngestFailures.h"
#include "ingest/IngestFiles.h"
#include "ingest/StagedFiles.h"
#include "platform/Clock.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <sys/stat.h>

using namespace IngestFiles;

ProductProcessor::ProductProcessor(const Context& context, IAlarmLoops& alarms, IMetarHooks& metar,
                                   QObject* parent)
    : QObject(parent), m_programDir(context.programDir), m_settings(context.settings),
      m_status(context.status), m_clock(context.clock),
      m_intake(context.programDir, context.settings, context.status, context.display,
               context.clock),
      m_duplicates(context.programDir + QStringLiteral("track/recent-products.txt"),
                   context.programDir + QStringLiteral("track/duplicates.log"), context.clock),
      m_router({context.settings, context.alarms, context.status, context.lists,
                context.newProducts, alarms, metar}),
      m_unzipper(context.settings, context.alarms, context.status, metar),
      m_statusFile(context.programDir, m_intake, m_router), m_image(m_intake, m_router),
      m_compressed(context.programDir, m_intake, m_router, m_unzipper, context.prompter,
                   context.launcher, this),
      m_webPage(m_intake, m_router), m_text({context.tables, context.menus}, m_intake, m_router,
                                            [this](QFile& file) { return openProduct(file); })
{
    m_text.setDuplicateFilter(&m_duplicates);
}

bool ProductProcessor::openProduct(QFile& file) const
{
    return file.open(QIODevice::ReadOnly);
}

void ProductProcessor::ProcessData(const QString& fileName)
{
    const IncomingProduct p = IncomingProduct::describe(fileName);
    m_status.setText(QStringLiteral("Processing ") + p.received.left(12));
    const QDateTime started = m_clock.now();
    if (!isPathComponent(p.original)) {
        // Not a name in the Data-In directory: nothing there to take.
        m_status.setText(QStringLiteral("Ignored bad file name ") + printable(p.original));
        return;
    }
    const QString path = m_intake.dataInPath(p);
    mode_t mode = 0;
    if (!lstatMode(path, &mode))
        return;
    if (!S_ISREG(mode)) {
        // Never followed, and no product: set aside as it is.
        refuse(QFile::encodeName(p.original), S_ISLNK(mode) ? QStringLiteral("a link, not a file")
                                                            : QStringLiteral("not a regular file"));
        return;
    }
    if (!handle(p, path))
        return;
    // An arrival is a file taken out of Data-In, not one that stays there.
    if (!isPresent(path))
        m_lastDataTime = started;
}

bool ProductProcessor::handle(const IncomingProduct& p, const QString& path)
{
    const QString marker = QStringLiteral("Bad file: ") + p.received;
    try {
        if (!isSafeFileName(p.original) || !isSafeFileName(p.fileName))
            throw IngestFailure::BadFileName{QStringLiteral("bad file name")};
        dispatch(p);
        if (m_retryMarker == marker)
            m_retryMarker.clear();
    } catch (const IngestFailure::UnreadableFile&) {
        if (m_retryMarker == marker)
            return false; // left for the next poll
        m_retryMarker = marker;
        throw RuntimeError(ErrorNumber::PathFileAccess, p.received);
    } catch (const IngestFailure::NotTakenYet& wait) {
        m_status.setText(QStringLiteral("Cannot take ") + printable(p.original) +
                         QStringLiteral(" from Data-In yet (") + wait.reason + QLatin1Char(')'));
        if (m_retryMarker == marker)
            return false; // left for the next poll; nothing stored was touched
        m_retryMarker = marker;
        throw RuntimeError(ErrorNumber::PathFileAccess, p.received);
    } catch (const IngestFailure::BadFileName& bad) {
        m_intake.quarantine(path, p.original, bad.reason);
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::FileNotFound || isPresent(path))
            m_intake.reportError(p, error.code(), error.text());
    } catch (const std::exception& error) {
        m_intake.reportError(p, static_cast<int>(ErrorNumber::InvalidCall),
                             QString::fromLocal8Bit(error.what()));
    } catch (...) {
        m_intake.reportError(p, static_cast<int>(ErrorNumber::InvalidCall), QString());
    }
    return true;
}

void ProductProcessor::refuse(const QByteArray& rawName, const QString& reason)
{
    m_intake.quarantineRaw(QFile::encodeName(m_settings.TransferPath) + rawName,
                           QFile::decodeName(rawName), reason);
}

void ProductProcessor::recover()
{
    const Settings& s = m_settings;
    QStringList errors;
    const QStringList restored = StagedFiles::recover(
        {s.TextPath, s.SAPath},
        {s.TextPath, s.SAPath, s.GIFPath, s.TransferPath, s.receiptDir(), m_programDir},
        s.TransferPath, &errors);
    if (!errors.isEmpty())
        m_status.setText(QStringLiteral("Could not put back an unfinished product: ") +
                         errors.join(QStringLiteral("; ")));
    else if (!restored.isEmpty())
        m_status.setText(QStringLiteral("Unfinished products put back into Data-In: ") +
                         restored.join(QStringLiteral(", ")));
}

void ProductProcessor::dispatch(const IncomingProduct& p)
{
    const QString& name = p.fileName;
    const bool image = name.contains(QLatin1String(".GIF")) || name.contains(QLatin1String(".JPG"));
    if (name == QLatin1String("STATUS.TXT"))
        m_statusFile.handle(p);
    else if (name.startsWith(QLatin1String("EPH")))
        m_intake.discard(p, QStringLiteral("Ignoring SAT:") + name);
    else if (name.contains(QLatin1String(".ZZZ")))
        m_intake.discard(p, QStringLiteral("Ignoring test ") + name);
    else if (!image && name.contains(QLatin1String("GPH")))
        m_intake.discard(p, QString());
    else if (image)
        m_image.handle(p);
    else if (name.contains(QLatin1String(".ZIS")))
        m_compressed.handle(p);
    else if (name.contains(QLatin1String(".HTM")))
        m_webPage.handle(p);
    else
        m_text.handle(p);
}
