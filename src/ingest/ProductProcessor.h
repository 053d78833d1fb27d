#pragma once

#include "ingest/CompressedProductHandler.h"
#include "ingest/DuplicateFilter.h"
#include "ingest/FiledProductRouter.h"
#include "ingest/IProductProcessor.h"
#include "ingest/ImageHandler.h"
#include "ingest/ProductIntake.h"
#include "ingest/StatusFileHandler.h"
#include "ingest/TextProductHandler.h"
#include "ingest/Unzipper.h"
#include "ingest/WebPageHandler.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class AlarmFile;
class DisplayState;
class IAlarmLoops;
class IClock;
class IMetarHooks;
class IProcessLauncher;
class IPrompter;
class MenuDefinitions;
class NewProducts;
class ProductLists;
class QFile;
class ReferenceTables;
class Settings;
class StatusLine;
struct IncomingProduct;

// ProcessData: takes one product file out of the Data-In directory, decides
// what it is and hands it to the handler of its kind (status file, image,
// compressed product, web page, text bulletin). A handler files the product
// under the name the rest of the program finds it by and passes the filed
// product on to the lists, the new-products entries, the METAR hooks and the
// alarm loops. A file is filed, discarded by rule, or moved to the quarantine
// directory track/bad/ when an error stops it; it is never lost. A file that
// cannot be read, or cannot leave the Data-In directory (no right to), is left
// in place: the first time PathFileAccess is thrown so that the poller retries
// it, the second time it waits for the next poll.
class ProductProcessor : public QObject, public IProductProcessor
{
    Q_OBJECT
public:
    static inline const QString Caption = ProductIntake::Caption;

    // What processing reads and where it reports.
    struct Context
    {
        QString programDir;
        const Settings& settings;
        const ReferenceTables& tables;
        const MenuDefinitions& menus;
        const AlarmFile& alarms;
        StatusLine& status;
        DisplayState& display;
        ProductLists& lists;
        NewProducts& newProducts;
        IClock& clock;
        IProcessLauncher& launcher;
        IPrompter& prompter; // asks for the password of an encrypted archive
    };

    ProductProcessor(const Context& context, IAlarmLoops& alarms, IMetarHooks& metar,
                     QObject* parent = nullptr);

    void ProcessData(const QString& fileName) override;
    void refuse(const QByteArray& rawName, const QString& reason) override;
    void recover() override;

    // programDir + "track/bad/".
    QString quarantineDir() const { return m_intake.quarantineDir(); }
    // "Bad file: " + received name while a file could not be read.
    QString retryMarker() const { return m_retryMarker; }
    Unzipper& unzipper() { return m_unzipper; }
    const DuplicateFilter& duplicates() const { return m_duplicates; }
    // Archives waiting for their password.
    int waitingForPassword() const { return m_compressed.waitingForPassword(); }
    // When the last product file was taken (the data-loss watchdog reads it).
    QDateTime lastDataTime() const { return m_lastDataTime; }
    void setLastDataTime(const QDateTime& time) { m_lastDataTime = time; }

protected:
    // Opens the product file for reading; false when it cannot be read.
    virtual bool openProduct(QFile& file) const;

private:
    void dispatch(const IncomingProduct& p);
    // Runs the handler; false when the file is to stay for the next poll.
    bool handle(const IncomingProduct& p, const QString& path);

    QString m_programDir;
    const Settings& m_settings;
    StatusLine& m_status;
    IClock& m_clock;
    ProductIntake m_intake;
    DuplicateFilter m_duplicates; // the same product from both feeds is filed once
    FiledProductRouter m_router;
    Unzipper m_unzipper;
    StatusFileHandler m_statusFile;
    ImageHandler m_image;
    CompressedProductHandler m_compressed;
    WebPageHandler m_webPage;
    TextProductHandler m_text;
    QString m_retryMarker;
    QDateTime m_lastDataTime;
};
