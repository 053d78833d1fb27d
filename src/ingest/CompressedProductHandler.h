#pragma once

#include "ingest/IncomingProduct.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <optional>

class FiledProductRouter;
class IProcessLauncher;
class IPrompter;
class ProductIntake;
class Unzipper;

// A compressed product (".ZIS"). The archive waits in SAPath under a staged
// name while it is extracted, so that an interrupted extraction is done again
// at the next start. Hourly observation collections are extracted into
// SAPath and filed there; every other archive is extracted into the Data-In
// directory, whose next poll files its contents.
//
// An encrypted archive waits, set aside, for its password, which is asked
// without stopping the polling; everything else goes on being filed.
class CompressedProductHandler : public QObject
{
    Q_OBJECT
public:
    CompressedProductHandler(QString programDir, ProductIntake& intake, FiledProductRouter& router,
                             Unzipper& unzipper, IPrompter& prompter, IProcessLauncher& launcher,
                             QObject* parent = nullptr);

    void handle(const IncomingProduct& p);
    // Archives waiting for their password.
    int waitingForPassword() const { return int(m_waiting.size()); }

private:
    struct Waiting
    {
        IncomingProduct product;
        bool hourly = false;
    };

    void extractStaged(const IncomingProduct& p, const QString& staged, bool hourly,
                       const std::optional<QString>& password);
    void finishHourly(const IncomingProduct& p, const QString& staged, bool extractedOk);
    void askPassword(const IncomingProduct& p, const QString& staged, bool hourly);
    void passwordAnswered(const QString& staged, const std::optional<QString>& answer);

    QString m_programDir;
    ProductIntake& m_intake;
    FiledProductRouter& m_router;
    Unzipper& m_unzipper;
    IPrompter& m_prompter;
    IProcessLauncher& m_launcher;
    QMap<QString, Waiting> m_waiting; // by staged archive path
};
