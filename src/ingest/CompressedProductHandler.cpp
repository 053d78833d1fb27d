#include "ingest/CompressedProductHandler.h"

#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/FiledProductRouter.h"
#include "ingest/IngestFiles.h"
#include "ingest/ProductIntake.h"
#include "ingest/StagedFiles.h"
#include "ingest/Unzipper.h"
#include "platform/FileMove.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "product/FiledProduct.h"

#include <QFile>
#include <QPointer>
#include <QTimer>

CompressedProductHandler::CompressedProductHandler(QString programDir, ProductIntake& intake,
                                                   FiledProductRouter& router, Unzipper& unzipper,
                                                   IPrompter& prompter, IProcessLauncher& launcher,
                                                   QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir)), m_intake(intake), m_router(router),
      m_unzipper(unzipper), m_prompter(prompter), m_launcher(launcher)
{
}

void CompressedProductHandler::handle(const IncomingProduct& p)
{
    const QString& name = p.fileName;
    const bool hourly =
        name.contains(QLatin1String("SAHOURLY")) || name.contains(QLatin1String("SFCOBS")) ||
        name.contains(QLatin1String("UPROBS")) || name.contains(QLatin1String("SAORCM"));
    const QString staged = StagedFiles::stagedPath(m_intake.settings().SAPath, p.original);
    m_intake.takeOut(p, staged);
    extractStaged(p, staged, hourly, std::nullopt);
}

void CompressedProductHandler::extractStaged(const IncomingProduct& p, const QString& staged,
                                             bool hourly, const std::optional<QString>& password)
{
    const Settings& s = m_intake.settings();
    const QString& target = hourly ? s.SAPath : s.TransferPath;
    m_unzipper.setPassword(password);
    m_unzipper.setArchiveName(p.original);
    const int result = m_unzipper.extract(staged, target);
    m_unzipper.setPassword(std::nullopt);
    if (result == Unzipper::NeedsPassword && !password) {
        askPassword(p, staged, hourly);
        return;
    }
    if (hourly) {
        finishHourly(p, staged, result == 0);
        return;
    }
    // The contents land in the Data-In directory for a later poll.
    if (result != 0)
        m_intake.quarantine(staged, p.original, m_intake.status().text());
    else if (!m_unzipper.refused().isEmpty())
        m_intake.quarantine(staged, p.original,
                            QStringLiteral("not extracted: ") +
                                m_unzipper.refused().join(QLatin1Char(' ')));
    else
        QFile::remove(staged);
}

void CompressedProductHandler::finishHourly(const IncomingProduct& p, const QString& staged,
                                            bool extractedOk)
{
    const QString& sa = m_intake.settings().SAPath;
    const QString& name = p.fileName;
    const QString archive = sa + name;
    if (!extractedOk) {
        FileMove::move(staged, archive); // the archive stays in SAPath
        return;
    }
    if (name.contains(QLatin1String("SAHOURLY"))) {
        IngestFiles::copyIfPresent(sa + QStringLiteral("SAHOURLY.TXT"),
                                   sa + QStringLiteral("SAHOURLY.") + m_intake.timestamp() +
                                       QStringLiteral(".TXT"));
        QFile::remove(staged);
    } else if (name.contains(QLatin1String("SAORCMUS"))) {
        IngestFiles::copyIfPresent(sa + QStringLiteral("SAORCMUS.TXT"),
                                   sa + QStringLiteral("SAORCMUS.") + m_intake.timestamp() +
                                       QStringLiteral(".TXT"));
        QFile::remove(staged);
        const QString program = m_programDir + QStringLiteral("rcmunzip");
        if (m_intake.settings().RCMUnzip != 0 && IngestFiles::fileExists(program))
            m_launcher.start(QLatin1Char('"') + program + QStringLiteral("\" RUN"),
                             LaunchWindow::Hidden);
    } else {
        FileMove::move(staged, archive); // collections that are only extracted stay
    }
    FiledProduct filed;
    filed.kind = FiledProduct::Kind::Collection;
    filed.receivedName = p.received;
    filed.productName = p.productName;
    filed.storedName = name;
    filed.path = archive;
    m_router.route(filed);
}

// The archive waits, staged, while the user is asked; polling goes on.
void CompressedProductHandler::askPassword(const IncomingProduct& p, const QString& staged,
                                           bool hourly)
{
    m_waiting.insert(staged, Waiting{p, hourly});
    m_intake.status().setText(p.fileName +
                              QStringLiteral(" is encrypted: waiting for its password"));
    QPointer<CompressedProductHandler> self(this);
    m_prompter.inputLater(Unzipper::PasswordPrompt, p.fileName,
                          [self, staged](std::optional<QString> answer) {
                              // Answered later, or at once by a prompter
                              // that does not wait: never inside this call.
                              QTimer::singleShot(0, self, [self, staged, answer] {
                                  if (self)
                                      self->passwordAnswered(staged, answer);
                              });
                          });
}

void CompressedProductHandler::passwordAnswered(const QString& staged,
                                                const std::optional<QString>& answer)
{
    const auto it = m_waiting.find(staged);
    if (it == m_waiting.end())
        return;
    const Waiting waiting = *it;
    m_waiting.erase(it);
    if (!IngestFiles::fileExists(staged))
        return;
    if (!answer || answer->isEmpty()) {
        m_intake.quarantine(staged, waiting.product.original, QStringLiteral("no password given"));
        return;
    }
    try {
        extractStaged(waiting.product, staged, waiting.hourly, answer);
    } catch (const RuntimeError& error) {
        m_intake.reportError(waiting.product, error.code(), error.text());
        if (IngestFiles::fileExists(staged))
            m_intake.quarantine(staged, waiting.product.original, error.text());
    }
}
